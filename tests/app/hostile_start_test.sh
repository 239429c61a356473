#!/usr/bin/env bash
# Starts the real program on a virtual X display over collections that are unwritable,
# locked by another process, cut short, incomplete or carry a foreign index, and in the
# situations of a shared installation (two copies on one folder, a data folder that is
# missing, the tray option with a termination signal). Each case runs on a fresh copy of
# one generated 1,000-record collection, used once by the program so that it has its
# master table, index and settings.
#
# For each case: the program must not abort (exit status 0 once its message boxes are
# answered and it is sent SIGTERM, or once it ends by itself); every record that was
# whole on disk before the run must be there byte for byte afterwards (and, where the
# table could be dumped before, dump the same); and the user must have seen a message
# naming the cause. What the user saw is read from the prompt's log (numora.prompt).
# Message boxes are answered with Escape: No or Cancel for a question, the hostile path.
#
# Every case runs even when one fails; the summary lists each case with its outcome.
# Usage: hostile_start_test.sh NUMORA NUMORA_GEN NUMORA_DBF HELPER TABLE_PEER TRAY_HOST WORK_DIR
set -uo pipefail
binary=$1
generator=$2
dbf=$3
helper=$4
table_peer=$5
tray_host=$6
work=$7
if [ "${8:-}" != "--inside-display" ]; then
    rm -rf "$work"
    mkdir -p "$work"
    # Without -noreset the server resets each time its last client leaves, and a start
    # that comes in the middle of the reset finds no display.
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@" --inside-display
fi
unset QT_QPA_PLATFORM
export QT_LOGGING_RULES="numora.prompt.info=true"
pristine="$work/pristine"
home="$work/home"
data="$home/DATA"

# ---------------------------------------------------------------------------------------
# Running the program

# Starts the program on $home; sets $pid. Extra words are a command prefix (another user).
start_program() {
    local log=$1
    shift
    env NUMORA_HOME="$home" "$@" "$binary" >"$log" 2>&1 &
    pid=$!
}

# How many messages of the log still wait for an answer.
open_boxes() {
    local shown answered
    shown=$(grep -c 'numora.prompt: shown' "$1")
    answered=$(grep -c 'numora.prompt: answered' "$1")
    echo $((shown - answered))
}

# Answers the message box that has the focus with Escape.
answer_box() {
    sleep 0.4
    xdotool key Escape 2>/dev/null || true
    sleep 0.3
}

main_window_shown() {
    xdotool search --onlyvisible --pid "$1" --name 'Brenlow Numora - Database' >/dev/null 2>&1
}

# Answers message boxes until the program's main window has shown and stayed quiet for a
# while, or the program has ended. False when it neither did in time.
settle() {
    local process=$1 log=$2 quiet=0
    for _ in $(seq 1 300); do
        kill -0 "$process" 2>/dev/null || return 0
        if [ "$(open_boxes "$log")" -gt 0 ]; then
            answer_box
            quiet=0
            continue
        fi
        if main_window_shown "$process"; then
            quiet=$((quiet + 1))
            [ "$quiet" -ge 8 ] && return 0
        fi
        sleep 0.2
    done
    return 1
}

# Sends SIGTERM unless the program has ended already, answers what it shows while it
# ends and sets $status to its exit status (124: it had to be killed).
finish() {
    local process=$1 log=$2
    kill -TERM "$process" 2>/dev/null
    for _ in $(seq 1 150); do
        kill -0 "$process" 2>/dev/null || break
        [ "$(open_boxes "$log")" -gt 0 ] && answer_box
        sleep 0.2
    done
    if kill -0 "$process" 2>/dev/null; then
        kill -KILL "$process" 2>/dev/null
        wait "$process" 2>/dev/null
        status=124
        return
    fi
    wait "$process"
    status=$?
}

# One start, answered and ended: sets $status.
run_once() {
    local log=$1
    shift
    start_program "$log" "$@"
    settle "$pid" "$log" || echo "    (still busy after a minute: ending it)"
    finish "$pid" "$log"
}

# ---------------------------------------------------------------------------------------
# Looking at the files

# Header length, record length and file size of a .dbf, or nothing when it has no header.
dbf_layout() {
    local size header record
    size=$(stat -c %s "$1")
    [ "$size" -ge 32 ] || return 1
    header=$(od -An -tu2 -j8 -N2 "$1" | tr -d ' ')
    record=$(od -An -tu2 -j10 -N2 "$1" | tr -d ' ')
    echo "$header $record $size"
}

# The bytes of the whole records of a .dbf, header left out (a run may rightly update it).
whole_records() {
    python3 - "$1" <<'EOF_PY'
import sys
data = open(sys.argv[1], 'rb').read()
if len(data) < 32:
    sys.exit(0)
header = int.from_bytes(data[8:10], 'little')
length = int.from_bytes(data[10:12], 'little')
out = sys.stdout.buffer
for start in range(header, len(data) - length + 1 if length else header, length or 1):
    out.write(data[start:start + length])
EOF_PY
}

