#!/usr/bin/env bash
# scripts/windows-test.sh NATIVE_BUILD BUILD_WIN: the Windows packages under Wine on Xvfb, in a
# throwaway Wine prefix, every step bounded in time:
#   - the programs import Windows' own DLLs only; the sizes stay within their limits;
#   - the installer installs silently and lists the game in the installed apps;
#   - the game starts from its Start-menu shortcut's target and shows the main menu (compared
#     with the runner's picture), keys drive a race, the saves go to %APPDATA%\Rivoltra and the
#     install folder is left as it was;
#   - a folder named with accents and CJK characters works for --data, --save and the verifier;
#   - the Windows and the Linux verifier print the same JSON for the golden games and for the
#     game the Windows build recorded;
#   - the WinHTTP transport talks to the real score server (version, report, replay upload);
#   - the uninstaller removes everything but the player's saves.
# Screenshots, the verifiers' outputs and the timings stay in BUILD_WIN/test-artefacts.
set -euo pipefail

native=$(cd "$1" && pwd)
build_win=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
log() { echo "windows-test: $*" >&2; }
# shellcheck source=apt-helpers.sh
. "$root/scripts/apt-helpers.sh"
install_missing wine wine64 xvfb xauth x11-utils xdotool imagemagick

version=$(sed -n 's/^project(Rivoltra VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
setup=$build_win/rivoltra-$version-win64-setup.exe
artefacts=$build_win/test-artefacts
rm -rf "$artefacts"
mkdir -p "$artefacts"
work=$(mktemp -d /tmp/rivoltra-wintest-XXXXXX)

export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
# No .NET or Gecko installer prompts in a fresh prefix; UTF-8 for the non-ASCII names.
export WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8 SDL_AUDIODRIVER=dummy

xvfb_pid=""
server_pid=""
game_pid=""
window=""
cleanup() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  timeout 20 wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
check() {  # NAME CONDITION-STATUS DETAIL
  if [ "$2" -eq 0 ]; then
    printf 'PASS  %s%s\n' "$1" "${3:+ ($3)}"
  else
    printf 'FAIL  %s%s\n' "$1" "${3:+ ($3)}"
    failures=$((failures + 1))
  fi
}
ok() { "$@" >/dev/null 2>&1 && echo 0 || echo 1; }

for display in $(seq 90 120); do
  [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=:$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

started=$SECONDS
timeout 180 wineboot -i >/dev/null 2>&1
log "Wine prefix made in $((SECONDS - started)) s"
drive_c=$WINEPREFIX/drive_c
appdata=$drive_c/users/${USER:-$(id -un)}/AppData/Roaming
[ -d "$appdata" ] || appdata=$(find "$drive_c/users" -maxdepth 3 -type d -name Roaming | head -1)

# --- the files themselves ---------------------------------------------------------------------
system_dlls='^(kernel32|user32|gdi32|winmm|imm32|ole32|oleaut32|shell32|version|setupapi|advapi32|winhttp|msvcrt|cfgmgr32|hid)\.dll$'
for program in rivoltra rivoltra-replay; do
  imports=$(x86_64-w64-mingw32-objdump -p "$build_win/package/Rivoltra/$program.exe" |
    awk '/DLL Name:/ {print tolower($3)}' | sort -u | tr '\n' ' ')
  foreign=$(echo "$imports" | tr ' ' '\n' | grep -v '^$' | grep -Ev "$system_dlls" || true)
  check "$program.exe imports Windows' own DLLs only" "$([ -z "$foreign" ] && echo 0 || echo 1)" \
    "$imports"
done
exe_bytes=$(stat -c %s "$build_win/package/Rivoltra/rivoltra.exe")
setup_bytes=$(stat -c %s "$setup")
check "rivoltra.exe stripped at most 6 MB" "$([ "$exe_bytes" -le 6000000 ] && echo 0 || echo 1)" \
  "$exe_bytes bytes"
check "installer at most 5 MB" "$([ "$setup_bytes" -le 5000000 ] && echo 0 || echo 1)" \
  "$setup_bytes bytes"

# --- install ----------------------------------------------------------------------------------
started=$SECONDS
timeout 120 wine "$setup" /S >/dev/null 2>&1
install_seconds=$((SECONDS - started))
install=$drive_c/Program\ Files/Rivoltra
shortcut=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Rivoltra.lnk
check "the installer installs silently into Program Files" \
  "$(ok test -f "$install/rivoltra.exe" -a -f "$install/Data/Res/Res1.gfx" -a -f "$install/uninstall.exe" -a -f "$install/LICENSE.txt" -a -f "$install/THIRD-PARTY-NOTICES.txt")" \
  "$install_seconds s"
check "a Start-menu shortcut" "$(ok test -f "$shortcut")"
check "the install folder carries the licence and the third-party notices" \
  "$(ok bash "$root/scripts/check-licence.sh" "$install/LICENSE.txt")"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Rivoltra'
timeout 30 wine reg query "$uninstall_key" 2>/dev/null | tr -d '\r' >"$artefacts/uninstall-key.txt" || true
for value in DisplayName DisplayIcon DisplayVersion Publisher UninstallString EstimatedSize; do
  check "installed apps entry has $value" "$(ok grep -q "$value" "$artefacts/uninstall-key.txt")"
done
# The windowed program's --version and errors reach whoever started it (here Wine's own console
# handling; on Windows the parent's console).
version_text=$(cd "$drive_c" && timeout 60 wine "$install/rivoltra.exe" --version 2>&1 | tr -d '\r')
check "rivoltra.exe --version answers on the console" \
  "$(echo "$version_text" | grep -q 'MIT' && echo 0 || echo 1)" "$(echo "$version_text" | head -1)"
set +e
(cd "$drive_c" && timeout 60 wine "$install/rivoltra.exe" --no-such-option >"$work/usage.txt" 2>&1)
usage_status=$?
set -e
check "an unknown option: usage on the console, exit status 2" \
  "$([ "$usage_status" -eq 2 ] && grep -q 'no-such-option' "$work/usage.txt" && echo 0 || echo 1)" \
  "status $usage_status"

snapshot() { (cd "$install" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
snapshot >"$work/install-before.txt"

# The shortcut's target, as Explorer would start it: the Windows path inside the .lnk.
# The link's local base path (ANSI) or its icon location (UTF-16), whichever strings finds.
target=$( (strings "$shortcut"; strings -e l "$shortcut") | grep -oi '[A-Z]:\\.*rivoltra\.exe$' |
  head -1)
check "the shortcut points at the installed game" \
  "$(echo "$target" | grep -qi '^C:\\Program Files\\Rivoltra\\rivoltra\.exe$' && echo 0 || echo 1)" \
  "$target"

# --- the game ---------------------------------------------------------------------------------
window_id() {
  { xwininfo -root -tree 2>/dev/null | grep '"Rivoltra"' | grep -E '[0-9]+x[0-9]+' || true; } |
    head -1 | awk '{print $1}'
}
# start_game ARGS...: the game from the desktop's folder, as a shortcut starts it; sets game_pid,
# window and startup_ms (from the start to the window's appearing).
start_game() {
  local begin now
  begin=$(date +%s%N)
  (cd "$drive_c" && exec wine "$target" "$@" >>"$artefacts/game-output.txt" 2>&1) &
  game_pid=$!
  window=""
  for _ in $(seq 300); do
    window=$(window_id)
    [ -n "$window" ] && break
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.05
  done
  now=$(date +%s%N)
  startup_ms=$(((now - begin) / 1000000))
  # No window manager gives it the focus, and the game's clock stands still without it.
  [ -z "$window" ] || xdotool windowfocus "$window" 2>/dev/null || true
}
shoot() {  # FILE: the game's window as a PNG (nothing when it cannot be read)
  timeout 30 import -window "$window" "$1" 2>/dev/null || rm -f "$1"
}
press() {  # KEY [HOLD-SECONDS]: held, because the game samples the key state once per tick
  xdotool keydown --window "$window" "$1" 2>/dev/null
  sleep "${2:-0.15}"
  xdotool keyup --window "$window" "$1" 2>/dev/null
  sleep 0.3
}
# close_game: Alt+F4, the close request Windows sends; the game saves and ends.
close_game() {
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool keydown alt keydown F4 2>/dev/null && sleep 0.15 && xdotool keyup F4 keyup alt 2>/dev/null
  for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$game_pid" 2>/dev/null; then
    kill -9 "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null || true
    game_pid=""
    return 1
  fi
  wait "$game_pid" 2>/dev/null || true
  game_pid=""
}

# Start-up time: the prefix's first start of a windowed program sets Wine itself up (fonts,
# window classes), so one start to warm up, then three measured, the median reported.
startups=()
for run in 0 1 2 3; do
  start_game
  [ "$run" -gt 0 ] && startups+=("$startup_ms")
  [ -n "$window" ] || break
  if [ "$run" -lt 3 ]; then
    sleep 1
    close_game || true
    timeout 20 wineserver -w 2>/dev/null || true
  fi
done
median=$(printf '%s\n' "${startups[@]}" | sort -n | sed -n 2p)
check "the game starts from the shortcut's target and opens its window" \
  "$([ -n "$window" ] && echo 0 || echo 1)" "start to window ${startups[*]} ms"
check "window visible within 3 s of the launch (median of 3)" \
  "$([ -n "$median" ] && [ "$median" -le 3000 ] && echo 0 || echo 1)" "$median ms"
echo "${startups[*]}" >"$artefacts/startup-ms.txt"

if [ -n "$window" ]; then
  # The main menu once it has slid in, against the runner's picture of the same screen: the
  # window is photographed until it matches (at most 30 s), and the time that took is kept.
  (cd "$native" && printf 'tick 200\nshot %s\n' "$artefacts/runner-main-menu.png" |
    ./rivoltra-script >/dev/null)
  size=$(identify -format '%wx%h' "$artefacts/runner-main-menu.png")
  total=$(( ${size%x*} * ${size#*x} ))
  menu_begin=$(date +%s%N)
  for _ in $(seq 60); do
    shoot "$artefacts/wine-main-menu.png"
    # Colour channels may differ by a step or two (pixel format conversions), glyph edges by
    # hinting: 3 % per channel, at most 1 % of the pixels beyond that.
    differing=$(compare -metric AE -fuzz 3% "$artefacts/wine-main-menu.png" \
      "$artefacts/runner-main-menu.png" "$artefacts/main-menu-difference.png" 2>&1 || true)
    differing=${differing%% *}
    [ "${differing%.*}" -le $((total / 100)) ] 2>/dev/null && break
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.5
  done
  menu_ms=$((($(date +%s%N) - menu_begin) / 1000000))
  check "the main menu under Wine is the runner's picture (font hinting aside)" \
    "$([ "${differing%.*}" -le $((total / 100)) ] 2>/dev/null && echo 0 || echo 1)" \
    "$differing of $total pixels differ beyond 3 %, matched $menu_ms ms after the window's focus"

  # Enter (car choice), Enter (the race), Up held: the road moves under the car.
  press Return
  sleep 1
  press Return
  sleep 3
  shoot "$artefacts/wine-race-start.png"
  press Up 4
  shoot "$artefacts/wine-race.png"
  press Right 0.4
  press Up 4
  press Left 0.4
  press Up 3
  moved=$(compare -metric AE -fuzz 5% "$artefacts/wine-race-start.png" "$artefacts/wine-race.png" \
    null: 2>&1 || true)
  moved=${moved%% *}
  check "keys drive a race: the picture changes while Up is held" \
    "$([ "${moved%.*}" -gt $((total / 20)) ] 2>/dev/null && echo 0 || echo 1)" \
    "$moved pixels changed"
  # Escape and Y end the game; a few points do not reach the table: back to the menu.
  press Escape
  press y
  sleep 3
  shoot "$artefacts/wine-after-race.png"
  close_game
  check "Alt+F4 ends the game" "$?"
fi

saves=$appdata/Rivoltra
ls -la "$saves" >"$artefacts/appdata-rivoltra.txt" 2>&1 || true
check "the saves are in %APPDATA%\\Rivoltra" \
  "$(ok test -f "$saves/options" -a -f "$saves/hs" -a -f "$saves/last.rvr")" \
  "$(ls "$saves" 2>/dev/null | tr '\n' ' ')"
snapshot >"$work/install-after.txt"
check "the install folder is unchanged by playing" \
  "$(ok cmp "$work/install-before.txt" "$work/install-after.txt")"

# --- determinism across systems -----------------------------------------------------------
replays=$work/replays
mkdir -p "$replays"
for name in autopilot-car1 autopilot-car3 careless-car2 time-over-then-crashes; do
  (grep -v '^quit$' "$root/tests/golden/$name.script"; echo "record $replays/$name.rvr") \
    >"$work/$name.script"
  bash "$root/tests/golden/run-one.sh" "$native" "$work/$name.script" >/dev/null
done
[ -f "$saves/last.rvr" ] && cp "$saves/last.rvr" "$replays/windows-recorded.rvr"
cp -a "$replays" "$drive_c/replays"
printf '| replay | Linux JSON | Windows JSON |\n| --- | --- | --- |\n' >"$artefacts/determinism.md"
for file in "$replays"/*.rvr; do
  name=$(basename "$file")
  linux=$("$native/rivoltra-replay" verify --data "$native/Data" "$file" || true)
  windows=$(timeout 120 wine "$install/rivoltra-replay.exe" verify "C:\\replays\\$name" \
    2>/dev/null | tr -d '\r' || true)
  printf '| %s | `%s` | `%s` |\n' "$name" "$linux" "$windows" >>"$artefacts/determinism.md"
  check "the verifiers agree on $name" \
    "$([ -n "$linux" ] && [ "$linux" = "$windows" ] && echo 0 || echo 1)" "$windows"
done

# --- any folder name ----------------------------------------------------------------------
odd="Dätä_日本"
mkdir -p "$drive_c/$odd"
cp -a "$install/Data" "$drive_c/$odd/Data"
cp "$replays/autopilot-car3.rvr" "$drive_c/$odd/Spiel é 試合.rvr"
linux=$("$native/rivoltra-replay" verify --data "$native/Data" "$replays/autopilot-car3.rvr")
windows=$(timeout 120 wine "$install/rivoltra-replay.exe" verify --data "C:\\$odd\\Data" \
  "C:\\$odd\\Spiel é 試合.rvr" 2>&1 | tr -d '\r' || true)
check "the verifier reads --data and a replay in non-ASCII folders" \
  "$([ "$linux" = "$windows" ] && echo 0 || echo 1)" "$windows"
rm -rf "$drive_c/$odd/Data/Save"
mkdir -p "$drive_c/$odd/Data/Save"
cp "$install/Data/Save/"* "$drive_c/$odd/Data/Save/"
# The save folder starts with the default files, dated in the past: the normal close rewrites
# them, and what the Windows build writes must be byte for byte what Linux writes for the same
# settings and table (the Linux runner's rewrite of the defaults is the defaults).
mkdir -p "$drive_c/$odd/Säve"
cp "$native/package-files/Save/options" "$native/package-files/Save/hs" "$drive_c/$odd/Säve/"
touch -d '2000-01-01' "$drive_c/$odd/Säve/options" "$drive_c/$odd/Säve/hs"
start_game --data "C:\\$odd\\Data" --save "C:\\$odd\\Säve"
if [ -n "$window" ]; then
  sleep 3
  shoot "$artefacts/wine-odd-folder.png"
  close_game || true
fi
rewritten=$(find "$drive_c/$odd/Säve" -name options -newer "$work/install-before.txt" | wc -l)
check "the game runs with --data and --save in non-ASCII folders and saves there" \
  "$([ "$rewritten" -eq 1 ] && echo 0 || echo 1)" \
  "$(ls "$drive_c/$odd/Säve" 2>/dev/null | tr '\n' ' ')"
check "the saves the Windows build writes are byte-identical to Linux's" \
  "$(cmp -s "$drive_c/$odd/Säve/options" "$native/package-files/Save/options" &&
    cmp -s "$drive_c/$odd/Säve/hs" "$native/package-files/Save/hs" && echo 0 || echo 1)"

# --- HTTP over WinHTTP against the real score server ---------------------------------------
# The replay the Windows client uploads is an honest game with a race ticket from this server,
# played by the native autopilot faster than real time (hence the ticket check's slack) and named
# but not sent.
"$native/rivoltra-scores" --listen 127.0.0.1:0 --db "$work/scores.db" --quiet --ticket-slack 600 \
  --verifier "$native/rivoltra-replay" --verifier-data "$native/Data" >"$work/server.out" 2>&1 &
server_pid=$!
port=""
for _ in $(seq 100); do
  port=$(sed -n 's|.*http://127\.0\.0\.1:\([0-9]*\).*|\1|p' "$work/server.out" | head -1)
  [ -n "$port" ] && break
  sleep 0.1
done
mkdir -p "$work/ticketed/Data"
ln -s "$native/Data/Res" "$native/Data/Music" "$work/ticketed/Data/"
"$native/rivoltra-datagen" "$work/ticketed/Data" defaults >/dev/null
(cd "$work/ticketed" && timeout 120 "$native/rivoltra-ticketed-run" "http://127.0.0.1:$port" 1 \
  "$drive_c/replays/ticketed.rvr" WINHTTP >/dev/null)
probe=$(timeout 120 wine "$build_win/rivoltra-http-probe.exe" "http://127.0.0.1:$port" \
  "C:\\replays\\ticketed.rvr" 2>&1 | tr -d '\r' || true)
echo "$probe" >"$artefacts/http-probe.txt"
check "WinHTTP: version, report and replay upload reach the score server, the entry verified" \
  "$(echo "$probe" | grep -qx '{"sent":true,"upload":"verified","listed":true}' && echo 0 || echo 1)" \
  "$probe"
kill "$server_pid" 2>/dev/null || true
server_pid=""

# --- uninstall --------------------------------------------------------------------------------
timeout 120 wine "$install/uninstall.exe" /S >/dev/null 2>&1 || true
# The uninstaller runs a copy of itself from the temporary folder and returns at once.
for _ in $(seq 600); do [ -e "$install" ] || break; sleep 0.1; done
timeout 60 wineserver -w 2>/dev/null || true
check "the uninstaller removes the install folder and the shortcut" \
  "$(ok test ! -e "$install" -a ! -e "$shortcut")" \
  "$(ls "$install" 2>/dev/null | tr '\n' ' ')"
check "the uninstaller removes the installed apps entry" \
  "$(timeout 30 wine reg query "$uninstall_key" >/dev/null 2>&1 && echo 1 || echo 0)"
check "the uninstaller keeps the player's saves" \
  "$(ok test -f "$saves/options" -a -f "$saves/hs" -a -f "$saves/last.rvr")"

if [ "$failures" -gt 0 ]; then
  log "$failures checks failed; artefacts in $artefacts"
  exit 1
fi
log "all checks passed; artefacts in $artefacts"
