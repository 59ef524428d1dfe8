#!/usr/bin/env bash
# Checks the built help guide: a PDF whose chapters each start a page, whose contents and
# bookmarks point to the right pages, whose pictures are embedded and whose text can be searched; and that
# a guide naming a missing picture makes no PDF at all.
# usage: check-guide.sh MAKEHELPGUIDE GUIDE.md GUIDE.pdf
set -euo pipefail
tool="$1"
guide="$2"
pdf="$3"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

[ -s "$pdf" ] || { echo "FAIL: $pdf was not made" >&2; exit 1; }
[ "$(head -c 5 "$pdf")" = "%PDF-" ] || fail "$pdf does not start with %PDF-"

info="$(pdfinfo "$pdf")"
pages="$(awk '/^Pages:/ { print $2 }' <<<"$info")"
grep -q "^Page size: *595.* x 842.*(A4)" <<<"$info" || fail "pages are not A4: $(grep 'Page size' <<<"$info")"
title="$(sed -n 's/^# //p' "$guide" | head -n 1)"
grep -qF "$title" <<<"$info" || fail "the PDF's title is not \"$title\""

mapfile -t chapters < <(sed -n 's/^## //p' "$guide")
[ "${#chapters[@]}" -ge 10 ] || fail "only ${#chapters[@]} chapters in $guide"
# The title page, then every chapter on a page of its own.
[ "$pages" -gt "${#chapters[@]}" ] || fail "$pages pages for ${#chapters[@]} chapters"

# Every heading of the guide can be found as text, the fine adjustment among them.
text="$(pdftotext -enc UTF-8 "$pdf" -)"
while IFS= read -r heading; do
    grep -qF -- "$heading" <<<"$text" || fail "heading not found in the PDF text: $heading"
done < <(sed -n 's/^###* //p' "$guide")
for word in "微調整" "十字マーク" "stripwise2-sheet" "Stripwise2.ini"; do
    grep -qF -- "$word" <<<"$text" || fail "\"$word\" not found in the PDF text"
done

# The contents on the title page give each chapter's page: the chapter's heading is there.
contents="$(pdftotext -enc UTF-8 -layout -f 1 -l 1 "$pdf" -)"
for chapter in "${chapters[@]}"; do
    line="$(grep -F -- "$chapter" <<<"$contents" | head -n 1 || true)"
    page="$(grep -oE '[0-9]+[[:space:]]*$' <<<"$line" | tr -d '[:space:]' || true)"
    if [ -z "$page" ]; then
        fail "the contents list no page for: $chapter"
        continue
    fi
    pdftotext -enc UTF-8 -f "$page" -l "$page" "$pdf" - | grep -qF -- "$chapter" ||
        fail "the contents send \"$chapter\" to page $page, which does not hold it"
done

# The outline (bookmarks) holds every chapter, in order, each opening the chapter's first
# page; each line of the contents is a link to that same page. pdftohtml lists both: the
# outline as <item page="N">, the text under a link annotation as <a href="...#N">.
unescape() { sed -e 's/&lt;/</g' -e 's/&gt;/>/g' -e 's/&quot;/"/g' -e "s/&#39;/'/g" -e 's/&amp;/\&/g'; }
xml="$(pdftohtml -xml -i -q -stdout "$pdf")"
mapfile -t outline < <(sed -n 's:^<item page="\([0-9]*\)">\(.*\)</item>$:\1 \2:p' <<<"$xml" | unescape)
[ "${#outline[@]}" -eq "${#chapters[@]}" ] ||
    fail "the outline has ${#outline[@]} entries for ${#chapters[@]} chapters"
