#!/usr/bin/env bash
# installed_game.sh BUILD ARTEFACTS
set -euo pipefail
build=$1
artefacts=$2
mkdir -p "$artefacts"
if [ -z "${DISPLAY:-}" ]; then
  echo "installed_game: no DISPLAY (run through scripts/run-tests.sh)"
  exit 1
fi
work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
root=$work/root
home=$work/home
mkdir -p "$home"
fail() { echo "installed_game: $*"; exit 1; }

DESTDIR=$root cmake --install "$build" --prefix /usr --component game > /dev/null
share=$root/usr/share

echo "== validators"
desktop-file-validate "$share/applications/org.rivoltra.Rivoltra.desktop"
appstreamcli validate --no-net "$share/metainfo/org.rivoltra.Rivoltra.metainfo.xml"
man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$share/man/man6/rivoltra.6" 2>&1 > /dev/null || true)
[ -z "$man_warnings" ] || fail "man page warnings: $man_warnings"

game=$root/usr/bin/rivoltra
# From /, with nothing of this environment but the display: a fresh player's session.
run_game() {
  cd /
  exec env -i HOME="$home" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" SDL_AUDIODRIVER=dummy "$game" "$@"
}

echo "== command line"
(run_game --help) | grep -q -- '--fullscreen' || fail "--help does not list the options"
(run_game --version) | grep -q 'MIT licence' || fail "--version does not name the licence"
echo "== licence"
source_dir=$(dirname "$0")/../..
bash "$source_dir/scripts/check-licence.sh" "$share/doc/rivoltra/LICENSE"
status=0
(run_game --no-such-option) 2> "$work/usage.txt" > /dev/null || status=$?
[ "$status" = 2 ] || fail "an unknown option exits with $status, not 2"
grep -q '^Usage:' "$work/usage.txt" || fail "an unknown option prints no usage on stderr"

echo "== first start"
before=$(cd "$root" && find . -type f -exec sha1sum {} + | sort)
(run_game) > "$artefacts/installed-stdout.txt" 2> "$artefacts/installed-stderr.txt" &
pid=$!
find_window() {
  xwininfo -root -tree 2> /dev/null | grep '"Rivoltra"' | grep -E '[0-9]+x[0-9]+' | head -1 || true
}
window=""
for _ in $(seq 100); do
  window=$(find_window)
  [ -n "$window" ] && break
  kill -0 "$pid" 2> /dev/null || { cat "$artefacts/installed-stderr.txt"; fail "the game ended early"; }
  sleep 0.1
done
[ -n "$window" ] || fail "no window titled Rivoltra appeared"
sleep 3  # the main menu slides in
id=$(echo "$window" | awk '{print $1}')
if command -v import > /dev/null; then
  timeout 30 import -window "$id" "$artefacts/installed-window.png"
  echo "screenshot: $artefacts/installed-window.png"
fi
kill -TERM "$pid"
status=0
for _ in $(seq 100); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
wait "$pid" || status=$?
pid=""
[ "$status" = 0 ] || { cat "$artefacts/installed-stderr.txt"; fail "exit status $status"; }

echo "== saves"
saves=$home/.local/share/rivoltra
for file in options hs preferences; do
  [ -f "$saves/$file" ] || fail "no $saves/$file after a normal close"
  # Nothing was changed in the menu, so the saved files are the defaults again.
  cmp "$saves/$file" "$share/rivoltra/Save/$file" || fail "$file differs from the default"
done
after=$(cd "$root" && find . -type f -exec sha1sum {} + | sort)
[ "$before" = "$after" ] || fail "the game wrote into its install folder"
[ ! -s "$artefacts/installed-stderr.txt" ] || { cat "$artefacts/installed-stderr.txt"; fail "messages on stderr"; }
echo "saves in $saves: $(ls "$saves" | tr '\n' ' ')"
