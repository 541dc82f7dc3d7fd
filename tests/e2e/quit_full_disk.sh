#!/usr/bin/env bash
# The real application with its document on a full disk: the write of a change fails and a
# dialog says why; the first close request keeps the application open, the second one quits.
# The disk is a small tmpfs in a mount namespace of this script's own, whose mounts must be
# private (needs root, and a root file system that is a mount point). Exit code 77: skipped.
set -euo pipefail
app="$1"
if [ -z "${VANTREL_IN_MOUNT_NS:-}" ]; then
    if ! why=$(unshare -m --propagation private true 2>&1); then
        # Propagation can only be changed at a mount's own root; in a chroot "/" is a folder.
        if [ "$(id -u)" -ne 0 ]; then
            echo "SKIP: mounting a small disk needs root: $why"
        elif ! awk '$5 == "/" { found = 1 } END { exit !found }' /proc/self/mountinfo; then
            echo "SKIP: the root file system is not a mount point (a chroot?), so mounts cannot be made private: $why"
        else
            echo "SKIP: no private mount namespace for a small disk: $why"
        fi
        exit 77
    fi
    exec unshare -m --propagation private env VANTREL_IN_MOUNT_NS=1 bash "$0" "$@"
fi

home=$(mktemp -d)
pid=""
atoms_pid=""
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    if [ -n "$atoms_pid" ]; then kill "$atoms_pid" 2>/dev/null || true; wait "$atoms_pid" 2>/dev/null || true; fi
    umount "$home/shows" 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
source "$(dirname "$0")/lib/instance.sh"
source "$(dirname "$0")/lib/windows.sh"

# A document whose cue has a colour no category has: building the model links it to a new
# category, a change that is written a second later, onto a disk that is full by then.
shows="$home/shows"
mkdir -p "$shows" "$home/Documents/Vantrel/preferences"
mount -t tmpfs -o size=64k tmpfs "$shows"
printf '%s\r\n' \
    '<Vantrel version="1.1.0.643">' \
    '  <CueLists>' \
    '    <CueList uuid="0123456789abcdef0123456789abcdef" name="Show" offset="00:00:00:00" fps="25">' \
    '      <Cues><cue id="c1" number="1" text="Go" start="0.0" duration="0" color="ff123456"/></Cues>' \
    '    </CueList>' \
    '  </CueLists>' \
    '  <ColorMask/>' \
    '  <Servers IP="0.0.0.0"/>' \
    '</Vantrel>' > "$shows/Show.xml"
printf '%s\r\n' '<preferences>' '  <app version="1.1.0.643"/>' \
    "  <lastusedfile fullpathname=\"$shows/Show.xml\"/>" '</preferences>' \
    > "$home/Documents/Vantrel/preferences/preferences.xml"
original=$(cat "$shows/Show.xml")
dd if=/dev/zero of="$shows/filler" bs=4k 2>/dev/null || true
dd if=/dev/zero of="$shows/filler" bs=1 oflag=append conv=notrunc 2>/dev/null || true

# Close requests are window-manager messages; a bare Xvfb learns their atoms here (see title_bar.sh).
python3 -c '
import ctypes, ctypes.util, time
x = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
x.XOpenDisplay.restype = ctypes.c_void_p
d = ctypes.c_void_p(x.XOpenDisplay(None))
for name in (b"WM_PROTOCOLS", b"WM_DELETE_WINDOW", b"WM_CHANGE_STATE"):
    x.XInternAtom(d, name, 0)
x.XSync(d, 0)
print("ready", flush=True)
time.sleep(600)
' > "$home/atoms" &
atoms_pid=$!
for _ in $(seq 100); do grep -q ready "$home/atoms" 2>/dev/null && break; sleep 0.1; done

request_close() { python3 "$(dirname "$0")/lib/wm-close.py" "$1"; }

# The dialog: an 800 x 450 window of the application's.
dialog_shown() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true); do
        xdotool getwindowgeometry "$id" | grep -q "Geometry: 800x450" && return 0
    done
    return 1
}
wait_for_dialog() {
    for _ in $(seq 100); do dialog_shown && return 0; sleep 0.1; done
    fail "no dialog $1$(exit_note "$pid")"
}

[ -z "$(window_ids)" ] || fail "a Vantrel window is already open on this display"
fail_if_another_instance_runs
HOME="$home" "$app" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 300); do [ "$(window_ids | wc -l)" -eq 1 ] && break; sleep 0.1; done
main=$(window_ids)
[ -n "$main" ] || fail "no main window$(exit_note "$pid")"

wait_for_dialog "about the failed write"
[ "$(cat "$shows/Show.xml")" = "$original" ] || fail "the document file changed on a full disk"

request_close "$main"
sleep 1.5
kill -0 "$pid" 2>/dev/null || fail "the first close request quit with an edit that could not be written"
wait_for_dialog "after the refused quit"

request_close "$main"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "still running after the second close request"
wait "$pid" && rc=0 || rc=$?
pid=""
[ "$rc" -eq 0 ] || fail "exit code $rc after the second close request"
echo "ok"
