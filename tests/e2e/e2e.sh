#!/usr/bin/env bash
# Drives the real program in an X server of its own, from outside, with xdotool only.
#
# usage: e2e.sh PROGRAM SHEET_TOOL LSAN_SUPPRESSIONS OUTPUT_FOLDER
#
# First run: checks the window class against the desktop entry, types "ABC" into key
# position 07 (key 1 under the 18-key model), a management name into the name field,
# saves through the File menu and its dialog, moves the window,
# quits answering はい, and checks the saved file (with the sheet tool's dump) and the
# window position in Stripwise2.ini.
# Second run: a second start while the first runs leaves one window and ends by itself.
# Third run: a label set written beforehand (a key with only a second line, a key longer
# than its two lines) is opened, its faces and keys are shown, and it is saved untouched
# under a new name: the two files are the same byte for byte. Then more than two lines'
# worth is typed into keys: the file holds what fits, and the line after it stays.
# Fourth run: a label set whose faces name pictures that are gone is opened: each missing
# picture is told about once (警告), also when faces are shown or the file is opened again,
# and saving keeps the paths. Typing puts "＊" before the title; 終了 then asks (確認):
# キャンセル keeps the program and the text, いいえ ends it without saving anything.
# Fifth run: a label set whose face 3 names a file that is no picture is previewed: the
# error comes once, not again when the page is drawn anew at other zooms. Printing it
# (Ctrl+P, the print dialog's PDF file) asks first: the default answer prints nothing, はい
# prints the page with the face marked.
# Sixth run: two windows on one file. The second window opens offset from the first; it saves
# the file, the first shows the bar that tells of it when it comes to the front, and its own
# save then asks, キャンセル being the default: the file keeps the second window's change.
# Then a start hands a file over to a window whose key editor holds text being typed: the
# window asks 変更を保存しますか？ first, the typed text goes to the file it is saved to, and
# the handed-over file opens untouched. The start's activation id reaches the X server as a
# request to activate the window and the end of the start's startup notification.
# Seventh run: typing into an open key editor, then kill -9; the next start offers the copy
# (確認), はい brings the typing back with "＊" under the file's name, and saving it removes
# the copy. Typing and SIGTERM: the program writes the copy and ends with 143; いいえ at the
# next start removes the copy.
#
# Exit status 77 (a skip for CTest) when Xvfb or xdotool is not installed. On a failure a
# screenshot of the screen goes to OUTPUT_FOLDER/e2e-failure.png if ImageMagick is there.
set -uo pipefail

if [ "$#" -ne 4 ]; then
    echo "usage: $0 PROGRAM SHEET_TOOL LSAN_SUPPRESSIONS OUTPUT_FOLDER" >&2
    exit 2
fi
PROGRAM="$(realpath "$1")"
SHEET="$(realpath "$2")"
SUPPRESSIONS="$(realpath "$3")"
OUTPUT="$(realpath "$4")"

for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is not installed (scripts/deps.txt lists it; run scripts/test to install it)"
        exit 77
    fi
done

