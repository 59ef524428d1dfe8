#!/usr/bin/env bash
# Installs a built tree into a temporary prefix and checks, with that prefix's MIME and
# desktop data first in XDG_DATA_DIRS, that a *.stw file is a Stripwise 2 label set (not the
# word processor's template the system's MIME data also names *.stw) and that the desktop
# entry is the program that opens it; then starts the installed program from a folder it
# cannot write to and checks where its settings go and that it finds its guide. Exits 77 (skipped) when the desktop tools are missing.
# usage: check-install.sh BUILD_DIR [CMAKE]
set -euo pipefail
build="$1"
cmake="${2:-cmake}"
type=application/x-stripwise2-labelset
app=io.github.stripwise2.Stripwise2

for tool in update-mime-database update-desktop-database xdg-mime gio; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is not installed: skipped"
        exit 77
    fi
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

prefix="$work/prefix"
if ! "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    echo "FAIL: cmake --install did not finish" >&2
    exit 1
fi
[ -f "$prefix/share/mime/packages/stripwise2.xml" ] || fail "no share/mime/packages/stripwise2.xml installed"
[ -f "$prefix/share/applications/$app.desktop" ] || fail "no desktop entry installed"
XDG_DATA_DIRS="$prefix/share:${SYSTEM_XDG_DATA_DIRS:-/usr/share}" update-mime-database "$prefix/share/mime"
update-desktop-database "$prefix/share/applications"

# The first lines of a label set: a management name in Shift-JIS, then numbers, CR LF.
mkdir "$work/files"
printf '\x96\x7b\x8e\xd0\r\n0\r\n\r\n0\r\n0\r\n16777215\r\n' >"$work/files/x.stw"

# Nothing of the user's own desktop set-up may take part.
export XDG_DATA_HOME="$work/data-home" XDG_CONFIG_HOME="$work/config-home"
export XDG_CONFIG_DIRS="$work/config-dirs"
unset DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
system_dirs="${SYSTEM_XDG_DATA_DIRS:-/usr/share}"

# File managers decide with GIO (the GNOME, Xfce, MATE, Cinnamon and LXDE route of
# xdg-mime), which follows the glob weights of the MIME data. (xdg-mime's generic route,
# perl's File::MimeInfo, ignores weights and lets the system's glob win.)
query() { (cd "$work/files" && XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype x.stw); }
got="$(XDG_DATA_DIRS="$prefix/share:$system_dirs" query || true)"
[ "$got" = "$type" ] || fail "xdg-mime query filetype x.stw gives '$got' with the installed MIME data, not $type"
# Without the installed data the file is something else: the check above tells them apart.
# (Unless the package itself is installed on this system: then its data is there as well.)
without="$(XDG_DATA_DIRS="$system_dirs" query || true)"
system_has_type=no
for dir in ${system_dirs//:/ }; do
    [ -f "$dir/mime/packages/stripwise2.xml" ] && system_has_type=yes
done
if [ "$system_has_type" = no ]; then
    [ "$without" != "$type" ] || fail "x.stw is $type even without the installed MIME data"
else
    without="$without, from the package installed on this system"
fi

default="$(XDG_DATA_DIRS="$prefix/share:$system_dirs" XDG_CURRENT_DESKTOP='' xdg-mime query default "$type" || true)"
[ "$default" = "$app.desktop" ] || fail "the program that opens $type is '$default', not $app.desktop"

# ---- The installed program, started from a folder it cannot write to ----------------------
# It keeps its settings in the XDG configuration folder and finds the installed guide (F1
# hands it to a stand-in xdg-open that notes what it was given). Needs Xvfb and xdotool.
program_checked="not run (Xvfb or xdotool missing)"
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
    guide_dir="$prefix/share/stripwise2"
    guide="$guide_dir/Stripwise2ヘルプガイド.pdf"
    # A build without the guide installs none: a stand-in takes its place.
    [ -f "$guide" ] || { mkdir -p "$guide_dir" && printf '%%PDF-1.4\n' >"$guide"; }
    mkdir -p "$work/bin" "$work/runtime"
    chmod 700 "$work/runtime"
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$work/opened" >"$work/bin/xdg-open"
    chmod +x "$work/bin/xdg-open"
    ( exec Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" ) &
    xvfb=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    display=":$(cat "$work/display")"
    xdo() { DISPLAY="$display" timeout 10 xdotool "$@"; }
    # /proc takes no new files, not even from root.
    ( cd /proc && DISPLAY="$display" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" \
        PATH="$work/bin:$PATH" ASAN_OPTIONS=detect_leaks=0 exec "$prefix/bin/stripwise2" ) \
        >"$work/program.log" 2>&1 &
    program=$!
    window=""
    for _ in $(seq 300); do
        window="$(xdo search --onlyvisible --name '^Stripwise２$' 2>/dev/null | head -n 1 || true)"
        [ -n "$window" ] && break
        sleep 0.1
    done
    if [ -z "$window" ]; then
        fail "the installed program showed no window"
        # Whether the X server was there for it: its state and what it said.
        kill -0 "$xvfb" 2>/dev/null || echo "Xvfb on $display had ended" >&2
        cat "$work/xvfb.log" >&2
    else
        xdo windowactivate --sync "$window" >/dev/null 2>&1 || xdo windowfocus --sync "$window" || true
        xdo key F1
        for _ in $(seq 100); do [ -s "$work/opened" ] && break; sleep 0.1; done
        grep -q "share/stripwise2/Stripwise2" "$work/opened" 2>/dev/null ||
            fail "F1 did not open the installed guide (opened: $(cat "$work/opened" 2>/dev/null))"
        xdo key ctrl+q
        # 終了してもよろしいですか？ — はい is the default button.
        for _ in $(seq 100); do
            question="$(xdo search --onlyvisible --name '^確認$' 2>/dev/null | head -n 1 || true)"
            [ -n "$question" ] && break
            sleep 0.1
        done
        [ -n "$question" ] && { xdo windowactivate --sync "$question" >/dev/null 2>&1 || true; xdo key Return; }
        for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
        kill -0 "$program" 2>/dev/null && fail "the installed program did not end after Ctrl+Q"
    fi
    kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    settings="$XDG_CONFIG_HOME/stripwise2/Stripwise2.ini"
    if [ -f "$settings" ] && grep -q '^\[Main\]' "$settings"; then
        [ "$(stat -c %a "$XDG_CONFIG_HOME/stripwise2")" = 700 ] || fail "the settings folder is not private"
    else
        fail "no settings in $settings"; cat "$work/program.log" >&2
    fi
    program_checked="settings in \$XDG_CONFIG_HOME/stripwise2, guide opened: $(head -n 1 "$work/opened" 2>/dev/null)"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "installed tree: x.stw is $got (without the installed data: $without), opened by $default"
echo "installed program: $program_checked"
