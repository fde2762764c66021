# Sourced by the release tests: a Wine prefix that is never the user's (QM_TEST_WINEPREFIX, or a
# fresh one removed at exit), a scratch folder, and the program's dialog started and closed.
# shellcheck shell=bash
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$repo/scripts/wine-env"
# The dialog needs an X display: without one, run again under a virtual one.
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"

work=$(mktemp -d "${TMPDIR:-/tmp}/qm-release-test.XXXXXX")
export WINEPREFIX=${QM_TEST_WINEPREFIX:-$work/prefix}
trap '[ -n "${QM_TEST_WINEPREFIX:-}" ] || wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
wine_prefix_ready "$WINEPREFIX" headless || { echo "no Wine prefix in $WINEPREFIX" >&2; exit 1; }
# One wineserver for all `wine` calls, none racing the last one's exit (status 2: one runs already);
# without its output, which would hold CTest for 15 s.
wineserver -p15 >/dev/null 2>&1 || [ $? -eq 2 ]

fail() { echo "FAILED: $*" >&2; exit 1; }
trap 'echo "FAILED: line $LINENO: $BASH_COMMAND" >&2' ERR

# wait_window TITLE [PID]: waits (bounded, while PID runs) for a window TITLE; prints its pid.
wait_window() {
    for _ in $(seq 300); do
        xdotool search --onlyvisible --name "^$1\$" getwindowpid 2>/dev/null && return 0
        [ -z "${2:-}" ] || kill -0 "$2" 2>/dev/null || fail "no window \"$1\": its program ended"
        sleep 0.2
    done
    [ -z "${2:-}" ] || kill "$2"; fail "no window \"$1\" within a minute"
}

# show_dialog PROGRAM.exe: starts it, waits for its dialog, closes it as its close button would
# (WM_CLOSE); it must then end (bounded) with status 0.
show_dialog() {
    wine "$1" >/dev/null 2>&1 & local program=$! status=0
    wait_window 'Quillmarrow 2004 Default Settings' $program >/dev/null
    wine taskkill /im "$(basename "$1")" >/dev/null 2>&1
    for _ in $(seq 150); do kill -0 $program 2>/dev/null || break; sleep 0.2; done
    ! kill $program 2>/dev/null || fail "$1 did not close"
    wait $program 2>/dev/null || status=$?
    [ $status -eq 0 ] || fail "$1 exited $status after WM_CLOSE"
}
