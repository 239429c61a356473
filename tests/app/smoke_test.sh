#!/usr/bin/env bash
# Starts the real program on a virtual X display over a generated 1,000-record
# collection, waits for its main window, types a new record's description and moves on,
# then asks it to end and expects a clean exit with the end marker and the window
# placement written. A second start must find the record stored, and keeps screenshots
# of the window at its least size, its default size and 1280x1000 in WORK_DIR/screenshots
# (small.png, default.png, large.png; docs/screenshots holds copies).
# Before all that, a first start on an empty home must show its window without a single
# message box.
# Usage: smoke_test.sh NUMORA_BINARY NUMORA_GEN_BINARY NUMORA_DBF_BINARY WORK_DIR
set -euo pipefail
binary=$1
generator=$2
dbf=$3
work=$4
description="Smoke Test Aureus"
if [ "${5:-}" != "--inside-display" ]; then
    rm -rf "$work"
    mkdir -p "$work/home/DATA"
    "$generator" "$work/home/DATA" 1000 >/dev/null
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$binary" "$generator" "$dbf" "$work" --inside-display
fi
cd "$work"
export NUMORA_HOME="$work/home"
settings="$NUMORA_HOME/DATA"

# New Record, the description into the first field, then Next, which stores it.
type_a_record() {
    local window
    window=$(xdotool search --name 'Brenlow Numora' | head -n 1)
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
    sleep 0.3
    xdotool key --clearmodifiers ctrl+n
    sleep 0.3
    xdotool type --delay 20 "$description"
    sleep 0.3
    xdotool key --clearmodifiers alt+Next
    sleep 0.5
}

# Runs the program until its window shows, then runs "$1" (if given) and ends it.
run_under_x() {
    local action=${1:-}
    unset QT_QPA_PLATFORM
    "$binary" >"$work/numora.log" 2>&1 &
    pid=$!
    local found=""
    for _ in $(seq 1 100); do
        if xwininfo -root -tree 2>/dev/null | grep -q '"Brenlow Numora'; then
            found=yes
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$found" ]; then
        echo "the main window never appeared"; cat "$work/numora.log"; kill "$pid" 2>/dev/null || true; exit 1
    fi
    sleep 0.5
    [ -z "$action" ] || "$action"
    kill -TERM "$pid"
    local status=0
    wait "$pid" || status=$?
    if [ "$status" -ne 0 ]; then
        echo "numora ended with status $status"; cat "$work/numora.log"; exit 1
    fi
    echo "started, showed its window and ended cleanly"
}

check_end_files() {
    local marker
    marker=$(cat "$settings/shut.dat" 2>/dev/null || true)
    if [ "$marker" != '@a$)' ]; then
        echo "shut.dat holds '$marker' instead of the clean-end marker"; exit 1
    fi
    if [ ! -s "$settings/wnd.dat" ]; then
        echo "wnd.dat was not written"; exit 1
    fi
    echo "the end marker and the window placement were written"
}

check_record_stored() {
    if ! "$dbf" dump "$settings/data.dbf" | grep -q "$description"; then
        echo "the typed description was not stored"; exit 1
    fi
    echo "the typed record was stored"
}

# The program logs every message it shows. A message box would keep the program from
# ending, so it is stopped outright.
no_message_shown() {
    if grep -q "numora.prompt: shown" "$work/numora.log"; then
        echo "a first start on an empty home showed a message:"; grep "numora.prompt" "$work/numora.log"
        kill -KILL "$pid"; exit 1
    fi
}

# Cropped to the window, which is moved to the screen's corner so no part of it is cut off.
shoot_window() {
    local window=$1 width=$2 height=$3 name=$4
    if [ -n "$width" ]; then
        xdotool windowsize "$window" "$width" "$height"
    fi
    xdotool windowmove "$window" 0 0
    sleep 1
    import -window "$window" "$work/screenshots/$name.png" 2>/dev/null || echo "(no $name screenshot)"
}

# The default size first, as the start left it; then the least size and a large one.
take_screenshots() {
    local window
    window=$(xdotool search --name 'Brenlow Numora' | head -n 1)
    mkdir -p "$work/screenshots"
    shoot_window "$window" "" "" default
    shoot_window "$window" 434 300 small
    shoot_window "$window" 1280 1000 large
}

first_start_is_silent() {
    local home="$work/empty-home"
    mkdir -p "$home"
    NUMORA_HOME="$home" QT_LOGGING_RULES="numora.prompt.info=true" run_under_x no_message_shown
    if [ ! -f "$home/DATA/data.dbf" ]; then
        echo "a first start made no database in the empty home"; ls -R "$home"; exit 1
    fi
    echo "a first start on an empty home made its database without a message"
}

first_start_is_silent
run_under_x type_a_record
check_end_files
check_record_stored
run_under_x take_screenshots
check_end_files
check_record_stored
