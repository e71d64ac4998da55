# Sourced by windows-deps.sh: how each library is built for Windows x86-64, static, into one
# prefix. The cache key holds this file's checksum, so a changed recipe builds a new prefix.
# Each function takes the unpacked source, the prefix, the work folder and the toolchain file.

windows_cc=x86_64-w64-mingw32-gcc-posix

build_sdl2() {
  local source=$1 prefix=$2 work=$3 toolchain=$4
  cmake -S "$source" -B "$work/sdl" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DRIVOLTRA_WIN_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF >"$work/sdl.log"
  cmake --build "$work/sdl" -j"$jobs" >>"$work/sdl.log"
  cmake --install "$work/sdl" >>"$work/sdl.log"
}

build_libxmp() {
  local source=$1 prefix=$2 work=$3
  (cd "$source" &&
    ./configure --host=x86_64-w64-mingw32 --prefix="$prefix" --enable-static --disable-shared \
      CC=$windows_cc CFLAGS=-O2 &&
    make -j"$jobs" && make install) >"$work/libxmp.log" 2>&1
}

# The replay files' checksum (crc32). Debian's dfsg source has no win32/Makefile.gcc; the plain
# configure works with the cross tools named.
build_zlib() {
  local source=$1 prefix=$2 work=$3
  (cd "$source" &&
    CC=$windows_cc AR=x86_64-w64-mingw32-ar RANLIB=x86_64-w64-mingw32-ranlib CFLAGS=-O2 \
      ./configure --static --prefix="$prefix" &&
    make -j"$jobs" libz.a && make install) >"$work/zlib.log" 2>&1
}

# WAV effects and the tracker songs (through libxmp) only. BUILDING_STATIC: without it xmp.h
# declares libxmp's functions dllimport.
build_sdl2_mixer() {
  local source=$1 prefix=$2 work=$3 toolchain=$4
  # 2.6.2's Findlibxmp.cmake calls find_package_handle_standard_args without including it.
  if ! grep -q 'include(FindPackageHandleStandardArgs)' "$source/cmake/Findlibxmp.cmake"; then
    sed -i '1i include(FindPackageHandleStandardArgs)' "$source/cmake/Findlibxmp.cmake"
  fi
  cmake -S "$source" -B "$work/mixer" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DRIVOLTRA_WIN_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DSDL2_DIR="$prefix/lib/cmake/SDL2" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_C_FLAGS=-DBUILDING_STATIC -DBUILD_SHARED_LIBS=OFF -DSDL2MIXER_SAMPLES=OFF \
    -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MP3=OFF \
    -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=OFF -DSDL2MIXER_WAVE=ON \
    -DSDL2MIXER_MOD=ON -DSDL2MIXER_MOD_MODPLUG=OFF -DSDL2MIXER_MOD_XMP=ON \
    -DSDL2MIXER_MOD_XMP_SHARED=OFF -Dlibxmp_LIBRARY="$prefix/lib/libxmp.a" \
    -Dlibxmp_INCLUDE_PATH="$prefix/include" >"$work/mixer.log"
  cmake --build "$work/mixer" -j"$jobs" >>"$work/mixer.log"
  cmake --install "$work/mixer" >>"$work/mixer.log"
}
