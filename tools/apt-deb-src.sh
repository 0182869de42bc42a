#!/usr/bin/env bash
# Prints deb-src entries (deb822 form) that mirror the machine's own binary apt sources: the
# same URIs, suites, components and keyring, so source packages come from wherever this
# machine already gets its packages (a mirror, a proxy, a snapshot).
#   tools/apt-deb-src.sh [APT_DIR]     APT_DIR defaults to /etc/apt
# Prints nothing when the machine already has an enabled deb-src entry of its own; exits 1
# when it has no binary source to mirror. Files named SKIP_FILE (default sonavid-src.sources,
# the file build.sh writes) are not read.
set -euo pipefail
apt_dir=${1:-/etc/apt}
skip=${SKIP_FILE:-sonavid-src.sources}

shopt -s nullglob
one_line=()
[ -f "$apt_dir/sources.list" ] && one_line+=("$apt_dir/sources.list")
deb822=()
for f in "$apt_dir"/sources.list.d/*.list; do one_line+=("$f"); done
for f in "$apt_dir"/sources.list.d/*.sources; do
  [ "$(basename "$f")" = "$skip" ] || deb822+=("$f")
done

# Each source becomes one record on stdout: kind<TAB>uris<TAB>suites<TAB>components<TAB>
# signed-by, where kind is "deb", "deb-src" or "deb deb-src" and signed-by keeps the
# continuation lines of an inline key joined by \n.
records() {
  local f
  for f in ${deb822[@]+"${deb822[@]}"}; do
    awk '
      function flush() {
        if (types != "" && enabled != "no")
          printf "%s\t%s\t%s\t%s\t%s\n", types, uris, suites, comps, signed
        types = uris = suites = comps = signed = field = ""; enabled = "yes"
      }
      BEGIN { enabled = "yes" }
      /^[ \t]*#/ { next }
      /^[ \t]*$/ { flush(); next }
      /^[ \t]/ {  # continuation line of the field above
        if (field == "signed-by") { line = $0; sub(/^[ \t]+/, " ", line); signed = signed "\\n" line }
        else if (field == "uris") uris = uris " " $0
        else if (field == "suites") suites = suites " " $0
        else if (field == "components") comps = comps " " $0
        next
      }
      {
        colon = index($0, ":"); if (colon == 0) next
        field = tolower(substr($0, 1, colon - 1)); value = substr($0, colon + 1)
        gsub(/^[ \t]+|[ \t]+$/, "", value)
        if (field == "types") types = value
        else if (field == "uris") uris = value
        else if (field == "suites") suites = value
        else if (field == "components") comps = value
        else if (field == "signed-by") signed = value
        else if (field == "enabled") enabled = tolower(value)
      }
      END { flush() }' "$f"
  done
  for f in ${one_line[@]+"${one_line[@]}"}; do
    awk '
      { sub(/#.*/, "") }
      NF < 3 { next }
      $1 != "deb" && $1 != "deb-src" { next }
      {
        kind = $1; i = 2; signed = ""
        if ($2 ~ /^\[/) {  # options in brackets: keep signed-by
          options = ""
          for (; i <= NF; i++) { options = options " " $i; if ($i ~ /\]$/) { i++; break } }
          gsub(/[][]/, "", options)
          n = split(options, parts, " ")
          for (k = 1; k <= n; k++) if (parts[k] ~ /^signed-by=/) signed = substr(parts[k], 11)
        }
        uri = $i; suite = $(i + 1); comps = ""
        for (k = i + 2; k <= NF; k++) comps = comps (comps == "" ? "" : " ") $k
        if (uri != "" && suite != "") printf "%s\t%s\t%s\t%s\t%s\n", kind, uri, suite, comps, signed
      }' "$f"
  done
}

all=$(records)
# A machine that already names its own deb-src entries needs none from us.
if awk -F'\t' '{ n = split($1, t, " "); for (k = 1; k <= n; k++) if (t[k] == "deb-src") found = 1 }
               END { exit !found }' <<<"$all"; then
  exit 0
fi
binary=$(awk -F'\t' '{ n = split($1, t, " "); for (k = 1; k <= n; k++) if (t[k] == "deb") { print; break } }' <<<"$all")
if [ -z "$binary" ]; then
  echo "apt-deb-src: no deb entry in $apt_dir to take source entries from" >&2
  exit 1
fi
# One stanza per binary source; a CD-ROM has no sources to offer.
awk -F'\t' '
  $2 ~ /^cdrom:/ { next }
  {
    if (count++) print ""
    print "Types: deb-src"
    print "URIs: " $2
    print "Suites: " $3
    if ($4 != "") print "Components: " $4
    if ($5 != "") {
      signed = $5; gap = substr(signed, 1, 2) == "\\n" ? "" : " "
      gsub(/\\n/, "\n", signed); print "Signed-By:" gap signed
    }
  }' <<<"$binary"
