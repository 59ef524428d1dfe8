#!/usr/bin/env bash
# Builds the .deb from a configured build tree, unpacks it into a temporary root and checks
# what a user gets: programs that run, desktop entry, file type, icons, catalogue entry,
# manuals, licence, changelog, Depends. The package is left in KEEP_DIR when one is given.
# usage: check-deb.sh BUILD_DIR [CPACK [KEEP_DIR]]
set -euo pipefail
build="$1"
cpack="${2:-cpack}"
keep="${3:-}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# gzip rather than xz: the package of a sanitizer build is large and this only checks contents.
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" \
        -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack did not build the package" >&2
    exit 1
fi
shopt -s nullglob
debs=("$work"/out/*.deb)
if [ "${#debs[@]}" -ne 1 ]; then
    echo "FAIL: expected one .deb, found ${#debs[@]}" >&2
    exit 1
fi
deb="${debs[0]}"
echo "package: $(basename "$deb")"
if [ -n "$keep" ]; then
    rm -rf "$keep"
    mkdir -p "$keep"
    cp "$deb" "$keep/"
fi

[ "$(dpkg-deb -f "$deb" Package)" = stripwise2 ] || fail "package name is not stripwise2"
root="$work/root"
dpkg-deb -x "$deb" "$root"
usr="$root/usr"
share="$usr/share"
app=io.github.stripwise2.Stripwise2

depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
declared=()
IFS=',' read -ra entries <<<"$depends"
for entry in "${entries[@]}"; do
    entry="${entry#"${entry%%[! ]*}"}"
    declared+=("${entry%"${entry##*[! ]}"}")
done
declares() {
    local entry
    for entry in "${declared[@]}"; do [ "$entry" = "$1" ] && return 0; done
    return 1
}
# The libraries are what dpkg-shlibdeps finds the shipped programs need, with the names and
# versions of the release the package is built on (libqt6core6 here, libqt6core6t64 there);
# the fonts that stand in for the Windows font names stored in label sets are named by hand.
programs=("$usr/bin/stripwise2" "$usr/bin/stripwise2-sheet")
mkdir -p "$work/shlibdeps/debian"
: >"$work/shlibdeps/debian/control"
if shlibdeps="$(cd "$work/shlibdeps" && dpkg-shlibdeps -O "${programs[@]}" 2>"$work/shlibdeps.log")"; then
    IFS=',' read -ra wanted <<<"${shlibdeps#shlibs:Depends=}, fonts-ipafont-gothic, fonts-ipafont-mincho"
    for entry in "${wanted[@]}"; do
        entry="${entry#"${entry%%[! ]*}"}"
        declares "$entry" || fail "Depends lacks $entry"
    done
else
    cat "$work/shlibdeps.log" >&2
    fail "dpkg-shlibdeps could not read the programs"
fi
# Each library the programs load comes from a package the list names (the single-instance
# socket needs Qt's network library, say).
for program in "${programs[@]}"; do
    for library in $(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }'); do
        # "libc6:amd64: /lib/x86_64-linux-gnu/libc.so.6", "lib32gcc-s1: /usr/lib32/…", …
        owners="$(dpkg-query -S "*/$library" 2>/dev/null | grep -v '^diversion ' |
                  sed 's|: /.*||' | tr ',' '\n' | sed 's/^ *//; s/:.*//' | sort -u)"
        found=no
        for owner in $owners; do
            for entry in "${declared[@]}"; do
                [ "${entry%% *}" = "$owner" ] && found=yes
            done
        done
        [ "$found" = yes ] || fail "$(basename "$program") loads $library, from ${owners:-no package}, which Depends does not name"
    done
done
# Every declared package is a real one: the build machine has them all installed.
for entry in "${declared[@]}"; do
    name="${entry%% *}"
    dpkg-query -W "$name" >/dev/null 2>&1 || fail "Depends names a package not installed here: $name"
done

for f in bin/stripwise2 bin/stripwise2-sheet; do
    [ -x "$usr/$f" ] || fail "usr/$f is missing or not executable"
done