# What was on disk before the run, to hold the run against.
keep_before() {
    rm -rf "$work/before"
    cp -a "$data" "$work/before"
    whole_records "$work/before/data.dbf" >"$work/before.records" 2>/dev/null || : >"$work/before.records"
    if "$dbf" dump "$work/before/data.dbf" >"$work/before.dump" 2>/dev/null; then
        dumped=yes
    else
        dumped=""
    fi
}

failures=()
# Notes one failure of the current case.
fail() {
    failures+=("$1")
}

check_not_aborted() {
    case $status in
    0) ;;
    124) fail "it hung: killed after no answer to SIGTERM" ;;
    *) fail "it ended with status $status$([ "$status" -gt 128 ] && echo " (signal $((status - 128)))")" ;;
    esac
}

check_records_kept() {
    if [ -s "$work/before.records" ]; then
        if [ ! -f "$data/data.dbf" ]; then
            fail "data.dbf is gone (DATA now holds: $(ls "$data" | tr '\n' ' '))"
            return
        fi
        if ! cmp -s "$work/before.records" <(whole_records "$data/data.dbf" | head -c "$(stat -c %s "$work/before.records")"); then
            fail "the records whole before the run are not the same bytes after it (DATA holds: $(ls "$data" | tr '\n' ' '))"
        fi
    fi
    if [ -n "$dumped" ] && ! "$dbf" dump "$data/data.dbf" 2>/dev/null | cmp -s "$work/before.dump" -; then
        fail "numora-dbf dump differs from the dump before the run"
    fi
}

shown_messages() {
    grep 'numora.prompt: shown' "$1" | sed 's/^.*numora.prompt: shown //'
}

check_cause_named() {
    local pattern=$1
    if ! shown_messages "$log" | grep -Eiq "$pattern"; then
        if [ -n "$(shown_messages "$log")" ]; then
            fail "no message named the cause (/$pattern/); shown: $(shown_messages "$log" | tr '\n' ' ')"
        else
            fail "no message was shown; the cause (/$pattern/) was never named"
        fi
    fi
}

check_not_shown() {
    local pattern=$1 which=$2
    if shown_messages "$which" | grep -Eiq "$pattern"; then
        fail "it showed: $(shown_messages "$which" | grep -Ei "$pattern" | head -n 1)"
    fi
}

check_clean_end() {
    local marker
    marker=$(cat "$data/shut.dat" 2>/dev/null || true)
    [ "$marker" = '@a$)' ] || fail "shut.dat holds '$marker' instead of the clean-end marker"
}

# ---------------------------------------------------------------------------------------
# The cases. Each sets up $home from the pristine copy, runs, and checks.

# The common course: a start on the damaged copy that must not abort, keep the records
# and name the cause.
start_and_expect() {
    local pattern=$1
    shift
    keep_before
    log="$work/$case.log"
    run_once "$log" "$@"
    check_not_aborted
    check_records_kept
    check_cause_named "$pattern"
}

truncate_data_to() {
    truncate -s "$1" "$data/data.dbf"
}

layout_of_pristine() {
    read -r header record size < <(dbf_layout "$pristine/DATA/data.dbf")
}

case_unwritable() {
    # Root writes whatever the mode says, so the case runs as another user.
    local user_id=65534
    if [ "$(id -u)" -eq 0 ]; then
        if ! command -v setpriv >/dev/null; then
            skip_reason="running as root and setpriv is missing, so no user lacks write permission"
            return
        fi
        if ! setpriv --reuid=$user_id --regid=$user_id --clear-groups test -r "$binary" 2>/dev/null \
            || ! setpriv --reuid=$user_id --regid=$user_id --clear-groups test -x "$work" 2>/dev/null; then
            skip_reason="user $user_id cannot reach the program or the work folder"
            return
        fi
        chown -R $user_id:$user_id "$home"
        cp "$XAUTHORITY" "$work/xauthority" && chmod 644 "$work/xauthority"
        chmod a-w "$data"/data.*
        start_and_expect 'permission|read.only|cannot be written|not allowed' \
            setpriv --reuid=$user_id --regid=$user_id --clear-groups \
            env XAUTHORITY="$work/xauthority" HOME="$work" XDG_RUNTIME_DIR=
    else
        chmod a-w "$data"/data.*
        start_and_expect 'permission|read.only|cannot be written|not allowed'
    fi
}

case_locked() {
    local holder_in="$work/holder.in" holder_out="$work/holder.out"
    rm -f "$holder_in"
    mkfifo "$holder_in"
    "$table_peer" hold-exclusive "$data" data.dbf <"$holder_in" >"$holder_out" 2>&1 &
    local holder=$!
    exec {keep_open}>"$holder_in"
    for _ in $(seq 1 50); do
        grep -q ready "$holder_out" 2>/dev/null && break
        sleep 0.1
    done
    if ! grep -q ready "$holder_out"; then
        skip_reason="the helper could not hold the table: $(cat "$holder_out")"
    else
        keep_before
        log="$work/$case.log"
        run_once "$log"
    fi
    exec {keep_open}>&-
    wait "$holder" 2>/dev/null
    # The records can be read only once the other process has let the table go.
    if [ -z "$skip_reason" ]; then
        check_not_aborted
        check_records_kept
        check_cause_named 'in use|locked|another user|busy'
    fi
}

