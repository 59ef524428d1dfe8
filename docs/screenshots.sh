#!/usr/bin/env bash
# Makes the pictures of the user guide (docs/guide/images/*.png) from the real program:
# starts build*/stripwise2 on a private Xvfb screen with a generated sample label set,
# drives it with xdotool and saves each window with ImageMagick's import; the main window
# is shot a second time under a dark palette (qt6ct).
# usage: docs/screenshots.sh [BUILD_DIR]   (default: build-test, else build)
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-}"
if [ -z "$BUILD" ]; then
    for candidate in "$ROOT/build-test" "$ROOT/build"; do
        [ -f "$candidate/CMakeCache.txt" ] && { BUILD="$candidate"; break; }
    done
fi
[ -n "$BUILD" ] && [ -f "$BUILD/CMakeCache.txt" ] || {
    echo "screenshots.sh: no configured build folder (run scripts/run or scripts/test first)" >&2
    exit 1
}
BUILD="$(cd "$BUILD" && pwd)"
OUT="$ROOT/docs/guide/images"
FONT=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is not installed" >&2; exit 1; }
done

cmake --build "$BUILD" --target stripwise2 stripwise2-sheet makeguidesample >/dev/null
export ASAN_OPTIONS="detect_leaks=0:${ASAN_OPTIONS:-}"

