#!/usr/bin/env bash
# scripts/windows-package.sh BUILD_WIN NATIVE_BUILD: the Windows packages in BUILD_WIN,
#   rivoltra-VERSION-win64.zip        the portable game (a "portable" file keeps the saves in it)
#   rivoltra-VERSION-win64-setup.exe  the NSIS installer (saves in %APPDATA%\Rivoltra)
# from the cross-built programs (stripped), the native build's game data and default saves, the
# licence and the third-party notices.
set -euo pipefail

build_win=$(cd "$1" && pwd)
native=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
log() { echo "windows-package: $*" >&2; }

version=$(sed -n 's/^project(Rivoltra VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
for file in "$root/LICENSE" "$root/packaging/THIRD-PARTY-NOTICES.txt" \
  "$build_win/rivoltra.exe" "$build_win/rivoltra-replay.exe" "$build_win/rivoltra.ico" \
  "$native/Data/Res/Res1.gfx" "$native/package-files/Save/hs"; do
  [ -f "$file" ] || { log "missing $file"; exit 1; }
done

stage=$build_win/package
rm -rf "$stage"
mkdir -p "$stage/Rivoltra/Data"
game=$stage/Rivoltra
for program in rivoltra rivoltra-replay; do
  x86_64-w64-mingw32-strip -o "$game/$program.exe" "$build_win/$program.exe"
done
cp -a "$native/Data/Res" "$native/Data/Music" "$native/package-files/Save" "$game/Data/"
# Notepad of older Windows wants CR LF.
sed 's/$/\r/' "$root/LICENSE" >"$game/LICENSE.txt"
sed 's/$/\r/' "$root/packaging/THIRD-PARTY-NOTICES.txt" >"$game/THIRD-PARTY-NOTICES.txt"
bash "$root/scripts/check-licence.sh" "$game/LICENSE.txt"

# The installer: its icon comes from the staging folder, not installed.
cp "$build_win/rivoltra.ico" "$stage/rivoltra.ico"
setup=$build_win/rivoltra-$version-win64-setup.exe
(cd "$root/windows" && makensis -V2 -DSRC="$game" -DVERSION="$version" -DOUT="$setup" rivoltra.nsi) >&2

# The zip: the same files and the portable marker.
: >"$game/portable"
zip_file=$build_win/rivoltra-$version-win64.zip
rm -f "$zip_file"
(cd "$stage" && zip -q -9 -r -X "$zip_file" Rivoltra)
rm -f "$game/portable"
log "$(du -k "$setup" | cut -f1) KB $setup"
log "$(du -k "$zip_file" | cut -f1) KB $zip_file"