case_cut_in_header() {
    truncate_data_to 20
    start_and_expect 'damaged|truncated|cut short|incomplete|corrupt'
}

case_cut_at_first_record() {
    layout_of_pristine
    truncate_data_to "$header"
    start_and_expect 'damaged|truncated|cut short|incomplete|corrupt'
}

case_cut_mid_file() {
    layout_of_pristine
    truncate_data_to $((header + 500 * record + record / 2))
    start_and_expect 'damaged|truncated|cut short|incomplete|corrupt'
}

case_cut_in_last_record() {
    layout_of_pristine
    truncate_data_to $((size - 400))
    start_and_expect 'damaged|truncated|cut short|incomplete|corrupt'
}

case_master_missing() {
    rm -f "$data"/[Mm][Aa][Ss][Tt][Ee][Rr].[Dd][Bb][Ff]
    start_and_expect 'master'
}

case_memo_missing() {
    rm -f "$data"/data.dbt
    start_and_expect 'data\.dbt|memo'
}

case_foreign_index() {
    head -c 8192 /dev/urandom >"$data/data.mdx"
    start_and_expect 'index|data\.mdx'
}

case_second_copy() {
    keep_before
    log="$work/$case.log"
    local second_log="$work/$case.second.log"
    start_program "$log"
    local first=$pid
    settle "$first" "$log" || fail "the first copy did not settle"
    start_program "$second_log"
    local second=$pid
    settle "$second" "$second_log" || fail "the second copy did not settle"
    check_not_shown 'not Closed normally' "$second_log"
    finish "$second" "$second_log"
    check_not_aborted
    finish "$first" "$log"
    check_not_aborted
    check_records_kept
    check_clean_end
}

case_data_root_missing() {
    "$helper" data-root "$home" "$work/unplugged drive" || fail "the data root could not be set"
    start_and_expect 'Could not find the data folder: \| .*/unplugged drive \| .*program folder'
}

case_tray_option_and_sigterm() {
    "$helper" tray-option "$data" || fail "the tray option could not be set"
    "$tray_host" >"$work/tray.out" 2>&1 &
    local tray=$!
    for _ in $(seq 1 50); do
        grep -q ready "$work/tray.out" 2>/dev/null && break
        sleep 0.1
    done
    rm -f "$data/shut.dat" "$data/wnd.dat"
    keep_before
    log="$work/$case.log"
    run_once "$log"
    kill "$tray" 2>/dev/null
    wait "$tray" 2>/dev/null
    check_not_aborted
    check_records_kept
    check_clean_end
    [ -s "$data/wnd.dat" ] || fail "wnd.dat was not written"
}

cases=(
    "case_unwritable|data files unwritable"
    "case_locked|record table held exclusively by another process"
    "case_cut_in_header|data.dbf cut inside its header"
    "case_cut_at_first_record|data.dbf cut where the first record begins"
    "case_cut_mid_file|data.dbf cut in the middle of record 501"
    "case_cut_in_last_record|data.dbf cut inside its last record"
    "case_master_missing|master.dbf missing"
    "case_memo_missing|data.dbt missing"
    "case_foreign_index|data.mdx replaced by another program's bytes"
    "case_second_copy|a second copy started on the same folder"
    "case_data_root_missing|the data root names a missing folder"
    "case_tray_option_and_sigterm|tray option on, ended by SIGTERM"
)

# ---------------------------------------------------------------------------------------
# The collection, used once so that it has everything a used collection has. It is used
# where every case runs, since the settings remember the database's folder.

mkdir -p "$data"
"$generator" "$data" 1000 >/dev/null
run_once "$work/pristine.log"
if [ "$status" -ne 0 ] || [ "$(cat "$data/shut.dat" 2>/dev/null)" != '@a$)' ]; then
    echo "the first start on the generated collection did not end cleanly (status $status):"
    cat "$work/pristine.log"
    exit 1
fi
mv "$home" "$pristine"

summary=()
failed=0
for entry in "${cases[@]}"; do
    case=${entry%%|*}
    title=${entry#*|}
    echo "== $title"
    rm -rf "$home"
    cp -a "$pristine" "$home"
    failures=()
    skip_reason=""
    dumped=""
    "$case"
    if [ -n "$skip_reason" ]; then
        summary+=("SKIP  $title: $skip_reason")
    elif [ ${#failures[@]} -eq 0 ]; then
        summary+=("pass  $title")
    else
        failed=$((failed + 1))
        summary+=("FAIL  $title: $(printf '%s; ' "${failures[@]}")")
        echo "    last lines of its output:"
        tail -n 5 "$work/$case.log" | sed 's/^/      /'
    fi
    echo "    ${summary[-1]}"
done

echo
echo "Hostile starts:"
printf '  %s\n' "${summary[@]}"
[ "$failed" -eq 0 ]
