#!/usr/bin/env bash
# Plants includes in a scratch copy of the source tree, one case at a time, and builds the object
# file each lands in: an include across an edge the library graph does not declare must fail
# with the header not found, a declared one must build. Then no include under src/ may leave the
# include roots through a path relative to its own file.
set -uo pipefail
source_dir=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

for part in CMakeLists.txt LICENSE cmake src tools packaging; do cp -r "$source_dir/$part" "$scratch/"; done
if ! cmake -S "$scratch" -B "$scratch/build" -G Ninja -DRIVOLTRA_TESTS=OFF > "$scratch/configure.log" 2>&1; then
  cat "$scratch/configure.log"
  echo "the scratch copy does not configure"
  exit 1
fi

failures=0
# file under src/ | planted include | library whose object is built | expected: builds or refused
cases="
engine/dib.cpp|base/geometry.h|rivoltra_engine|builds
engine/dib.cpp|app/app.h|rivoltra_engine|refused
race/core/race_tick.cpp|engine/surface.h|rivoltra_race_core|refused
formats/score_code.cpp|persist/high_scores.h|rivoltra_formats|refused
ui/bitmap_text.h|audio/music.h|rivoltra_ui|refused
platform/sdl/sdl_keys.cpp|app/app.h|rivoltra_platform_sdl|refused
platform/desktop/sdl_main_loop.cpp|app/app.h|rivoltra_desktop|builds
platform/desktop/sdl_main_loop.cpp|app/game.h|rivoltra_desktop|refused
"
while IFS='|' read -r file header library expected; do
  [ -n "$file" ] || continue
  cp "$source_dir/src/$file" "$scratch/src/$file.original"
  { echo "#include \"$header\""; cat "$scratch/src/$file.original"; } > "$scratch/src/$file"
  # A header is compiled in its library's file that includes every header of it.
  case $file in
    *.h) object_name="header_checks/$library.cpp.o" ;;
    *) object_name="$file.o" ;;
  esac
  object=$(ninja -C "$scratch/build" -t targets all | cut -d: -f1 |
    grep -F "$library.dir/" | grep -F "$object_name" | head -1)
  if [ -z "$object" ]; then
    echo "FAIL: no object file of $library for $file"
    failures=$((failures + 1))
  elif ninja -C "$scratch/build" "$object" > "$scratch/build.log" 2>&1; then
    if [ "$expected" = refused ]; then
      echo "FAIL: $file including $header built ($library may not include it)"
      failures=$((failures + 1))
    else
      echo "ok: $file including $header builds"
    fi
  elif [ "$expected" = builds ]; then
    cat "$scratch/build.log"
    echo "FAIL: $file including $header did not build"
    failures=$((failures + 1))
  elif grep -q "$header: No such file or directory" "$scratch/build.log"; then
    echo "ok: $file including $header is refused"
  else
    cat "$scratch/build.log"
    echo "FAIL: $file including $header failed for another reason than the missing header"
    failures=$((failures + 1))
  fi
  mv "$scratch/src/$file.original" "$scratch/src/$file"
done <<< "$cases"

# A quoted include is first looked up beside the including file, outside the include roots.
if grep -rnE '#[[:space:]]*include[[:space:]]*"\.' "$source_dir/src"; then
  echo "FAIL: includes relative to their own file (above) bypass the library graph"
  failures=$((failures + 1))
fi
exit $((failures > 0))
