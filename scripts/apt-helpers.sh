# Sourced by the build scripts that install Debian packages and build libraries from Debian's
# source packages (web-deps.sh, windows-deps.sh). The caller defines log().

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# Installs the packages that are missing; waits for another apt run instead of failing.
install_missing() {
  local missing=() p
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=900 update -q
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends \
    "${missing[@]}"
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
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=900 update -q
}

source_version() {
  apt-cache showsrc --only-source "$1" | awk '/^Version:/ { print $2; exit }'
}

# Debian versions carry ':' and '+', which are fine in a folder name but not in every tool's
# argument; keep letters, digits, dots and dashes.
key_part() { echo "$1" | tr -c 'A-Za-z0-9.\n-' '_'; }

# cached_prefix PREFIX: when PREFIX holds a finished build (its stamp is written last), says so
# and prints it for the caller's caller; otherwise fails, and the caller builds it.
cached_prefix() {
  [ -f "$1/.complete" ] || return 1
  log "libraries cached in $1"
  echo "$1"
}
