#!/usr/bin/env bash
# Installs a built tree into a temporary prefix and checks, with that prefix's MIME and
# desktop data first in XDG_DATA_DIRS, that a *.stw file is a Stripwise 2 label set (not the
# word processor's template the system's MIME data also names *.stw) and that the desktop
# entry is the program that opens it. Exits 77 (skipped) when the desktop tools are missing.
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
without="$(XDG_DATA_DIRS="$system_dirs" query || true)"
[ "$without" != "$type" ] || fail "x.stw is $type even without the installed MIME data"

default="$(XDG_DATA_DIRS="$prefix/share:$system_dirs" XDG_CURRENT_DESKTOP='' xdg-mime query default "$type" || true)"
[ "$default" = "$app.desktop" ] || fail "the program that opens $type is '$default', not $app.desktop"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "installed tree: x.stw is $got (without the installed data: $without), opened by $default"
