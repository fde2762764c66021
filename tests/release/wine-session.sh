# Sourced by the release tests: a Wine prefix that is never the user's (QM_TEST_WINEPREFIX, or a
# fresh one removed at exit), a scratch folder, and the program's dialog started and closed.
# shellcheck shell=bash
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$repo/scripts/wine-env"
# The dialog needs an X display: without one, run again under a virtual one.
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"

work=$(mktemp -d "${TMPDIR:-/tmp}/qm-release-test.XXXXXX")
if [ -n "${QM_TEST_WINEPREFIX:-}" ]; then
    export WINEPREFIX=$QM_TEST_WINEPREFIX
    trap 'rm -rf "$work"' EXIT
else
    export WINEPREFIX=$work/prefix
    trap 'wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
fi
wine_prefix_ready "$WINEPREFIX" headless || { echo "no Wine prefix in $WINEPREFIX" >&2; exit 1; }

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# show_dialog PROGRAM.exe: starts it, waits (bounded) until its dialog is on screen, closes it
# as the close button would (WM_CLOSE) and waits for the program to end.
show_dialog() {
    wine "$1" >/dev/null 2>&1 &
    local program=$! tries
    for tries in $(seq 120); do
        xdotool search --name '^Quillmarrow 2004 Default Settings$' >/dev/null 2>&1 && break
        kill -0 $program 2>/dev/null || fail "$1 ended without showing its dialog"
        sleep 0.5
    done
    xdotool search --name '^Quillmarrow 2004 Default Settings$' >/dev/null 2>&1 ||
        { kill $program; fail "$1 showed no dialog within a minute"; }
    wine taskkill /im "$(basename "$1")" >/dev/null 2>&1
    for tries in $(seq 60); do kill -0 $program 2>/dev/null || return 0; sleep 0.5; done
    kill $program
    fail "$1 did not close"
}
