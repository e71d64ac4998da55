#!/usr/bin/env bash
# make-deb.sh BUILD OUT: rivoltra_VERSION_ARCH.deb (the game) and rivoltra-scores_VERSION_ARCH.deb
# (the score server with its systemd unit) from an already built tree, installed with the prefix
# /usr into a staging folder per package. Dependencies come from dpkg-shlibdeps.
set -euo pipefail
build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-$build/deb}")
source_dir=$(realpath "$(dirname "$0")/..")

version=$(sed -n 's/^project(Rivoltra VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
arch=$(dpkg --print-architecture)
maintainer="Rivoltra developers <rivoltra@example.org>"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# stage PACKAGE COMPONENT: the component's files under $work/PACKAGE with the package's docs.
stage() {
  local package=$1 component=$2 root=$work/$1
  DESTDIR=$root cmake --install "$build" --prefix /usr --component "$component" > /dev/null
  find "$root/usr/bin" -type f -exec strip --strip-unneeded --remove-section=.comment \
    --remove-section=.note {} +
  find "$root/usr/share/man" -type f -exec gzip -9n {} +
  local doc=$root/usr/share/doc/$package
  mkdir -p "$doc"
  # The machine-readable copyright file holds the licence text; Debian wants no second copy.
  rm -f "$doc/LICENSE"
  install -m 644 "$source_dir/packaging/debian/copyright" "$doc/copyright"
  printf '%s (%s) unstable; urgency=medium\n\n  * Release %s.\n\n -- %s  %s\n' \
    "$package" "$version" "$version" "$maintainer" "$(date -R -d @"${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct)}")" |
    gzip -9n > "$doc/changelog.gz"
  find "$root" -type d -exec chmod 755 {} +
  find "$root" -type f -exec chmod go-w {} +
}

# shlib_depends PACKAGE: the Depends line of the package's programs.
shlib_depends() {
  local root=$work/$1
  mkdir -p "$work/shlibs/debian"
  printf 'Source: rivoltra\n\nPackage: %s\nArchitecture: any\n' "$1" > "$work/shlibs/debian/control"
  local programs
  mapfile -t programs < <(find "$root/usr/bin" "$root/usr/games" -maxdepth 1 -type f 2> /dev/null)
  (cd "$work/shlibs" && dpkg-shlibdeps -O "${programs[@]}" 2> /dev/null) | sed -n 's/^shlibs:Depends=//p'
}

# build_deb PACKAGE SECTION DESCRIPTION-FILE [DEPENDS...]: the control file, md5sums and the
# archive; DEPENDS are libraries the programs load themselves, which dpkg-shlibdeps cannot see.
build_deb() {
  local package=$1 section=$2 description=$3 root=$work/$1
  local depends extra
  depends=$(shlib_depends "$package")
  for extra in "${@:4}"; do depends+=", $extra"; done
  mkdir -p "$root/DEBIAN"
  {
    echo "Package: $package"
    echo "Version: $version"
    echo "Architecture: $arch"
    echo "Maintainer: $maintainer"
    echo "Installed-Size: $(du -sk --exclude=DEBIAN "$root" | cut -f1)"
    echo "Depends: $depends"
    echo "Section: $section"
    echo "Priority: optional"
    echo "Homepage: https://rivoltra.example.org/"
    cat "$source_dir/packaging/debian/$description"
  } > "$root/DEBIAN/control"
  (cd "$root" && find . -path ./DEBIAN -prune -o -type f -printf '%P\n' | sort | xargs md5sum > DEBIAN/md5sums)
  dpkg-deb --root-owner-group -Zxz --build "$root" "$out/${package}_${version}_${arch}.deb" > /dev/null
  echo "$out/${package}_${version}_${arch}.deb"
}

stage rivoltra game
# Debian keeps games in /usr/games; ../share/rivoltra from there is the same data folder.
mkdir -p "$work/rivoltra/usr/games"
mv "$work/rivoltra/usr/bin/rivoltra" "$work/rivoltra/usr/games/rivoltra"
rmdir "$work/rivoltra/usr/bin"
# The game loads libcurl at its first request to the score server (CURLOPT_PROTOCOLS_STR: 7.85).
build_deb rivoltra games rivoltra.description "libcurl4 (>= 7.85.0)"

stage rivoltra-scores scores
install -D -m 644 "$source_dir/packaging/debian/rivoltra-scores.service" \
  "$work/rivoltra-scores/lib/systemd/system/rivoltra-scores.service"
build_deb rivoltra-scores net rivoltra-scores.description
