#!/usr/bin/env bash
# check-deb-licence.sh DEB...: each package's copyright file carries the project's licence.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for deb in "$@"; do
  package=$(dpkg-deb --field "$deb" Package)
  dpkg-deb --extract "$deb" "$work/$package"
  bash "$(dirname "$0")/check-licence.sh" "$work/$package/usr/share/doc/$package/copyright"
  echo "$package: MIT licence in usr/share/doc/$package/copyright"
done
