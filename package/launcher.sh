#!/bin/sh
# The commands of the installed package (corvane, corvane-cli, corvane-server,
# corvane-home, phonectl) are copies of this script; its name says which
# program it starts. The package keeps the program in LIB/program; the
# program runs from the user's device folder (CORVANE_DEVICE, default
# ~/.corvane-device), whose program folder this script lays out on the first
# start and brings up to date when the package changed. Only files that come
# with the package are copied: the settings (Corvane.config), the caches
# (<uin>.xml), the histories (<uin>/), registry.xml and Application Data are
# the user's and are never touched.
set -eu

self=$(readlink -f "$0")
LIB=$(cd "$(dirname "$self")/../lib/corvane" && pwd)
DEVICE=${CORVANE_DEVICE:-${HOME:-/tmp}/.corvane-device}
PROGRAM="$DEVICE/Program Files/Corvane"
export CORVANE_DEVICE="$DEVICE"

# The device folder holds the user's account: readable by the user only.
umask 077

program_is_current() {
    [ -f "$PROGRAM/.package-version" ] &&
        [ "$(cat "$PROGRAM/.package-version")" = "$(cat "$LIB/version")" ] &&
        cmp -s "$LIB/program/Corvane" "$PROGRAM/Corvane"
}

lay_out_device() {
    mkdir -p "$PROGRAM" "$DEVICE/Application Data/Home" "$DEVICE/run"
    program_is_current && return 0
    fresh=true
    [ -f "$PROGRAM/.package-version" ] && fresh=false
    # Existing files are unlinked first, so a running copy of the program
    # keeps its old file and the new one replaces it whole.
    cp -R --remove-destination "$LIB/program/." "$PROGRAM/"
    cp "$LIB/version" "$PROGRAM/.package-version"
    # A fresh device gets the home screen's default scheme; an upgrade leaves
    # the user's registry and schemes alone.
    if [ "$fresh" = true ] && [ -x "$PROGRAM/homescreen" ]; then
        "$PROGRAM/homescreen" --init >/dev/null 2>&1 || true
    fi
}

# True when one of the arguments is the option.
has_option() {
    wanted=$1
    shift
    for argument in "$@"; do
        [ "$argument" = "$wanted" ] && return 0
    done
    return 1
}

case "$(basename "$0")" in
corvane)
    lay_out_device
    exec "$PROGRAM/Corvane" "$@"
    ;;
corvane-cli)
    lay_out_device
    exec "$LIB/tools/corvane-cli" "$@"
    ;;
corvane-home)
    lay_out_device
    exec "$LIB/tools/homescreen" "$@"
    ;;
corvane-server)
    # The package's folder is read-only: the server keeps its data in the
    # device folder unless told otherwise.
    if has_option --data "$@" || has_option --no-data "$@"; then
        exec "$LIB/tools/oscar-server" "$@"
    fi
    mkdir -p "$DEVICE"
    exec "$LIB/tools/oscar-server" --data "$DEVICE/oscar-server-data" "$@"
    ;;
phonectl)
    exec "$LIB/program/phonectl" "$@"
    ;;
*)
    echo "$(basename "$0"): not a command of the Corvane package" >&2
    exit 2
    ;;
esac
