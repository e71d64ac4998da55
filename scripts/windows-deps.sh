#!/usr/bin/env bash
# Installs what the Windows build needs when it is missing (the MinGW-w64 posix compilers, Wine,
# NSIS, zip, cmake, ninja, the deb-src entries) and builds SDL2, libxmp, SDL2_mixer and zlib for
# Windows x86-64, static, from Debian's source packages into a cached prefix outside the clone.
# Prints the prefix on its last line.
#
# The prefix is ~/.cache/rivoltra/win-<key> (or $RIVOLTRA_WIN_CACHE/win-<key>). The key names
# everything that changes the libraries: the cross compiler, binutils and MinGW-w64 runtime
# versions, the four source versions, and a checksum of the recipe (windows-libs.sh and the
# toolchain file). A stamp written last marks a finished prefix: a half-built one is built again.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
toolchain=$(cd "$here/../windows" && pwd)/mingw-w64.cmake
jobs=${JOBS:-2}
cache_root=${RIVOLTRA_WIN_CACHE:-$HOME/.cache/rivoltra}

log() { echo "windows-deps: $*" >&2; }
# shellcheck source=apt-helpers.sh
. "$here/apt-helpers.sh"
# shellcheck source=windows-libs.sh
. "$here/windows-libs.sh"

windows_packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev wine wine64 nsis zip cmake ninja-build dpkg-dev)

package_version() { dpkg-query -W -f='${Version}' "$1"; }

cache_key() {
  local sdl=$1 xmp=$2 mixer=$3 zlib=$4 recipe key
  recipe=$(cat "$here/windows-libs.sh" "$toolchain" | sha256sum | cut -c1-12)
  key="gcc-$(key_part "$(package_version gcc-mingw-w64-x86-64-posix)")"
  key+="-binutils-$(key_part "$(package_version binutils-mingw-w64-x86-64)")"
  key+="-crt-$(key_part "$(package_version mingw-w64-x86-64-dev)")"
  key+="-sdl2-$(key_part "$sdl")-xmp-$(key_part "$xmp")-mixer-$(key_part "$mixer")"
  key+="-zlib-$(key_part "$zlib")-recipe-$recipe"
  echo "$key"
}

main() {
  install_missing "${windows_packages[@]}"
  ensure_deb_src

  local sdl xmp mixer zlib
  sdl=$(source_version libsdl2)
  xmp=$(source_version libxmp)
  mixer=$(source_version libsdl2-mixer)
  zlib=$(source_version zlib)
  if [ -z "$sdl" ] || [ -z "$xmp" ] || [ -z "$mixer" ] || [ -z "$zlib" ]; then
    log "a source package's version is unknown (sdl2 '$sdl', libxmp '$xmp', mixer '$mixer'," \
      "zlib '$zlib')"
    exit 1
  fi
  local prefix
  prefix=$cache_root/win-$(cache_key "$sdl" "$xmp" "$mixer" "$zlib")
  local stamp=$prefix/.complete
  cached_prefix "$prefix" && return 0

  log "building the libraries into $prefix (about 15 minutes on an idle 2-core machine)"
  rm -rf "$prefix"
  mkdir -p "$prefix" "$cache_root"
  local work
  work=$(mktemp -d "$cache_root/work-win-XXXXXX")
  # On failure the folder stays, with each library's log.
  trap 'log "failed: logs in $work"' ERR
  # The version of the key, by name: a newer security update may list a source the mirror lacks.
  (cd "$work" && apt-get source -q "libsdl2=$sdl" "libxmp=$xmp" "libsdl2-mixer=$mixer" \
    "zlib=$zlib" >"$work/source.log" 2>&1)

  local started=$SECONDS
  build_sdl2 "$(find "$work" -maxdepth 1 -type d -name 'libsdl2-2*' | head -1)" "$prefix" "$work" \
    "$toolchain"
  log "SDL2 done ($((SECONDS - started)) s)"
  build_libxmp "$(find "$work" -maxdepth 1 -type d -name 'libxmp-*' | head -1)" "$prefix" "$work"
  log "libxmp done ($((SECONDS - started)) s)"
  build_zlib "$(find "$work" -maxdepth 1 -type d -name 'zlib-*' | head -1)" "$prefix" "$work"
  log "zlib done ($((SECONDS - started)) s)"
  build_sdl2_mixer "$(find "$work" -maxdepth 1 -type d -name 'libsdl2-mixer-*' | head -1)" \
    "$prefix" "$work" "$toolchain"
  log "SDL2_mixer done ($((SECONDS - started)) s)"

  {
    echo "x86_64-w64-mingw32-gcc-posix $(package_version gcc-mingw-w64-x86-64-posix)"
    echo "binutils-mingw-w64-x86-64 $(package_version binutils-mingw-w64-x86-64)"
    echo "mingw-w64-x86-64-dev $(package_version mingw-w64-x86-64-dev)"
    echo "libsdl2 $sdl"
    echo "libxmp $xmp"
    echo "libsdl2-mixer $mixer"
    echo "zlib $zlib"
    echo "built in $((SECONDS - started)) s"
  } >"$stamp"
  rm -rf "$work"
  echo "$prefix"
}

main "$@"
