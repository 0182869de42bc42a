#!/usr/bin/env bash
# Sets up, builds and runs Sonavid. Commands:
#   demo   install what is needed, build both targets, expand macros over the sample files
#   test   install what is needed, build both targets, run every native and Windows test
#   bench  native benchmark against TagLib and MediaInfoLib
#   fuzz   libFuzzer targets (FUZZ_SECONDS per target, default 60)
#   media  remake the media fixtures with real encoders (cross-checked as they are made)
#   build  only build
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"
ROOT=$PWD
JOBS=$(nproc)
DEPS=$ROOT/.deps

APT_BASE=(cmake g++ make pkg-config libgtest-dev googletest libonig-dev
          g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
          wine wine32:i386 xvfb xauth xdotool imagemagick fonts-ipafont-gothic
          dpkg-dev fp-utils-3.2.2 python3
          libaribb24-dev)  # test-only cross-check of the ARIB text decoder
# Encoders and cross-checkers for making the media fixtures and the benchmark corpus.
APT_MEDIA=(ffmpeg lame python3-mutagen mediainfo vorbis-tools atomicparsley libjmac-java
           default-jre-headless flac wavpack sox speex mkvtoolnix)
APT_BENCH=(libbenchmark-dev libtag1-dev libmediainfo-dev valgrind)
APT_FUZZ=(clang libclang-rt-14-dev)

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# Source packages (for the Oniguruma cross build) come from deb-src entries that mirror the
# machine's own apt sources (tools/apt-deb-src.sh), so they work behind any mirror. Returns 0
# when the entries were written or changed (apt needs an update), 1 when nothing changed.
ensure_deb_src() {
  local list=/etc/apt/sources.list.d/sonavid-src.sources entries
  entries=$(tools/apt-deb-src.sh) || return 1
  [ -n "$entries" ] || return 1  # the machine has deb-src entries of its own
  if [ -f "$list" ] && [ "$(cat "$list")" = "$entries" ]; then return 1; fi
  printf '%s\n' "$entries" | as_root tee "$list" >/dev/null
}

ensure_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -q i386; then as_root dpkg --add-architecture i386; fi
  ensure_deb_src || true
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Wine takes its ANSI code page from LANG; the Japanese runs need the glibc locale to exist.
ensure_japanese_locale() {
  locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' && return 0
  ensure_packages locales
  as_root localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
}

# Oniguruma for the Windows build: Debian's source package cross-built with mingw, static.
ensure_onig_mingw() {
  local prefix=$DEPS/onig-i686
  [ -f "$prefix/lib/libonig.a" ] && return 0
  echo "== cross-building Oniguruma for i686-w64-mingw32"
  if ensure_deb_src; then as_root apt-get update -qq; fi
  mkdir -p "$DEPS/src"
  # Package lists fetched before the deb-src entries existed know no source packages yet.
  (cd "$DEPS/src" && rm -rf libonig* &&
     { apt-get source -qq libonig >/dev/null 2>&1 ||
       { as_root apt-get update -qq && apt-get source -qq libonig >/dev/null; }; })
  local src
  src=$(find "$DEPS/src" -maxdepth 1 -type d -name 'libonig-*' | head -n 1)
  [ -n "$src" ] || { echo "cannot fetch the libonig source package" >&2; return 1; }
  cmake -S "$src" -B "$DEPS/onig-build" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DENABLE_POSIX_API=OFF \
        -DINSTALL_DOCUMENTATION=OFF -DINSTALL_EXAMPLES=OFF -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
  cmake --build "$DEPS/onig-build" -j"$JOBS" >/dev/null
  cmake --install "$DEPS/onig-build" >/dev/null
}

build_native() {
  cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build build/native -j"$JOBS"
}

build_win32() {
  ensure_onig_mingw
  cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
        -DCMAKE_BUILD_TYPE=Release -DONIG_ROOT="$DEPS/onig-i686" >/dev/null
  cmake --build build/win32 -j"$JOBS"
}

build_all() {
  ensure_packages "${APT_BASE[@]}"
  ensure_japanese_locale
  build_native
  build_win32
}

cmd=${1:-test}
shift || true
case "$cmd" in
  build)
    build_all ;;
  test)
    build_all
    (cd build/native && ctest --output-on-failure -j"$JOBS")
    (cd build/win32 && ctest --output-on-failure) ;;
  demo)
    build_all
    tools/demo.sh ;;
  bench)
    ensure_packages "${APT_BASE[@]}" "${APT_MEDIA[@]}" "${APT_BENCH[@]}"
    build_native -DSONAVID_BENCH=ON
    bench/run.sh "$@" ;;
  media)
    ensure_packages "${APT_BASE[@]}" "${APT_MEDIA[@]}"
    build_native
    tests/data/make-media.sh build/native/sonavid && tests/data/make-media-containers.sh ;;
  fuzz)
    ensure_packages "${APT_BASE[@]}" "${APT_FUZZ[@]}"
    fuzz/run.sh "$@" ;;
  *)
    echo "usage: ./build.sh demo|test|bench|fuzz|media|build" >&2
    exit 2 ;;
esac