readonly TITLE="Stripwise２"
# The main window's client area, below the menu bar, is this tall (TfrmMain.h).
readonly CLIENT_HEIGHT=476
readonly CLIENT_WIDTH=756
# Centres of controls in the client area (MainWindowLayout.cpp): the face tabs at
# (258,26), the face area in them at (11,32), position 07 (row 2, column 1) at (39,162)
# sized 67x27; the name field at (96,59) sized 118x21 in the panel at (0,25).
readonly KEY07_X=$((258 + 11 + 39 + 33)) KEY07_Y=$((26 + 32 + 162 + 13))
readonly NAME_X=$((0 + 96 + 59)) NAME_Y=$((25 + 59 + 10))
# The face tabs 印刷面１ to ４ are about 66 pixels wide each at the program's font; points
# well inside them.
readonly TAB_Y=$((26 + 11))
tab_x() { echo $((258 + 33 + ($1 - 1) * 66)); }
# The centre of key position $1 (01 to 30): six to a row, row 1 at the bottom.
key_x() { echo $((258 + 11 + 39 + (10#$1 - 1) % 6 * 66 + 33)); }
key_y() {
    local tops=(0 207 162 117 72 26)
    echo $((26 + 32 + tops[(10#$1 - 1) / 6 + 1] + 13))
}
readonly KEY_TEXT="ABC"
readonly ENTRY_NAME="E2E Office"
# Where the window is moved before closing; the settings file must then hold it.
readonly MOVED_LEFT=40 MOVED_TOP=30

START=$(date +%s.%N)
WORK="$(mktemp -d "${TMPDIR:-/tmp}/stripwise2-e2e.XXXXXX")"
XVFB_PID=""
PIDS=()
DISPLAY_NUMBER=""
STEP="starting"

cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do
        kill -KILL "$pid" 2>/dev/null
    done
    if [ -n "$XVFB_PID" ]; then
        kill -TERM "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

elapsed() { echo "$(date +%s.%N) $START" | awk '{ printf "%.1f", $1 - $2 }'; }

xdo() { DISPLAY=":$DISPLAY_NUMBER" timeout 10 xdotool "$@"; }

list_windows() {
    local w
    for w in $(xdo search --onlyvisible --name '.' 2>/dev/null); do
        echo "  window $w \"$(xdo getwindowname "$w" 2>/dev/null)\" $(xdo getwindowgeometry "$w" 2>/dev/null | tr '\n' ' ')"
    done
    echo "  focus: $(xdo getwindowfocus 2>/dev/null)"
}

fail() {
    echo "FAILED at step '$STEP' after $(elapsed) s: $*" >&2
    if [ -n "$DISPLAY_NUMBER" ]; then
        echo "Visible windows:" >&2
        list_windows >&2
        if command -v import >/dev/null 2>&1; then
            DISPLAY=":$DISPLAY_NUMBER" timeout 10 import -window root "$OUTPUT/e2e-failure.png" 2>/dev/null &&
                echo "Screenshot: $OUTPUT/e2e-failure.png" >&2
        fi
    fi
    local log
    for log in "$WORK"/program-*.log "$WORK/xvfb.log"; do
        [ -s "$log" ] || continue
        echo "--- $(basename "$log") ---" >&2
        tail -n 60 "$log" >&2
    done
    exit 1
}

# An ended child stays a zombie until it is waited for.
process_ended() {
    local state
    state="$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1)"
    [ -z "$state" ] || [ "$state" = Z ]
}

# wait_for SECONDS WHAT COMMAND...: runs COMMAND every 0.1 s until it succeeds. Gives up
# early when the program being driven (RUNNING) has ended.
RUNNING=""
wait_for() {
    local seconds="$1" what="$2"
    shift 2
    local deadline=$(($(date +%s%N) + seconds * 1000000000))
    until "$@"; do
        [ "$(date +%s%N)" -lt "$deadline" ] || fail "no $what within $seconds s"
        if [ -n "$RUNNING" ] && process_ended "$RUNNING"; then
            wait "$RUNNING"
            fail "the program ended with status $? while waiting for $what"
        fi
        sleep 0.1
    done
}

# The id of the one visible window whose whole title is $1 (a regular expression).
FOUND=""
find_window() {
    local ids
    ids="$(xdo search --onlyvisible --name "^$1\$" 2>/dev/null)" || return 1
    [ "$(echo "$ids" | wc -l)" -eq 1 ] || return 1
    FOUND="$ids"
}
has_focus() { [ "$(xdo getwindowfocus 2>/dev/null)" = "$1" ]; }

# Waits for a window titled $1 and for the program to give it the keyboard; sets FOUND.
wait_for_window() {
    wait_for 30 "window titled \"$1\"" find_window "$1"
    wait_for 10 "keyboard focus on the window titled \"$1\"" has_focus "$FOUND"
}

# There is no window manager: the main window gets the keyboard as a window manager would
# give it, when the program starts and when one of its dialogs has closed (the program
# gives its dialogs the keyboard itself).
activate() {
    wait_for 10 "keyboard focus on window $1" eval "xdo windowfocus --sync $1 && has_focus $1"
}

# start_program NAME [ARGUMENT...]: starts the program in its working folder, in the
# background, with STARTUP_ID (when set) as its DESKTOP_STARTUP_ID; sets PID.
PID=""
start_program() {
    local log="$WORK/program-$1.log"
    (
        cd "$WORK/folder" || exit 1
        exec env -i PATH="$PATH" HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/runtime" \
            DISPLAY=":$DISPLAY_NUMBER" QT_QPA_PLATFORM=xcb LANG=C.UTF-8 \
            CUPS_SERVER="$WORK/no-cups-here" \
            ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:${ASAN_OPTIONS:-}" \
            LSAN_OPTIONS="${LSAN_OPTIONS:-}:suppressions=$SUPPRESSIONS:print_suppressions=0" \
            UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}" \
            ${STARTUP_ID:+DESKTOP_STARTUP_ID="$STARTUP_ID"} \
            "$PROGRAM" "${@:2}"
    ) >"$log" 2>&1 &
    PID=$!
    PIDS+=("$PID")
    RUNNING=$PID
}

# wait_for_exit PID SECONDS: fails unless the process ends with status 0 in time.
wait_for_exit() {
    local pid="$1" seconds="$2"
    RUNNING=""
    wait_for "$seconds" "end of process $pid" process_ended "$pid"
    wait "$pid"
    local status=$? kept=() p
    for p in "${PIDS[@]}"; do [ "$p" = "$pid" ] || kept+=("$p"); done
    PIDS=("${kept[@]}")
    [ "$status" -eq 0 ] || fail "process $pid ended with status $status"
}

# Where the client area of main window $1 starts on the screen: below the menu bar, at
# the window's bottom. click_at X Y [COUNT] clicks at (X, Y) of the client area.
CLIENT_LEFT=0 CLIENT_TOP=0
measure_client() {
    # shellcheck disable=SC2034  # set by the eval, not all read
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdo getwindowgeometry --shell "$1")" || fail "no geometry for window $1"
    [ "$WIDTH" -eq "$CLIENT_WIDTH" ] || fail "the main window is $WIDTH pixels wide, not $CLIENT_WIDTH"
    CLIENT_LEFT=$X
    CLIENT_TOP=$((Y + HEIGHT - CLIENT_HEIGHT))
}
click_at() { xdo mousemove --sync $((CLIENT_LEFT + $1)) $((CLIENT_TOP + $2)) click --repeat "${3:-1}" --delay 100 1; }

# File > item by its keyboard accelerator.
file_menu() { xdo key alt+f && xdo key "$1"; }

geometry_is() {
    # shellcheck disable=SC2034  # set by the eval, not all read
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdo getwindowgeometry --shell "$1")" && [ "$X" -eq "$2" ] && [ "$Y" -eq "$3" ]
}

# The value of KEY in [SECTION] of an INI file.
ini_value() {
    awk -v section="[$2]" -v key="$3" '
        { sub(/\r$/, "") }
        /^\[/ { inside = ($0 == section); next }
        inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
    ' "$1"
}

# write_label_set OUT [NAME=VALUE...]: a label set in this program's file layout (50
# entries of 4 faces of 30 keys, CR LF, CP932), every value at its reset value except what
# NAME=VALUE gives for management number 01: F<face>PICTURE (the face's picture file) and
# F<face>K<key>L<line> (a line of a key's text). The companion tool writes it again, so OUT
# is exactly what the program itself writes for such a label set.
write_label_set() {
    local out="$1"
    shift
    env "$@" awk 'BEGIN {
        ORS = "\r\n"
        for (e = 1; e <= 50; e++) {
            print ""; print 1
            for (f = 1; f <= 4; f++) {
                print (e == 1 ? ENVIRON["F" f "PICTURE"] : "")
                print 0; print 0; print 16777215
                for (k = 1; k <= 30; k++) {
                    print "taCenter"; print "tlCenter"
                    print (e == 1 ? ENVIRON["F" f "K" k "L1"] : "")
                    print (e == 1 ? ENVIRON["F" f "K" k "L2"] : "")
                    print 16777215; print 0; print "ＭＳ ゴシック"; print 0; print 9
                }
            }
        }
    }' | iconv -f UTF-8 -t CP932 >"$out.raw" || fail "could not write $out.raw"
    "$SHEET" resave "$out.raw" "$out" 2>"$out.err" && [ ! -s "$out.err" ] ||
        fail "stripwise2-sheet resave $out.raw: $(cat "$out.err")"
}

# The keys of management number 01, face $2, in the dump $1: one JSON object a line.
face_keys() {
    echo "$1" | grep -o '"keys":\[[^]]*\]' | sed -n "$2p" | grep -o '{[^}]*}'
}
# The text of line $3 (1 or 2) of key $2 in the key list $1.
key_line() {
    echo "$1" | sed -n "$2p" | sed 's/.*"line'"$3"'":"\([^"]*\)".*/\1/'
}

# File > 開く for the label set $1; waits for the message that ends the load. The
# program's own messages are answered with Return (OK).
open_file() {
    activate "$MAIN"
    file_menu o
    wait_for_window "開く"
    xdo type --delay 8 "$1"
    xdo key Return
}

# File > 名前を付けて保存 (or its key, when $2 is "ctrl+s") to the new file $1, then the
# message and the title naming it.
save_as() {
    activate "$MAIN"
    if [ "${2:-}" = ctrl+s ]; then xdo key ctrl+s; else file_menu a; fi
    wait_for_window "名前を付けて保存"
    xdo type --delay 8 "$1"
    xdo key Return
    wait_for_window "情報"
    xdo key Return
    wait_for 10 "title naming $(basename "$1")" find_window "$TITLE＜$(basename "$1")＞"
    [ -s "$1" ] || fail "$1 was not written"
}

# The window $1 is no longer shown.
window_closed() { ! xdo search --onlyvisible --name '.' 2>/dev/null | grep -qx "$1"; }

# Answers the program's message titled $1 with the key $2 and waits until it has closed.
# The keyboard is given to it: it may have come up over another message, which the program
# gave the keyboard to.
answer_message() {
    wait_for 30 "window titled \"$1\"" find_window "$1"
    local box="$FOUND"
    activate "$box"
    xdo key "$2"
    wait_for 10 "the window titled \"$1\" to close" window_closed "$box"
}

mkdir -p "$WORK/folder" "$WORK/home" "$WORK/runtime" "$WORK/saved" "$OUTPUT"
chmod 700 "$WORK/runtime"

STEP="starting Xvfb"
# -noreset: without it the server resets whenever its last client has gone, and a program
# started just after another ended may find no display to connect to.
( exec Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" ) &
XVFB_PID=$!
display_ready() { grep -q '^[0-9][0-9]*$' "$WORK/display" 2>/dev/null; }
wait_for 20 "display from Xvfb" display_ready
DISPLAY_NUMBER="$(cat "$WORK/display")"
echo "Xvfb on display :$DISPLAY_NUMBER"

# ---- First run: type a key and a name, save, quit --------------------------------------
STEP="first start"
start_program main
MAIN_PID=$PID
wait_for 30 "window titled \"$TITLE\"" find_window "$TITLE"
MAIN=$FOUND
activate "$MAIN"
measure_client "$MAIN"

STEP="checking the window class"
# The desktop entry's StartupWMClass names the program's windows, so that a dock shows them
# under its icon.
if command -v xprop >/dev/null 2>&1; then
    WANTED_CLASS="$(sed -n 's/^StartupWMClass=//p' "$(dirname "$0")/../../packaging/io.github.stripwise2.Stripwise2.desktop")"
    [ -n "$WANTED_CLASS" ] || fail "the desktop entry has no StartupWMClass"
    WM_CLASS="$(DISPLAY=":$DISPLAY_NUMBER" xprop -id "$MAIN" WM_CLASS)"
    echo "$WM_CLASS" | grep -q "\"$WANTED_CLASS\"" || fail "the window's class is not $WANTED_CLASS: $WM_CLASS"
fi

STEP="typing into position 07"
click_at "$KEY07_X" "$KEY07_Y" 2
xdo type --delay 50 "$KEY_TEXT"
xdo key Return

STEP="typing the management name"
click_at "$NAME_X" "$NAME_Y"
xdo type --delay 50 "$ENTRY_NAME"

STEP="saving with Ctrl+S"
SAVED="$WORK/saved/e2e.stw"
save_as "$SAVED" ctrl+s

STEP="moving the window"
xdo windowmove "$MAIN" "$MOVED_LEFT" "$MOVED_TOP"
wait_for 10 "window at $MOVED_LEFT,$MOVED_TOP" geometry_is "$MAIN" "$MOVED_LEFT" "$MOVED_TOP"

STEP="quitting"
activate "$MAIN"
file_menu x
wait_for_window "確認"
xdo key y
wait_for_exit "$MAIN_PID" 30

STEP="checking the saved file"
DUMP="$("$SHEET" dump "$SAVED")" || fail "stripwise2-sheet dump $SAVED failed"
# The dump lists entries, faces and keys in order; the first key object is key 1 of face 1
# of entry 1, and the first name is entry 1's.
FIRST_KEY="$(echo "$DUMP" | grep -o '"keys":\[{[^}]*}' | head -n 1)"
echo "$FIRST_KEY" | grep -q "\"line1\":\"$KEY_TEXT\",\"line2\":\"\"" ||
    fail "key 1 of entry 1 face 1 is not \"$KEY_TEXT\": $FIRST_KEY"
FIRST_NAME="$(echo "$DUMP" | grep -o '"name":"[^"]*"' | head -n 1)"
[ "$FIRST_NAME" = "\"name\":\"$ENTRY_NAME\"" ] || fail "entry 1 is named $FIRST_NAME, not \"$ENTRY_NAME\""
TEXTS="$(echo "$DUMP" | grep -o '"line[12]":"[^"]' | wc -l)"
[ "$TEXTS" -eq 1 ] || fail "$TEXTS key lines hold text; only key 1 was typed into"

STEP="checking the settings file"
# The working folder holds no settings file, so they go to the user's configuration folder.
INI="$WORK/home/.config/stripwise2/Stripwise2.ini"
[ -f "$INI" ] || fail "no Stripwise2.ini in \$HOME/.config/stripwise2"
[ ! -e "$WORK/folder/Stripwise2.ini" ] || fail "a Stripwise2.ini was written into the working folder"
if [ "$(ini_value "$INI" Main Left)" != "$MOVED_LEFT" ] || [ "$(ini_value "$INI" Main Top)" != "$MOVED_TOP" ]; then
    fail "Stripwise2.ini does not hold the window at $MOVED_LEFT,$MOVED_TOP: $(tr -s '\r\n' ' ' <"$INI")"
fi
echo "First run passed after $(elapsed) s"

# ---- Second run: one window for two starts ----------------------------------------------
STEP="starting twice"
start_program first
FIRST_PID=$PID
wait_for 30 "window titled \"$TITLE\"" find_window "$TITLE"
FIRST=$FOUND
activate "$FIRST"
# Qt's hidden client-leader window carries the application name as well; only shown
# windows count.
one_window() {
    local windows
    windows="$(xdo search --onlyvisible --name "^$TITLE\$" | wc -l)"
    [ "$windows" -eq 1 ] || fail "$windows windows are titled $TITLE after the second start"
}
start_program second
SECOND_PID=$PID
RUNNING=$FIRST_PID
# The second program must not show a window of its own at any time before it ends.
second_ended_alone() { one_window && process_ended "$SECOND_PID"; }
wait_for 30 "end of the second program" second_ended_alone
wait_for_exit "$SECOND_PID" 1
RUNNING=$FIRST_PID
one_window
process_ended "$FIRST_PID" && fail "the first program ended when the second started"

STEP="closing the first"
file_menu x
wait_for_window "確認"
xdo key y
wait_for_exit "$FIRST_PID" 30

echo "Second run passed after $(elapsed) s"

# ---- Third run: what is shown is kept; typing keeps what fits --------------------------
STEP="writing a label set with the companion tool"
# Key 1 (position 07) holds only a second line; key 2 (position 08) more than its two
# lines can show (the sheet check reports it), with 表 (0x95 0x5C) among its bytes; key 3
# (position 09) two short lines.
LONG_LINE1="営業部 第一課 受付窓口 代表番号"
LONG_LINE2="内線 1234 / 1235"
SHORT_LINE1="営業" SHORT_LINE2="内線 200"
ORIGINAL="$WORK/folder/original.stw"
write_label_set "$ORIGINAL" F1K1L2=ABC F1K2L1="$LONG_LINE1" F1K2L2="$LONG_LINE2" \
    F1K3L1="$SHORT_LINE1" F1K3L2="$SHORT_LINE2"
FINDINGS="$("$SHEET" check "$ORIGINAL")"
[ $? -eq 1 ] && echo "$FINDINGS" | grep -q 'キー02' || fail "the sheet check finds key 2 fitting its lines"

STEP="opening a label set"
start_program third
THIRD_PID=$PID
wait_for 30 "window titled \"$TITLE\"" find_window "$TITLE"
MAIN=$FOUND
activate "$MAIN"
measure_client "$MAIN"
open_file "$ORIGINAL"
wait_for_window "情報"
xdo key Return
wait_for 10 "title naming original.stw" find_window "$TITLE＜original.stw＞"

STEP="showing every face and the keys"
activate "$MAIN"
for face in 2 3 4 1; do
    click_at "$(tab_x $face)" "$TAB_Y"
done
# Position 07 selected; position 08 opened in its editor, which wraps it into more than
# two lines, and left without typing.
click_at "$(key_x 07)" "$(key_y 07)"
click_at "$(key_x 08)" "$(key_y 08)" 2
click_at "$NAME_X" "$NAME_Y"

STEP="saving the label set untouched"
UNTOUCHED="$WORK/saved/untouched.stw"
save_as "$UNTOUCHED"
cmp "$ORIGINAL" "$UNTOUCHED" >&2 || fail "opening, showing and saving changed the label set"

STEP="typing more than a key holds"
# Digits only: the editor breaks them anywhere, so its visual lines are pieces of them.
# Each editor opens with the caret before its text.
TYPED=1234567890123456789012345678901234567890
activate "$MAIN"
# Key 1 shows its lone line as its editor's first: the typing flows into two lines.
click_at "$(key_x 07)" "$(key_y 07)" 2
xdo type --delay 10 "$TYPED"
# On through key 2 untouched to key 3: typing fills its first line, and its second line
# stays.
xdo key Tab Tab
xdo type --delay 10 "$TYPED"
xdo key Tab
# Key 1 of face 4: shows that the tab clicks above reach their faces.
click_at "$(tab_x 4)" "$TAB_Y"
click_at "$(key_x 07)" "$(key_y 07)" 2
xdo type --delay 20 "FACE4"
xdo key Tab
TYPED_FILE="$WORK/saved/typed.stw"
save_as "$TYPED_FILE"

STEP="quitting after typing"
activate "$MAIN"
file_menu x
wait_for_window "確認"
xdo key y
wait_for_exit "$THIRD_PID" 30

STEP="checking what typing stored"
DUMP="$("$SHEET" dump "$TYPED_FILE")" || fail "stripwise2-sheet dump $TYPED_FILE failed"
KEYS="$(face_keys "$DUMP" 1)"
K1L1="$(key_line "$KEYS" 1 1)" K1L2="$(key_line "$KEYS" 1 2)"
K3L1="$(key_line "$KEYS" 3 1)" K3L2="$(key_line "$KEYS" 3 2)"
# typed_fits TEXT KEPT: TEXT is a part of $TYPED that is neither empty nor all of it,
# followed by KEPT.
typed_fits() {
    local part="${1%"$2"}"
    [ "$part$2" = "$1" ] && [ -n "$part" ] && [ "$part" != "$TYPED" ] && [[ $TYPED == "$part"* ]]
}
[ -n "$K1L1" ] && [ -n "$K1L2" ] && typed_fits "$K1L1$K1L2" ABC ||
    fail "key 1 holds \"$K1L1\" / \"$K1L2\", not two lines of what fits of $TYPED before ABC"
[ "$K3L2" = "$SHORT_LINE2" ] || fail "key 3's second line is \"$K3L2\", not \"$SHORT_LINE2\""
typed_fits "$K3L1" "$SHORT_LINE1" ||
    fail "key 3's first line is \"$K3L1\", not what fits of $TYPED before \"$SHORT_LINE1\""
# Nothing else changed: the saved file is the original with just these lines, byte for byte.
write_label_set "$WORK/expected.stw" F1K1L1="$K1L1" F1K1L2="$K1L2" F1K2L1="$LONG_LINE1" \
    F1K2L2="$LONG_LINE2" F1K3L1="$K3L1" F1K3L2="$SHORT_LINE2" F4K1L1=FACE4
cmp "$WORK/expected.stw" "$TYPED_FILE" >&2 || fail "typing changed more than the typed keys: $KEYS"
echo "Typing stored key 1 \"$K1L1\" / \"$K1L2\", key 3 \"$K3L1\" / \"$K3L2\""
echo "Third run passed after $(elapsed) s"

# ---- Fourth run: missing pictures are kept; unsaved changes are asked about -------------
STEP="writing a label set whose pictures are missing"
# Faces 1 and 2 name pictures in a folder that does not exist (a drive not mounted).
MISSING1="$WORK/gone/背景 1.jpg" MISSING2="$WORK/gone/背景 2.jpg"
PICTURES="$WORK/folder/pictures.stw"
write_label_set "$PICTURES" F1PICTURE="$MISSING1" F2PICTURE="$MISSING2"

STEP="opening a label set whose pictures are missing"
start_program fourth
FOURTH_PID=$PID
wait_for 30 "window titled \"$TITLE\"" find_window "$TITLE"
MAIN=$FOUND
activate "$MAIN"
measure_client "$MAIN"
open_file "$PICTURES"
# Face 1, shown by the load, tells about its picture while the load's message is up.
answer_message "警告" Return
answer_message "情報" Return
wait_for 10 "title naming pictures.stw" find_window "$TITLE＜pictures.stw＞"

STEP="showing the faces whose pictures are missing"
activate "$MAIN"
click_at "$(tab_x 2)" "$TAB_Y"
answer_message "警告" Return
# Each missing picture is told about once: faces shown again, and the same label set
# opened again, say nothing more.
activate "$MAIN"
click_at "$(tab_x 1)" "$TAB_Y"
click_at "$(tab_x 2)" "$TAB_Y"
click_at "$(tab_x 1)" "$TAB_Y"
open_file "$PICTURES"
answer_message "情報" Return
activate "$MAIN"
find_window "警告" && fail "a missing picture was told about a second time"

STEP="saving with missing pictures"
KEPT_PICTURES="$WORK/saved/pictures-kept.stw"
save_as "$KEPT_PICTURES"
cmp "$PICTURES" "$KEPT_PICTURES" >&2 || fail "saving changed a label set whose pictures are missing"
DUMP="$("$SHEET" dump "$KEPT_PICTURES")" || fail "stripwise2-sheet dump $KEPT_PICTURES failed"
PICTURE_FILES="$(echo "$DUMP" | grep -o '"pictureFile":"[^"]*"' | head -n 2 | tr '\n' ' ')"
[ "$PICTURE_FILES" = "\"pictureFile\":\"$MISSING1\" \"pictureFile\":\"$MISSING2\" " ] ||
    fail "the saved faces name the pictures $PICTURE_FILES"

STEP="typing marks the label set modified"
activate "$MAIN"
click_at "$(key_x 07)" "$(key_y 07)" 2
xdo type --delay 20 KEEP
xdo key Tab
wait_for 10 "title marked modified" find_window "＊$TITLE＜pictures-kept.stw＞"

STEP="quitting with unsaved changes, cancelled"
activate "$MAIN"
file_menu x
answer_message "確認" Escape
process_ended "$FOURTH_PID" && fail "the program ended although the question was cancelled"
find_window "＊$TITLE＜pictures-kept.stw＞" || fail "the title lost its modified mark"
# What was typed is still there: saving stores it, and nothing else, and clears the mark.
KEPT="$WORK/saved/kept.stw"
save_as "$KEPT"
write_label_set "$WORK/expected-kept.stw" F1PICTURE="$MISSING1" F2PICTURE="$MISSING2" F1K1L1=KEEP
cmp "$WORK/expected-kept.stw" "$KEPT" >&2 || fail "$KEPT is not the label set with KEEP in key 1"

STEP="quitting with unsaved changes, not saved"
cp "$KEPT" "$WORK/kept-before.stw"
activate "$MAIN"
click_at "$(key_x 08)" "$(key_y 08)" 2
xdo type --delay 20 DROP
xdo key Tab
wait_for 10 "title marked modified" find_window "＊$TITLE＜kept.stw＞"
file_menu x
# いいえ: the program ends at once, without the question it asks when nothing is unsaved.
answer_message "確認" n
wait_for_exit "$FOURTH_PID" 30
cmp "$WORK/kept-before.stw" "$KEPT" >&2 || fail "$KEPT changed although the changes were not to be saved"
UNWANTED="$(grep -rl DROP "$WORK/saved" "$WORK/folder")" && fail "the changes were saved: $UNWANTED"
echo "Fourth run passed after $(elapsed) s"

# ---- Fifth run: a broken picture marks its face; printing it asks first -----------------
# (No printer of this machine takes part: the program is told of no print server, so the
# print dialog offers its PDF file: print.pdf in the home folder, as the working folder is
# not inside it.)
STEP="writing a label set whose face 3 names a file that is no picture"
BROKEN="$WORK/folder/壊れた写真.jpg"
printf 'not a picture\n' >"$BROKEN"
MARKED="$WORK/folder/marked.stw"
PRINTED="$WORK/home/print.pdf"
write_label_set "$MARKED" F3PICTURE="$BROKEN" F1K1L1=ONE

STEP="opening a label set with a broken picture"
start_program fifth
FIFTH_PID=$PID
wait_for 30 "window titled \"$TITLE\"" find_window "$TITLE"
MAIN=$FOUND
activate "$MAIN"
measure_client "$MAIN"
open_file "$MARKED"
answer_message "情報" Return
wait_for 10 "title naming marked.stw" find_window "$TITLE＜marked.stw＞"

STEP="previewing a sheet with a broken picture"
activate "$MAIN"
file_menu v
answer_message "エラー" Return
wait_for 10 "the preview" find_window "印刷プレビュー"
PREVIEW=$FOUND
# The zoom buttons (client 108,20 and 133,20): the page is drawn anew at 125 % and at 100 %.
eval "$(xdo getwindowgeometry --shell "$PREVIEW")" || fail "no geometry for the preview"
xdo mousemove --sync $((X + 108)) $((Y + 20)) click 1
sleep 1
xdo mousemove --sync $((X + 133)) $((Y + 20)) click 1
sleep 2
find_window "エラー" && fail "the broken picture was told about a second time"
activate "$PREVIEW"
xdo key alt+c
wait_for 10 "the preview to close" window_closed "$PREVIEW"

STEP="printing a sheet with a broken picture, declined"
activate "$MAIN"
xdo key ctrl+p
wait_for_window "印刷"
xdo key Return
# 印刷面３の背景画像を読み込めません … ×印を付けて印刷しますか？ — いいえ is the default.
answer_message "確認" Return
sleep 1
[ -e "$PRINTED" ] && fail "the page was printed although the question was answered いいえ"

STEP="printing a sheet with a broken picture, agreed"
activate "$MAIN"
xdo key ctrl+p
wait_for_window "印刷"
xdo key Return
answer_message "確認" y
# The file is there before it is complete: it ends with %%EOF once written.
printed_whole() { [ -s "$PRINTED" ] && tail -c 32 "$PRINTED" | grep -q '%%EOF'; }
wait_for 30 "the printed file" printed_whole
if command -v pdfinfo >/dev/null; then
    PAGES="$(pdfinfo "$PRINTED" | awk '/^Pages:/ { print $2 }')"
    [ "$PAGES" = 1 ] || fail "the printed file has ${PAGES:-no} pages, not 1"
fi

STEP="quitting after printing"
activate "$MAIN"
file_menu x
answer_message "確認" y
wait_for_exit "$FIFTH_PID" 30
echo "Fifth run passed after $(elapsed) s"

# ---- Sixth run: two windows on one file; a file handed over while typing ---------------
# With no window manager nothing raises a window that gets the keyboard; the clicks of this
# run go to the window brought up here.
to_front() { xdo windowraise "$1" && activate "$1"; }
# geometry_of WINDOW: sets X, Y, WIDTH and HEIGHT of the window.
geometry_of() { eval "$(xdo getwindowgeometry --shell "$1")" || fail "no geometry for window $1"; }
# The key lines of management number 01, face 1, key 1 and 2 in the label set $1.
first_keys() {
    local keys
    keys="$(face_keys "$("$SHEET" dump "$1")" 1)" || fail "stripwise2-sheet dump $1 failed"
    echo "$(key_line "$keys" 1 1)/$(key_line "$keys" 2 1)"
}

STEP="a first window on a shared label set"
SHARED="$WORK/folder/shared.stw"
write_label_set "$SHARED" F1K1L1=START
start_program sixth-first
FIRST_PID=$PID
wait_for 30 "window titled \"$TITLE\"" find_window "$TITLE"
FIRST=$FOUND MAIN=$FOUND
activate "$MAIN"
open_file "$SHARED"
answer_message "情報" Return
wait_for 10 "title naming shared.stw" find_window "$TITLE＜shared.stw＞"

STEP="a second window, for another label set"
# The first shows a file: this start opens a window of its own, a title bar further on.
start_program sixth-second
SECOND_PID=$PID
wait_for 30 "a second window titled \"$TITLE\"" find_window "$TITLE"
SECOND=$FOUND MAIN=$FOUND
geometry_of "$FIRST"
FIRST_X=$X FIRST_Y=$Y FIRST_HEIGHT=$HEIGHT
geometry_of "$SECOND"
[ "$X" -gt "$FIRST_X" ] && [ $((X - FIRST_X)) -eq $((Y - FIRST_Y)) ] ||
    fail "the second window at $X,$Y is not offset down and right from the first at $FIRST_X,$FIRST_Y"

STEP="the second window saves over the shared file"
to_front "$SECOND"
measure_client "$SECOND"
click_at "$(key_x 07)" "$(key_y 07)" 2
xdo type --delay 20 THEIRS
xdo key Tab
file_menu a
wait_for_window "名前を付けて保存"
xdo type --delay 8 "$SHARED"
xdo key Return
answer_message "確認" Return  # 既にファイルが存在します。上書きしますか？ OK
answer_message "情報" Return
[ "$(first_keys "$SHARED")" = "THEIRS/" ] || fail "the second window's save holds $(first_keys "$SHARED")"

STEP="the first window tells of the change when it comes to the front"
to_front "$FIRST"
bar_shown() { geometry_of "$FIRST" && [ "$HEIGHT" -eq $((FIRST_HEIGHT + 30)) ]; }
wait_for 10 "the bar about the changed file in the first window" bar_shown
find_window "確認" && fail "the change on disk was told in a message box"

STEP="the first window's save asks and keeps the other change"
MAIN=$FIRST
measure_client "$FIRST"  # below the bar
click_at "$(key_x 08)" "$(key_y 08)" 2
xdo type --delay 20 MINE
xdo key Tab
file_menu a
wait_for_window "名前を付けて保存"
xdo type --delay 8 "$SHARED"
xdo key Return
answer_message "確認" Return  # …上書きすると、その変更は失われます。上書きしますか？ キャンセル
sleep 1
find_window "情報" && fail "the first window saved over the second window's change"
[ "$(first_keys "$SHARED")" = "THEIRS/" ] || fail "the shared file holds $(first_keys "$SHARED"), not the other change"

STEP="closing the second window"
to_front "$SECOND"
file_menu x
answer_message "確認" y
wait_for_exit "$SECOND_PID" 30

STEP="typing in a window with the plain title"
NEXT="$WORK/folder/next.stw"
write_label_set "$NEXT" F1K1L1=NEXT
cp "$NEXT" "$WORK/next-before.stw"
RUNNING=$FIRST_PID
start_program sixth-third
THIRD_PID=$PID
wait_for 30 "window titled \"$TITLE\"" find_window "$TITLE"
THIRD=$FOUND MAIN=$FOUND
to_front "$THIRD"
measure_client "$THIRD"
click_at "$(key_x 07)" "$(key_y 07)" 2
xdo type --delay 20 TYPING
# The editor still holds the text: the title stays plain, and the window takes the hand-over.

STEP="a start hands a file over while the key is being typed"
# What reaches the root window, where both go (xev is in x11-utils).
( DISPLAY=":$DISPLAY_NUMBER" exec timeout 60 stdbuf -oL xev -root -event property -event substructure ) \
    >"$WORK/xev.log" 2>&1 &
XEV_PID=$!
PIDS+=("$XEV_PID")
sleep 1
STARTUP_ID="e2e-hand-over_TIME4242" start_program sixth-fourth "$NEXT"
FOURTH_PID=$PID
RUNNING=$THIRD_PID
answer_message "確認" y  # 変更を保存しますか？ はい
wait_for_window "名前を付けて保存"
TYPED_SAVED="$WORK/saved/typing.stw"
xdo type --delay 8 "$TYPED_SAVED"
xdo key Return
answer_message "情報" Return
wait_for_exit "$FOURTH_PID" 30
RUNNING=$THIRD_PID
wait_for 10 "title naming next.stw, unmodified" find_window "$TITLE＜next.stw＞"
[ "$(first_keys "$TYPED_SAVED")" = "TYPING/" ] || fail "the typing was saved as $(first_keys "$TYPED_SAVED")"
cmp "$WORK/next-before.stw" "$NEXT" >&2 || fail "the handed-over file changed"
THIRD_HEX="$(printf '0x%x' "$THIRD")"
sent_for_third() { grep -A1 "window $THIRD_HEX," "$WORK/xev.log" | grep -q "($1)"; }
for message in _NET_ACTIVE_WINDOW _NET_STARTUP_INFO_BEGIN; do
    wait_for 10 "$message for window $THIRD_HEX on the root window" sent_for_third "$message"
done
kill "$XEV_PID" 2>/dev/null

STEP="quitting the two windows"
to_front "$THIRD"
file_menu x
answer_message "確認" y
wait_for_exit "$THIRD_PID" 30
to_front "$FIRST"
file_menu x
answer_message "確認" n  # 変更を保存しますか？ いいえ: MINE is dropped
wait_for_exit "$FIRST_PID" 30
[ "$(first_keys "$SHARED")" = "THEIRS/" ] || fail "quitting changed the shared file"
echo "Sixth run passed after $(elapsed) s"

# ---- Seventh run: killed after typing, offered back at the next start ----------------------
STATE="$WORK/home/.local/state/stripwise2"
copies() { find "$STATE" -maxdepth 1 -name 'window-*.recovery' 2>/dev/null; }
# The status of program $1, which has been told to end (or was killed).
ended_with() {
    local kept=() p
    RUNNING=""
    wait_for 30 "end of process $1" process_ended "$1"
    wait "$1"
    ENDED_WITH=$?
    for p in "${PIDS[@]}"; do [ "$p" = "$1" ] || kept+=("$p"); done
    PIDS=("${kept[@]}")
}
# Types $2 into key position $1 and leaves it in the editor, waits $3 s, ends program $5 with
# signal $4 and checks that it left one recovery copy.
kill_while_typing() {
    activate "$MAIN"
    click_at "$(key_x "$1")" "$(key_y "$1")" 2
    xdo type --delay 50 "$2"
    sleep "$3"
    kill "-$4" "$5"
    ended_with "$5"
    [ "$(copies | wc -l)" -eq 1 ] || fail "SIG$4 left $(copies | wc -l) recovery copies in $STATE"
}

STEP="typing, then kill -9"
SURVIVOR="$WORK/folder/survivor.stw"
write_label_set "$SURVIVOR" F1K1L1=KEEP
cp "$SURVIVOR" "$WORK/survivor-before.stw"
start_program seventh-killed
SIXTH_PID=$PID
wait_for 30 "window titled \"$TITLE\"" find_window "$TITLE"
MAIN=$FOUND
activate "$MAIN"
measure_client "$MAIN"
open_file "$SURVIVOR"
answer_message "情報" Return
wait_for 10 "title naming survivor.stw" find_window "$TITLE＜survivor.stw＞"
# Key 2 is typed into and left open: what its editor holds is in no file and not yet stored.
kill_while_typing 08 KILLED 2.5 KILL "$SIXTH_PID"

STEP="restoring at the next start"
start_program seventh-restored
SEVENTH_PID=$PID
# 保存されていない変更が見つかりました（survivor.stw、DATE）。復元しますか？ — はい is the default.
answer_message "確認" Return
wait_for 10 "the restored label set, modified, under its file's name" find_window "＊$TITLE＜survivor.stw＞"
MAIN=$FOUND
RESTORED="$WORK/saved/restored.stw"
save_as "$RESTORED"
[ "$(copies | wc -l)" -eq 0 ] || fail "the recovery copy is still there after the save"
write_label_set "$WORK/expected-restored.stw" F1K1L1=KEEP F1K2L1=KILLED
cmp "$WORK/expected-restored.stw" "$RESTORED" >&2 || fail "the restored label set is not survivor.stw with KILLED in key 2"
cmp "$WORK/survivor-before.stw" "$SURVIVOR" >&2 || fail "survivor.stw changed although it was never saved"

STEP="typing, then SIGTERM"
# At once: the signal, not the periodic copy, writes it.
kill_while_typing 09 TERM 0 TERM "$SEVENTH_PID"
[ "$ENDED_WITH" -eq 143 ] || fail "the program ended with status $ENDED_WITH on SIGTERM, not 143"

STEP="declining the copy at the next start"
start_program seventh-declined
EIGHTH_PID=$PID
answer_message "確認" n
wait_for 10 "the plain title" find_window "$TITLE"
MAIN=$FOUND
[ "$(copies | wc -l)" -eq 0 ] || fail "the recovery copy is still there after いいえ"
activate "$MAIN"
file_menu x
answer_message "確認" y
wait_for_exit "$EIGHTH_PID" 30
echo "Seventh run passed after $(elapsed) s"

echo "Passed in $(elapsed) s"
