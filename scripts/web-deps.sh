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

log() { echo "web-deps: $*" >&2; }
# shellcheck source=apt-helpers.sh
. "$(dirname "$0")/apt-helpers.sh"

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
  install_missing emscripten cmake ninja-build dpkg-dev
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
  cached_prefix "$prefix" && return 0

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
