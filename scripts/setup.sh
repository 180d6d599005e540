#!/bin/sh
# Installs every Debian package the project needs; does nothing when all are present.
# apt's own output (thousands of progress lines on a fresh machine) goes to a log under
# build/; the terminal gets one line per step, and the log's last lines if a step fails.
set -eu
cd "$(dirname "$0")/.."

# fonts-wine: Wine's own fonts, so the caption buttons in screenshots show their glyphs.
PACKAGES="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
binutils-mingw-w64-x86-64 cmake make g++ googletest wine wine32:i386 wine64 fonts-wine xvfb xauth
xdotool x11-utils x11-apps imagemagick zip unzip clang libclang-rt-14-dev libbenchmark-dev
prometheus"
LOG=build/setup.log

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

missing=""
count=0
for package in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
        count=$((count + 1))
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

mkdir -p build
: >"$LOG"

# step MESSAGE COMMAND...: one line on the terminal, everything the command says in the log.
step() {
    message=$1
    shift
    printf 'setup: %s ... ' "$message"
    if "$@" >>"$LOG" 2>&1 </dev/null; then
        echo "done"
        return 0
    fi
    echo "failed; the last lines of $LOG:"
    tail -n 15 "$LOG" | sed 's/^/    /'
    exit 1
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    step "adding the i386 architecture" $SUDO dpkg --add-architecture i386
fi
step "updating the package lists" $SUDO apt-get update
# shellcheck disable=SC2086
step "installing $count packages (log: $LOG)" $SUDO env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends $missing