first_chapter_page=""
for ((i = 0; i < ${#chapters[@]}; i++)); do
    chapter="${chapters[i]}"
    entry="${outline[i]:-}"
    if [ "${entry#* }" != "$chapter" ]; then
        fail "outline entry $((i + 1)) is \"${entry#* }\", not \"$chapter\""
        continue
    fi
    page="${entry%% *}"
    [ -z "$first_chapter_page" ] && first_chapter_page="$page"
    pdftotext -enc UTF-8 -f "$page" -l "$page" "$pdf" - | head -n 3 | grep -qxF -- "$chapter" ||
        fail "the bookmark \"$chapter\" opens page $page, which does not start with it"
done
# The contents come before the first chapter; there, each chapter's line is a link.
contents_xml="$(pdftohtml -xml -i -q -stdout -l "$((${first_chapter_page:-2} - 1))" "$pdf" | unescape)"
for ((i = 0; i < ${#outline[@]}; i++)); do
    page="${outline[i]%% *}"
    chapter="${outline[i]#* }"
    targets="$(grep -F -- ">$chapter</a>" <<<"$contents_xml" | sed -n 's:.*<a href="[^"#]*#\([0-9]*\)">.*:\1:p' | sort -u)"
    if [ -z "$targets" ]; then
        fail "the contents line of \"$chapter\" is not a link"
    elif [ "$targets" != "$page" ]; then
        fail "the contents line of \"$chapter\" links to page(s) $targets, not $page"
    fi
done
links="$(grep -oE '<a href="[^"]*#[0-9]+">' <<<"$contents_xml" | wc -l)"

# Every page after the title page ends with its number out of all, and no page ends with
# a heading whose text went on to the next page.
mapfile -t headings < <(sed -n 's/^###* //p' "$guide")
for ((page = 2; page <= pages; page++)); do
    mapfile -t lines < <(pdftotext -enc UTF-8 -layout -f "$page" -l "$page" "$pdf" - |
        sed -e 's/[[:space:]]*$//' -e '/^$/d' -e 's/\f//g' | sed '/^$/d')
    count="${#lines[@]}"
    if [ "$count" -lt 2 ]; then
        fail "page $page holds no text"
        continue
    fi
    grep -qE "${page} / ${pages}\$" <<<"${lines[count - 1]}" ||
        fail "page $page does not end with \"$page / $pages\": ${lines[count - 1]}"
    last_text="$(sed -E 's/^[[:space:]]+//' <<<"${lines[count - 2]}")"
    for heading in "${headings[@]}"; do
        [ "$last_text" = "$heading" ] && fail "page $page ends with the heading \"$heading\""
    done
done

# No sentence is on two pages after the contents (a line pushed to the next page must leave
# nothing behind).
repeated="$(for ((page = 2; page <= pages; page++)); do
    pdftotext -enc UTF-8 -f "$page" -l "$page" "$pdf" - | grep -vxF -- "$title" |
        awk 'length($0) >= 45' | sort -u
done | sort | uniq -d)"
[ -z "$repeated" ] || fail "text found on two pages: $repeated"

# Every picture the guide names is embedded.
mapfile -t pictures < <(grep -oE '!\[[^]]*\]\([^)]+\)' "$guide" | sed -E 's/.*\((.*)\)/\1/' | sort -u)
[ "${#pictures[@]}" -ge 5 ] || fail "only ${#pictures[@]} pictures named in $guide"
embedded="$(pdfimages -list "$pdf" | tail -n +3 | awk '$3 == "image"' | wc -l)"
# Each picture once: a page must not carry, hidden, what belongs to its neighbour.
[ "$embedded" -eq "${#pictures[@]}" ] ||
    fail "$embedded pictures embedded, ${#pictures[@]} named in the guide"
picture_bytes=0
for picture in "${pictures[@]}"; do
    picture_bytes=$((picture_bytes + $(stat -c %s "$(dirname "$guide")/$picture")))
done
pdf_bytes="$(stat -c %s "$pdf")"
[ "$pdf_bytes" -gt $((picture_bytes / 2)) ] ||
    fail "the PDF ($pdf_bytes bytes) is too small to hold its pictures ($picture_bytes bytes)"

# A guide that names a picture that is not there stops with a message naming it, and
# leaves no PDF behind.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf '# 題名\n\n## 一\n\n![図](images/missing.png)\n' >"$work/broken.md"
if "$tool" "$work/broken.md" "$work/broken.pdf" 2>"$work/err"; then
    fail "a guide naming a missing picture was made into a PDF"
fi
grep -qF "images/missing.png" "$work/err" || fail "the message does not name the picture: $(cat "$work/err")"
[ ! -e "$work/broken.pdf" ] || fail "a PDF was left behind after the failure"
[ -z "$(ls -A "$work" | grep -v -e '^broken.md$' -e '^err$')" ] || fail "files left behind: $(ls "$work")"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "help guide: $pages pages, ${#chapters[@]} chapters, ${#outline[@]} bookmarks, $links linked texts in the contents, $embedded pictures, $pdf_bytes bytes"
