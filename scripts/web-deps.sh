#!/usr/bin/env bash
# Installs the browser build's toolchain (emscripten, cmake, ninja) when missing and builds
# SDL2, libxmp, SDL2_mixer and zlib for WebAssembly from Debian's source packages into a cached
# prefix outside the clone. Prints the prefix on its last line.
#
# The prefix is ~/.cache/rivoltra/web-<key> (or $RIVOLTRA_WEB_CACHE/web-<key>), the key naming the
# emscripten version and the four source versions, so a new toolchain or library gets a new
# prefix. A stamp written last marks a finished prefix: a half-built one is built again.
set -euo pipefail

jobs=${JOBS:-2}
cache_root=${RIVOLTRA_WEB_CACHE:-$HOME/.cache/rivoltra}

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive

log() { echo "web-deps: $*" >&2; }

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

install_toolchain() {
  local missing=() p
  for p in emscripten cmake ninja-build dpkg-dev; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# apt-get source needs deb-src entries: copy the existing deb ones once.
ensure_deb_src() {
  if grep -rqsE '^Types:.*deb-src|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    apt-cache showsrc libsdl2 >/dev/null 2>&1 && return 0
  else
    local list=/etc/apt/sources.list.d
    if [ -f $list/debian.sources ]; then
      log "adding deb-src entries to $list/rivoltra-deb-src.sources"
      sed 's/^Types: deb$/Types: deb-src/' $list/debian.sources |
        "${sudo_cmd[@]}" tee $list/rivoltra-deb-src.sources >/dev/null
    elif [ -f /etc/apt/sources.list ]; then
      log "adding deb-src entries to $list/rivoltra-deb-src.list"
      sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
        "${sudo_cmd[@]}" tee $list/rivoltra-deb-src.list >/dev/null
    else
      log "no apt source list to copy a deb-src entry from"
      exit 1
    fi
  fi
  "${sudo_cmd[@]}" apt-get update -q
}

source_version() {
  apt-cache showsrc --only-source "$1" | awk '/^Version:/ { print $2; exit }'
}

# Debian versions carry ':' and '+', which are fine in a folder name but not in every tool's
# argument; keep letters, digits, dots and dashes.
key_part() { echo "$1" | tr -c 'A-Za-z0-9.\n-' '_'; }

build_sdl2() {
  local source=$1 prefix=$2 work=$3
  emcmake cmake -S "$source" -B "$work/sdl" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
    -DSDL_THREADS=OFF >"$work/sdl.log"
  cmake --build "$work/sdl" -j"$jobs" >>"$work/sdl.log"
  cmake --install "$work/sdl" >>"$work/sdl.log"
}

build_libxmp() {
  local source=$1 prefix=$2 work=$3
  (cd "$source" &&
    emconfigure ./configure --host=wasm32-unknown-emscripten --prefix="$prefix" \
      --enable-static --disable-shared CFLAGS=-O2 &&
    emmake make -j"$jobs" && emmake make install) >"$work/libxmp.log"
}

build_sdl2_mixer() {
  local source=$1 prefix=$2 work=$3
  # 2.6.2's Findlibxmp.cmake calls find_package_handle_standard_args without including it.
  if ! grep -q 'include(FindPackageHandleStandardArgs)' "$source/cmake/Findlibxmp.cmake"; then
    sed -i '1i include(FindPackageHandleStandardArgs)' "$source/cmake/Findlibxmp.cmake"
  fi
  emcmake cmake -S "$source" -B "$work/mixer" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" \
    -DSDL2_DIR="$prefix/lib/cmake/SDL2" -DBUILD_SHARED_LIBS=OFF -DSDL2MIXER_SAMPLES=OFF \
    -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MP3=OFF \
    -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=OFF -DSDL2MIXER_WAVE=ON \
    -DSDL2MIXER_MOD=ON -DSDL2MIXER_MOD_MODPLUG=OFF -DSDL2MIXER_MOD_XMP=ON \
    -DSDL2MIXER_MOD_XMP_SHARED=OFF -Dlibxmp_LIBRARY="$prefix/lib/libxmp.a" \
    -Dlibxmp_INCLUDE_PATH="$prefix/include" >"$work/mixer.log"
  cmake --build "$work/mixer" -j"$jobs" >>"$work/mixer.log"
  cmake --install "$work/mixer" >>"$work/mixer.log"
}

# The replay files' checksum (crc32). emscripten's own zlib is a download; this is Debian's.
build_zlib() {
  local source=$1 prefix=$2 work=$3
  (cd "$source" &&
    CFLAGS=-O2 emconfigure ./configure --static --prefix="$prefix" &&
    emmake make -j"$jobs" libz.a && emmake make install) >"$work/zlib.log" 2>&1
}

main() {
  install_toolchain
  # Debian's emcc needs Node to find its own modules (acorn and others).
  export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
  ensure_deb_src

  local emscripten sdl xmp mixer zlib
  emscripten=$(dpkg-query -W -f='${Version}' emscripten)
  sdl=$(source_version libsdl2)
  xmp=$(source_version libxmp)
  mixer=$(source_version libsdl2-mixer)
  zlib=$(source_version zlib)
  if [ -z "$sdl" ] || [ -z "$xmp" ] || [ -z "$mixer" ] || [ -z "$zlib" ]; then
    log "a source package's version is unknown (sdl2 '$sdl', libxmp '$xmp', mixer '$mixer'," \
      "zlib '$zlib')"
    exit 1
  fi
  local key
  key="emscripten-$(key_part "$emscripten")-sdl2-$(key_part "$sdl")"
  key+="-xmp-$(key_part "$xmp")-mixer-$(key_part "$mixer")-zlib-$(key_part "$zlib")"
  local prefix=$cache_root/web-$key
  local stamp=$prefix/.complete

  if [ -f "$stamp" ]; then
    log "libraries cached in $prefix"
    echo "$prefix"
    return 0
  fi

  log "building the libraries into $prefix"
  rm -rf "$prefix"
  mkdir -p "$prefix" "$cache_root"
  local work
  work=$(mktemp -d "$cache_root/work-XXXXXX")
  # On failure the folder stays, with each library's log.
  trap 'log "failed: logs in $work"' ERR
  # The version of the key, by name: a newer security update may list a source the mirror lacks.
  (cd "$work" && apt-get source -q libsdl2 libxmp libsdl2-mixer "zlib=$zlib" >"$work/source.log" 2>&1)

  local started=$SECONDS
  build_sdl2 "$(find "$work" -maxdepth 1 -type d -name 'libsdl2-2*' | head -1)" "$prefix" "$work"
  log "SDL2 done ($((SECONDS - started)) s)"
  build_libxmp "$(find "$work" -maxdepth 1 -type d -name 'libxmp-*' | head -1)" "$prefix" "$work"
  log "libxmp done ($((SECONDS - started)) s)"
  build_sdl2_mixer "$(find "$work" -maxdepth 1 -type d -name 'libsdl2-mixer-*' | head -1)" \
    "$prefix" "$work"
  log "SDL2_mixer done ($((SECONDS - started)) s)"
  build_zlib "$(find "$work" -maxdepth 1 -type d -name 'zlib-*' | head -1)" "$prefix" "$work"
  log "zlib done ($((SECONDS - started)) s)"

  {
    echo "emscripten $emscripten"
    echo "libsdl2 $sdl"
    echo "libxmp $xmp"
    echo "libsdl2-mixer $mixer"
    echo "zlib $zlib"
  } >"$stamp"
  rm -rf "$work"
  echo "$prefix"
}

main "$@"