WORK="$(mktemp -d)"
XVFB_PID=""
PROGRAM_PID=""
cleanup() {
    [ -n "$PROGRAM_PID" ] && kill "$PROGRAM_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

# The sample label set and its background pictures, in a folder of their own.
QT_QPA_PLATFORM=offscreen "$BUILD/docs/makeguidesample" "$WORK/sample" >/dev/null
SAMPLE="$WORK/sample/本社.stw"

# The printed sheet, drawn by the companion tool, with the parts named.
(
    cd "$WORK"
    "$BUILD/src/tools/stripwise2-sheet" render "$SAMPLE" --dpi 80 --sayu 0 --jyoge 0 -o sheet-raw.png
)
px() { awk -v mm="$1" 'BEGIN { printf "%d", mm * 80 / 25.4 + 0.5 }'; }
convert "$WORK/sheet-raw.png" -bordercolor '#888888' -border 1 \
    -font "$FONT" -pointsize 13 -fill '#c00000' \
    -annotate +"$(px 42)"+"$(px 40.5)" '← 管理番号と管理名称' \
    -annotate +"$(px 221)"+"$(px 26.5)" '十字マーク →' \
    -annotate +"$(px 18)"+"$(px 60)" '印刷面１' \
    -annotate +"$(px 18)"+"$(px 131)" '印刷面２' \
    -annotate +"$(px 141.75)"+"$(px 60)" '印刷面３' \
    -annotate +"$(px 141.75)"+"$(px 131)" '印刷面４' \
    -strip "$OUT/sheet.png"

# The calibration sheet of the test print, as the companion tool draws it.
(
    cd "$WORK"
    "$BUILD/src/tools/stripwise2-sheet" calibrate --dpi 80 --sayu 0 --jyoge 0 -o calibration-raw.png
)
convert "$WORK/calibration-raw.png" -bordercolor '#888888' -border 1 -strip "$OUT/calibration.png"

# A close-up of the comb at face 1's left edge, magnified, with the label paper under the sheet
# drawn in blue: its edge lies 0.4 mm right of where the sheet expects it, on the line "+4".
(
    cd "$WORK"
    "$BUILD/src/tools/stripwise2-sheet" calibrate --dpi 600 --sayu 0 --jyoge 0 -o calibration-600.png
)
px600() { awk -v mm="$1" 'BEGIN { printf "%d", mm * 600 / 25.4 + 0.5 }'; }
convert "$WORK/calibration-600.png" -fill 'rgba(90,140,200,0.30)' -stroke none \
    -draw "rectangle $(px600 15.45),0 $(px600 297),$(px600 210)" \
    -crop "$(px600 12)x$(px600 18)+$(px600 12.5)+$(px600 80)" +repage -filter point -resize 200% \
    -bordercolor '#888888' -border 1 -strip "$OUT/calibration-comb.png"

# A screen of our own; -displayfd picks a free display number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" 2>/dev/null &
XVFB_PID=$!
for _ in $(seq 50); do [ -s "$WORK/display" ] && break; sleep 0.1; done
[ -s "$WORK/display" ] || { echo "screenshots.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$WORK/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# waits for a visible window whose title matches the pattern; prints its id
wait_window() {
    local id=""
    for _ in $(seq 100); do
        id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
# waits until no visible window matches the pattern
wait_gone() {
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    die "the window $1 did not close"
}
die() { echo "screenshots.sh: $*" >&2; exit 1; }
settle() { sleep "${1:-0.6}"; }
# A window is saved with a thin frame: without a window manager it has none of its own.
shoot() {
    import -window "$1" "$WORK/shot.png" &&
        convert "$WORK/shot.png" -bordercolor '#8a96a3' -border 1 -strip "$OUT/$2"
}
key() { xdotool key --clearmodifiers "$@"; }

# The main window's client area (756 x 476) lies below its menu bar.
MAIN_X=0
MAIN_Y=0
CLIENT_TOP=0
locate_main() {
    local geometry
    geometry="$(xdotool getwindowgeometry --shell "$MAIN")"
    MAIN_X="$(sed -n 's/^X=//p' <<<"$geometry")"
    MAIN_Y="$(sed -n 's/^Y=//p' <<<"$geometry")"
    CLIENT_TOP=$(( $(sed -n 's/^HEIGHT=//p' <<<"$geometry") - 476 ))
}
# click_client X Y [COUNT]: clicks at client coordinates of the main window
click_client() {
    xdotool mousemove "$((MAIN_X + $1))" "$((MAIN_Y + CLIENT_TOP + $2))"
    xdotool click --repeat "${3:-1}" --delay 120 1
}
rest_mouse() { xdotool mousemove "$((MAIN_X + 700))" "$((MAIN_Y + CLIENT_TOP + 470))"; }

# A fresh working folder with an empty Stripwise2.ini (settings kept there, not in the
# user's ~/.config), so every window opens centred.
mkdir "$WORK/run"
: >"$WORK/run/Stripwise2.ini"

# start_with_sample LOG [VARIABLE=VALUE...]: starts the program in the working folder with
# the variables given and opens the sample through ファイル → 開く; sets MAIN.
start_with_sample() {
    local log="$1"
    shift
    (cd "$WORK/run" && exec env "$@" "$BUILD/src/app/stripwise2") >"$log" 2>&1 &
    PROGRAM_PID=$!
    MAIN="$(wait_window '^Stripwise２$')" || die "the main window did not show: $(cat "$log")"
    settle 1
    xdotool windowfocus --sync "$MAIN"
    locate_main
    key alt+f
    settle
    key o
    wait_window '^開く$' >/dev/null || die "ファイル → 開く showed no file dialog"
    settle
    xdotool type --delay 20 "$SAMPLE"
    key Return
    wait_gone '^開く$'
    wait_window '^情報$' >/dev/null || die "the sample did not load: $(cat "$log")"
    settle
    key Return
    wait_gone '^情報$'
    MAIN="$(wait_window '^Stripwise２＜')" || die "the title shows no file name after loading"
    xdotool windowfocus --sync "$MAIN"
    locate_main
    rest_mouse
    settle 1
}

start_with_sample "$WORK/program.log" ASAN_OPTIONS="$ASAN_OPTIONS"
shoot "$MAIN" main.png

# The tool bar, enlarged so that its icons can be told apart on paper and cut into two
# rows (buttons 1 to 12, then 13 to 26), each button numbered from the left. Buttons are
# 25 pixels wide, with an 8-pixel gap after the 6th, 12th and 18th.
toolbar_row() {  # FIRST LAST LEFT WIDTH OUT
    local numbers=() x=0 n
    for n in $(seq "$1" "$2"); do
        numbers+=(-annotate "+$(( (x * 2) + (n < 10 ? 20 : 15) ))+54" "$n")
        x=$((x + 25))
        case "$n" in 6 | 18) x=$((x + 8)) ;; esac
    done
    convert "$OUT/main.png" -crop "${4}x25+$(($3 + 1))+$((CLIENT_TOP + 1))" +repage -filter point -resize 200% \
        -background white -gravity north -extent "$(($4 * 2))x76" -gravity northwest \
        -font "$FONT" -pointsize 16 -fill '#c00000' "${numbers[@]}" "$5"
}
toolbar_row 1 12 0 308 "$WORK/toolbar-1.png"
toolbar_row 13 26 316 440 "$WORK/toolbar-2.png"
convert "$WORK/toolbar-1.png" "$WORK/toolbar-2.png" -background white -gravity northwest \
    -append -strip "$OUT/toolbar.png"

SKIPPED=()
skip() {
    echo "screenshots.sh: $1 not made: $2; the guide keeps the one it has" >&2
    SKIPPED+=("$1")
}
# Closes a dialog with the Alt key of its キャンセル(&C) or 閉じる(&C) button.
close_with_alt_c() {
    key alt+c
    wait_gone "$1"
    xdotool windowfocus --sync "$MAIN"
}

# フォント選択
click_client 70 215
if FONT_DIALOG="$(wait_window '^フォント$')"; then
    settle
    shoot "$FONT_DIALOG" font.png
    key Escape
    wait_gone '^フォント$'
    xdotool windowfocus --sync "$MAIN"
else
    skip font.png "フォント選択 opened no window"
fi

# 管理番号一覧登録
click_client 129 41
if NAISEN="$(wait_window '^管理番号一覧登録$')"; then
    settle
    shoot "$NAISEN" naisen.png
    close_with_alt_c '^管理番号一覧登録$'
else
    skip naisen.png "管理番号一覧登録 opened no window"
fi

# 管理番号選択
click_client 187 68
if ICHIRAN="$(wait_window '^管理番号選択$')"; then
    settle
    shoot "$ICHIRAN" ichiran.png
    close_with_alt_c '^管理番号選択$'
else
    skip ichiran.png "管理番号選択 opened no window"
fi

# ファイル → 印刷の微調整(&I): the dialog titled 印刷設定
key alt+f
settle
key i
if SETTEI="$(wait_window '^印刷設定$')"; then
    settle
    shoot "$SETTEI" settei.png
    close_with_alt_c '^印刷設定$'
else
    skip settei.png "印刷の微調整 opened no window"
fi

# 印刷プレビュー: the fifth tool button
click_client 112 12
if PREVIEW="$(wait_window '^印刷プレビュー$')"; then
    settle 1.5
    # Zoomed out twice to 50 %, so that the whole sheet shows.
    geometry="$(xdotool getwindowgeometry --shell "$PREVIEW")"
    zoom_x=$(( $(sed -n 's/^X=//p' <<<"$geometry") + 133 ))
    zoom_y=$(( $(sed -n 's/^Y=//p' <<<"$geometry") + 20 ))
    xdotool mousemove "$zoom_x" "$zoom_y" click 1
    settle
    xdotool mousemove "$zoom_x" "$zoom_y" click 1
    settle
    xdotool mousemove "$((zoom_x + 400))" "$((zoom_y + 500))"
    settle 1
    shoot "$PREVIEW" preview.png
    close_with_alt_c '^印刷プレビュー$'
else
    skip preview.png "印刷プレビュー opened no window"
fi

# ファイル → CSV から読み込み…: the change list of a list the sample was exported to and a
# spreadsheet saved again: one key edited, one filled in, and a phone number that lost its
# leading zero. The list is read, then キャンセル changes nothing.
"$BUILD/src/tools/stripwise2-sheet" export "$SAMPLE" -o "$WORK/内線.csv"
sed -i -e 's/^01,1,13,総務部,/01,1,13,総務課,/' -e 's/^01,1,16,,\r$/01,1,16,倉庫,\r/' \
    -e 's/^01,2,05,代表,0312345678/01,2,05,代表,312345678/' "$WORK/内線.csv"
key alt+f
settle
key Down Down Down Return
# The file dialog and the change list share their title: the list is the window that shows
# after the dialog has gone.
# Reading and measuring the list takes a while in a sanitised build: up to 30 s for each.
gone_id() {
    for _ in $(seq 300); do
        xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -qx "$2" || return 0
        sleep 0.1
    done
    return 1
}
change_list() {
    local id
    for _ in $(seq 300); do
        id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -vx "$2" | head -n 1 || true)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
if CSV_DIALOG="$(wait_window '^CSV から読み込み$')"; then
    settle
    xdotool type --delay 20 "$WORK/内線.csv"
    key Return
    if gone_id '^CSV から読み込み$' "$CSV_DIALOG" && CHANGES="$(change_list '^CSV から読み込み$' "$CSV_DIALOG")"; then
        settle
        shoot "$CHANGES" keychanges.png
        key Escape
        wait_gone '^CSV から読み込み$'
    else
        skip keychanges.png "reading the list showed no change list"
    fi
    xdotool windowfocus --sync "$MAIN"
else
    skip keychanges.png "ファイル → CSV から読み込み… opened no file dialog"
fi

# Typing into a key: position 22 (key 16 of the 18-key strip), row 4, column 4. Last,
# since without a key editor the typing lands in another field. The face area is compared
# before and after, so that a key editor that did not open makes no picture.
face_crop() { convert "$1" -crop "500x330+257+$((CLIENT_TOP + 25))" +repage -strip "$2"; }
click_client 539 143 2
settle
import -window "$MAIN" "$WORK/before.png"
xdotool type --delay 60 "倉庫"
settle
rest_mouse
settle
import -window "$MAIN" "$WORK/after.png"
face_crop "$WORK/before.png" "$WORK/face-before.png"
face_crop "$WORK/after.png" "$WORK/face-after.png"
if [ "$(compare -metric AE "$WORK/face-before.png" "$WORK/face-after.png" null: 2>&1 || true)" != 0 ]; then
    convert "$WORK/face-after.png" -bordercolor '#8a96a3' -border 1 -strip "$OUT/editing.png"
else
    skip editing.png "typing on a double-clicked key changed nothing"
fi
key Tab

# The main window once more under a dark desktop palette: qt6ct's "darker" colours, as a
# desktop with a dark theme hands them to Qt programs.
DARK_COLORS=/usr/share/qt6ct/colors/darker.conf
if [ -f "$DARK_COLORS" ] && [ -n "$(find /usr/lib -path '*/qt6/plugins/platformthemes/libqt6ct.so' -print -quit)" ]; then
    kill "$PROGRAM_PID" 2>/dev/null || true
    wait "$PROGRAM_PID" 2>/dev/null || true
    PROGRAM_PID=""
    wait_gone '^Stripwise２'
    mkdir -p "$WORK/config/qt6ct"
    printf '[Appearance]\ncolor_scheme_path=%s\ncustom_palette=true\nstyle=Fusion\n' "$DARK_COLORS" \
        >"$WORK/config/qt6ct/qt6ct.conf"
    start_with_sample "$WORK/program-dark.log" ASAN_OPTIONS="$ASAN_OPTIONS" \
        XDG_CONFIG_HOME="$WORK/config" QT_QPA_PLATFORMTHEME=qt6ct
    shoot "$MAIN" main-dark.png
else
    skip main-dark.png "qt6ct is not installed"
fi

ls -l "$OUT"
[ "${#SKIPPED[@]}" -eq 0 ] || echo "not made: ${SKIPPED[*]}" >&2
