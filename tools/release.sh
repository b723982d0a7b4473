#!/usr/bin/env bash
# Makes the release files in build/release/ (or --out DIR):
#   Velmaro-<version>-x64.zip    the stripped Velmaro.exe, Velmaro.chm, README.txt and the
#                                licences (LICENSE.txt, THIRD-PARTY-NOTICES.txt)
#   Velmaro-<version>-setup.exe  the per-user installer (NSIS)
# The version is the project's, from project() in CMakeLists.txt (the version resource
# takes it from there too).
#   tools/release.sh [--exe Velmaro.exe] [--out DIR]
# Without --exe it builds the Windows target first (tools/build.sh win) and takes its exe.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELMARO_BUILD_DIR:-$root/build}
exe=
out=$build/release
while [ $# -gt 0 ]; do
  case $1 in
    --exe) exe=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "release.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

full=$(sed -n 's/^project(Velmaro VERSION \([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$full" ] || { echo "release.sh: no version in CMakeLists.txt" >&2; exit 1; }
version=${full%.*}           # 1.0.0 -> 1.0, as the program's own caption shows it

for tool in makensis chmcmd zip x86_64-w64-mingw32-strip; do
  command -v "$tool" >/dev/null || { echo "release.sh: $tool is missing (run tools/setup.sh)" >&2; exit 1; }
done

if [ -z "$exe" ]; then
  bash "$root/tools/build.sh" win
  exe=$build/win/bin/Velmaro.exe
fi

mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d "$out/stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT

x86_64-w64-mingw32-strip -o "$stage/Velmaro.exe" "$exe"

# The help: chmcmd compiles the project in its own folder, so it works on a copy. Its
# licences page shows the two licence files, filled in here so that there is one text.
cp -r "$root/help" "$stage/help"
python3 - "$stage/help/licences.html" "$root/LICENSE" "$root/THIRD-PARTY-NOTICES.txt" <<'PY'
import html, sys
page, licence, notices = sys.argv[1:]
text = open(page, encoding="cp1252").read()
for mark, path in (("@LICENSE@", licence), ("@THIRD-PARTY-NOTICES@", notices)):
    text = text.replace(mark, html.escape(open(path, encoding="ascii").read().rstrip("\n")))
open(page, "w", encoding="cp1252").write(text)
PY
(cd "$stage/help" && chmcmd Velmaro.hhp >/dev/null)
mv "$stage/help/Velmaro.chm" "$stage/Velmaro.chm"

# Windows' Notepad wants CR LF.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$root/packaging/README.txt" > "$stage/README.txt"
sed -e 's/$/\r/' "$root/LICENSE" > "$stage/LICENSE.txt"
sed -e 's/$/\r/' "$root/THIRD-PARTY-NOTICES.txt" > "$stage/THIRD-PARTY-NOTICES.txt"
cp "$root/res/velmaro.ico" "$stage/velmaro.ico"

zip_file=$out/Velmaro-$version-x64.zip
setup_file=$out/Velmaro-$version-setup.exe
rm -f "$zip_file" "$setup_file"
(cd "$stage" && zip -q -X "$zip_file" Velmaro.exe Velmaro.chm README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt)
makensis -V2 -DVERSION="$version" -DFILE_VERSION="$full.0" -DSTAGE="$stage" -DOUTFILE="$setup_file" \
  "$root/packaging/Velmaro.nsi"
echo "release: $zip_file"
echo "release: $setup_file"
