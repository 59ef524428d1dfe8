#!/usr/bin/env bash
# Runs lintian on the .deb that check-deb.sh left in DEB_DIR and fails on any error it
# reports; warnings are shown, not counted. Exits 77 (skipped) when lintian is not installed.
# usage: check-lintian.sh DEB_DIR
set -euo pipefail
dir="$1"
if ! command -v lintian >/dev/null; then
    echo "lintian is not installed: skipped"
    exit 77
fi
shopt -s nullglob
debs=("$dir"/*.deb)
if [ "${#debs[@]}" -ne 1 ]; then
    echo "FAIL: expected one .deb in $dir, found ${#debs[@]}" >&2
    exit 1
fi
report="$(mktemp)"
trap 'rm -f "$report"' EXIT
# Lintian's own exit status depends on its --fail-on level; the report is what counts here.
lintian --tag-display-limit 0 --display-info "${debs[0]}" >"$report" 2>&1 || true
cat "$report"
if grep -q '^E: ' "$report"; then
    echo "FAIL: lintian reports $(grep -c '^E: ' "$report") error(s)" >&2
    exit 1
fi
if grep -qiE '^(internal error|lintian: )|^Aborted|Traceback' "$report"; then
    echo "FAIL: lintian did not finish" >&2
    exit 1
fi
echo "lintian: no errors ($(grep -c '^W: ' "$report" || true) warnings)"
