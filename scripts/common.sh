# Shared by the scripts in this folder: packages, build trees, the Wine prefix.
# Source it; it sets ROOT, BUILD, NATIVE_BUILD, WIN_BUILD and the Wine variables.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${ARCHIWIN_BUILD:-$ROOT/build}
NATIVE_BUILD=$BUILD/native
WIN_BUILD=$BUILD/win
JOBS=${JOBS:-$(nproc)}

# Wine: a private prefix under the build tree (see start_wine), Polish ANSI
# code page (1250), no debug chatter, no offers to install Mono or Gecko, no
# menu entries or file associations written into the host's home.
export WINEPREFIX=$BUILD/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64

PACKAGES=(
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev
  zlib1g-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
  wine wine64 fonts-wine xvfb xauth x11-utils imagemagick locales fonts-dejavu-core
  cabextract gcab 7zip time xz-utils
  python3
  nsis
  clang libclang-rt-14-dev
)

log() { printf '\033[1m== %s\033[0m\n' "$*" >&2; }

ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    log "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
  # Wine takes its ANSI code page from the locale: pl_PL.UTF-8 gives 1250,
  # the code page of the program's users; en_US.UTF-8 (1252) checks that
  # files peers read do not depend on it.
  local want=()
  for loc in pl_PL en_US; do
    locale -a 2>/dev/null | grep -qi "^$loc\.utf-\?8$" || want+=("$loc")
  done
  if ((${#want[@]})); then
    log "generating locales: ${want[*]}"
    for loc in "${want[@]}"; do
      sed -i "s/^# *$loc.UTF-8 UTF-8/$loc.UTF-8 UTF-8/" /etc/locale.gen
      grep -q "^$loc.UTF-8 UTF-8" /etc/locale.gen || echo "$loc.UTF-8 UTF-8" >>/etc/locale.gen
    done
    locale-gen >/dev/null
  fi
}

build_native() {
  log "native build ($NATIVE_BUILD)"
  cmake -S "$ROOT" -B "$NATIVE_BUILD" -G Ninja "$@" >/dev/null
  cmake --build "$NATIVE_BUILD" -j "$JOBS"
}

build_windows() {
  log "Windows build ($WIN_BUILD)"
  cmake -S "$ROOT" -B "$WIN_BUILD" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$ROOT/scripts/wine-exec" "$@" >/dev/null
  cmake --build "$WIN_BUILD" -j "$JOBS"
}

wine_env() {
  export LC_ALL=pl_PL.UTF-8 LANG=pl_PL.UTF-8
}

# Wine prefixes. Each keeps off the host: the profile folders (Desktop,
# Documents, Downloads, Music, Pictures, Videos, Templates) that Wine links to
# the host's home are real folders of the prefix, and nothing is written into
# the host's menus or file associations (winemenubuilder is off).
#   build/wineprefix         the tests' prefix; drive Z: (the host's root) stays,
#                            since CTest starts the test programs from the build tree
#   build/wineprefix-sealed  sealed: no drive Z: and no view of the Unix root in
#                            the shell's folders; the programs run from drive C:
#                            (tests that delete, or search whole drives:
#                            scripts/wine-sealed, docs/testing.md)
#   build/wineprefix-run     sealed too, for scripts/run (a person trying the program)
TEST_PREFIX=$BUILD/wineprefix
SEALED_PREFIX=$BUILD/wineprefix-sealed
RUN_PREFIX=$BUILD/wineprefix-run

# Replaces every symbolic link under the prefix's user profiles (all of them
# lead to the host's home) by an empty real folder, and for a sealed prefix
# removes every drive that is not inside the prefix. Cheap; runs at every start,
# since an update of Wine could bring the links back.
seal_prefix() {  # PREFIX [sealed]
  local prefix=$1 link drive
  while IFS= read -r -d '' link; do
    rm -f "$link"
    mkdir -p "$link"
  done < <(find "$prefix/drive_c/users" -type l -print0 2>/dev/null)
  if [ "${2:-}" = sealed ]; then
    for drive in "$prefix"/dosdevices/?:; do
      [ -e "$drive" ] || [ -L "$drive" ] || continue
      [ "$(basename "$drive")" = c: ] && continue
      rm -f "$drive"
    done
  fi
}

# Creates the prefix WINEPREFIX names, once (about 12 s).
create_prefix() {  # [sealed]
  wine_env
  mkdir -p "$(dirname "$WINEPREFIX")"
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  log "creating the Wine prefix ($WINEPREFIX)"
  wineboot --init >/dev/null 2>&1 </dev/null || true
  # Wine draws the window frames itself: a virtual display has no window
  # manager, and screenshots should show captions as users see them.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  if [ "${1:-}" = sealed ]; then
    # The shell's folder views show the Unix root beside the drives: not here.
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Desktop\Namespace\{9D20AAE8-0625-44B0-9CA7-71889C2254D9}' /f >/dev/null 2>&1 || true
  fi
  wineserver -w
  seal_prefix "$WINEPREFIX" "${1:-}"
}

# Makes sure the prefix WINEPREFIX names exists, is sealed as asked, and keeps
# one wineserver up for the caller's lifetime; stop_wine ends it.
start_wine() {  # [sealed]
  wine_env
  create_prefix "${1:-}"
  # The windows are designed in Tahoma, as on Windows. Wine ships a Tahoma of
  # its own (package fonts-wine) but leaves it out of the prefix; the stand-in
  # face smooths small bold text to grey, so bold captions looked no heavier
  # than the rest. Marlett draws the window frames' buttons (without it their
  # pictures are letters).
  local font
  for font in tahoma.ttf tahomabd.ttf marlett.ttf; do
    if [ ! -f "/usr/share/wine/fonts/$font" ]; then
      log "Wine's Tahoma is missing (/usr/share/wine/fonts/$font): install fonts-wine"
    elif [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/$font" ]; then
      cp "/usr/share/wine/fonts/$font" "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
  done
  seal_prefix "$WINEPREFIX" "${1:-}"
  wineserver -p
  WINE_STARTED+=("$WINEPREFIX")
  # The first program on the server starts the prefix's services, which keep
  # its output open for as long as they run: give them none of ours.
  wine wineboot >/dev/null 2>&1 </dev/null || true
  seal_prefix "$WINEPREFIX" "${1:-}"
}

# Ends the wineservers start_wine kept up.
WINE_STARTED=()
stop_wine() {
  local prefix
  for prefix in "${WINE_STARTED[@]}"; do
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  done
  WINE_STARTED=()
}

# A display for windows: the caller's own, or a virtual one started here.
XVFB_PID=
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
  local n=99
  while [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return; sleep 0.1; done
  echo "Xvfb did not start" >&2
  return 1
}

stop_display() {
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
