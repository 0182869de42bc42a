#!/usr/bin/env bash
# The plug-in exports exactly macPlugin and the three dialog variables, and imports only DLLs
# that every Windows has.
set -euo pipefail
dll=$1
dump=$(i686-w64-mingw32-objdump -p "$dll")

exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
          grep -E '^\s*\[ *[0-9]+\] ' | grep -oE '[A-Za-z_@0-9]+$' | sort | tr '\n' ' ')
expected="_FormParam0 _FormParam1 _FormSetup macPlugin "
if [ "$exports" != "$expected" ]; then
  echo "exports: '$exports', expected '$expected'"; exit 1
fi

allowed='^(KERNEL32|USER32|GDI32|COMCTL32|COMDLG32|SHELL32|ADVAPI32|OLE32|OLEAUT32|UXTHEME|msvcrt|SHLWAPI|VERSION)\.dll$'
imports=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p')
for name in $imports; do
  if ! printf '%s\n' "$name" | grep -qiE "$allowed"; then
    echo "unexpected import: $name"; exit 1
  fi
done
for name in libstdc++-6.dll libgcc_s_dw2-1.dll libwinpthread-1.dll; do
  if printf '%s\n' "$imports" | grep -qi "^$name$"; then echo "runtime not linked in: $name"; exit 1; fi
done

# Version resource: 5.0.0.2 and the Japanese file description (UTF-16LE in the resource).
desc=$(printf '音声/動画ファイル情報取得マクロ (Unicode版)' | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 | tr -d ' \n')
if ! od -An -tx1 -v "$dll" | tr -d ' \n' | grep -q "$desc"; then
  echo "file description missing from the version resource"; exit 1
fi
ver=$(printf '5.0.0.2' | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 | tr -d ' \n')
od -An -tx1 -v "$dll" | tr -d ' \n' | grep -q "$ver" || { echo "version text missing"; exit 1; }
echo "exports and imports ok: $imports"