desktop="$share/applications/$app.desktop"
if [ -f "$desktop" ]; then
    exec_name="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
    [ -x "$usr/bin/$exec_name" ] || fail "the desktop entry starts '$exec_name', which is not in usr/bin"
    icon="$(sed -n 's/^Icon=//p' "$desktop")"
    [ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon '$icon'"
    for size in 16 32 48 64 128 256; do
        png="$share/icons/hicolor/${size}x${size}/apps/$icon.png"
        if [ ! -f "$png" ]; then
            fail "no ${size}x${size} icon '$icon'"
            continue
        fi
        # Width and height are the two 32-bit big-endian numbers at byte 16 of a PNG.
        read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
            awk '{ print ($1*16777216 + $2*65536 + $3*256 + $4), ($5*16777216 + $6*65536 + $7*256 + $8) }')
        [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$png is ${w}x${h}, not ${size}x${size}"
    done
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$desktop" || fail "installed desktop entry does not validate"
    fi
else
    fail "no desktop entry at usr/share/applications/$app.desktop"
fi

# The label-set type: defined by the installed MIME data, claimed by the desktop entry.
mime="$share/mime/packages/stripwise2.xml"
if [ -f "$mime" ]; then
    for type in $(sed -n 's/^MimeType=//p' "$desktop" 2>/dev/null | tr ';' ' '); do
        grep -q "<mime-type type=\"$type\">" "$mime" || fail "the desktop entry claims $type, which the MIME data does not define"
    done
    grep -q '<glob pattern="\*\.stw"' "$mime" || fail "the MIME data has no *.stw glob"
    grep -q '^MimeType=.*application/x-stripwise2-labelset;' "$desktop" ||
        fail "the desktop entry does not claim application/x-stripwise2-labelset"
    grep -q '^Exec=stripwise2 %f$' "$desktop" || fail "the desktop entry does not pass the file to open"
else
    fail "no MIME data at usr/share/mime/packages/stripwise2.xml"
fi

metainfo="$share/metainfo/$app.metainfo.xml"
if [ -f "$metainfo" ]; then
    launchable="$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")"
    [ -f "$share/applications/$launchable" ] || fail "metainfo launches '$launchable', which is not installed"
    grep -q '<project_license>MIT</project_license>' "$metainfo" || fail "metainfo does not give the MIT licence"
    grep -q '<screenshot type="default">' "$metainfo" || fail "metainfo has no screenshot"
else
    fail "no metainfo at usr/share/metainfo/$app.metainfo.xml"
fi

# The licence in Debian's machine-readable form, and a changelog for this very version.
doc="$share/doc/stripwise2"
if [ -f "$doc/copyright" ]; then
    head -n 1 "$doc/copyright" | grep -qxF "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
        fail "the copyright file is not in the machine-readable format"
    grep -qx "License: Expat" "$doc/copyright" || fail "the copyright file does not give the MIT (Expat) licence"
else
    fail "no usr/share/doc/stripwise2/copyright"
fi
version="$(dpkg-deb -f "$deb" Version)"
if [ -f "$doc/changelog.Debian.gz" ]; then
    first="$(gzip -dc "$doc/changelog.Debian.gz" | head -n 1)"
    [[ "$first" == "stripwise2 ($version) "* ]] ||
        fail "the changelog starts with \"$first\", not version $version"
else
    fail "no usr/share/doc/stripwise2/changelog.Debian.gz"
fi

# Manual pages and changelog are gzipped at the best level without name or time (gzip -9n):
# header flags (byte 3) without FNAME, time (bytes 4-7) zero, extra flags (byte 8) 2 = best.
for gz in "$share"/man/man1/*.gz "$doc/changelog.Debian.gz"; do
    [ -f "$gz" ] || continue
    read -r flags t0 t1 t2 t3 xfl < <(od -An -tu1 -j3 -N6 "$gz")
    if [ $((flags & 8)) -ne 0 ] || [ "$t0$t1$t2$t3" != 0000 ] || [ "$xfl" -ne 2 ]; then
        fail "$(basename "$gz") is not compressed with gzip -9n"
    fi
done
uncompressed="$(find "$share/man" -type f ! -name '*.gz')"
[ -z "$uncompressed" ] || fail "uncompressed manual pages: $uncompressed"

# The installed tool runs from the unpacked root.
help="$work/help.txt"
if "$usr/bin/stripwise2-sheet" --help >"$help"; then
    grep -q "resave" "$help" || fail "stripwise2-sheet --help does not list resave"
else
    fail "stripwise2-sheet --help exited with $?"
fi

# The manual page describes every command and option the tool lists.
man="$share/man/man1/stripwise2-sheet.1.gz"
if [ -f "$man" ]; then
    text="$work/man.txt"
    if ! gzip -dc "$man" | preconv | groff -man -ww -Tutf8 -P-cbou >"$text" 2>"$work/groff.log" ||
            [ -s "$work/groff.log" ]; then
        cat "$work/groff.log" >&2
        fail "the manual page does not format cleanly"
    fi
    while read -r _ command rest; do
        grep -Eq "^   $command( |$)" "$text" || fail "the manual page has no section for '$command'"
        for word in $rest; do
            option="$(sed -E 's/^[][|]*(-{1,2}[a-z][a-z-]*).*/\1/;t;d' <<<"$word")"
            [ -z "$option" ] && continue
            grep -Eq "^ +$option( |,|$)" "$text" || fail "the manual page does not describe $command $option"
        done
    done < <(sed -n 's/^  \(stripwise2-sheet .*\)$/\1/p' "$help")
else
    fail "no manual page at usr/share/man/man1/stripwise2-sheet.1.gz"
fi
[ -f "$share/man/man1/stripwise2.1.gz" ] || fail "no manual page for stripwise2"

# The user guide goes into the package whenever the build has made it.
guide="Stripwise2ヘルプガイド.pdf"
if [ -n "$(find "$build" -path "$build/_CPack_Packages" -prune -o -name "$guide" -print -quit)" ]; then
    [ -f "$share/stripwise2/$guide" ] || fail "the built user guide is not in usr/share/stripwise2"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package checks passed"
