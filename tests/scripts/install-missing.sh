#!/usr/bin/env bash
# The install step of the scripts against a stand-in package manager: what it asks apt for,
# how it waits for another run, and what it tells a user who is not root.
# usage: install-missing.sh SCRIPTS_DIR
set -uo pipefail
scripts="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Stand-ins: dpkg-query reads a package's state from state/NAME ("want ok status", as dpkg
# keeps it); apt-get notes each call with its environment and installs what it is asked
# to. The processes running are those of a folder of their own (proc/PID/comm).
mkdir -p "$work/bin"
cat >"$work/bin/dpkg-query" <<'FAKE'
#!/usr/bin/env bash
file="$FAKE/state/${!#}"
[ -f "$file" ] || { echo "dpkg-query: no packages found matching ${!#}" >&2; exit 1; }
read -r want flag status <"$file"
case "$2" in
    '-f=${db:Status-Status}') printf '%s' "$status" ;;
    '-f=${Status}') printf '%s %s %s' "$want" "$flag" "$status" ;;
    *) echo "unexpected format $2" >&2; exit 2 ;;
esac
FAKE
cat >"$work/bin/apt-get" <<'FAKE'
#!/usr/bin/env bash
echo "DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-} $*" >>"$FAKE/apt.log"
if [ "${*: -2:1}" = update ] || [ "${*: -1}" = update ] || [[ " $* " == *" update "* ]]; then
    locked="$(cat "$FAKE/lists-locked" 2>/dev/null || echo 0)"
    if [ "$locked" -gt 0 ]; then
        echo $((locked - 1)) >"$FAKE/lists-locked"
        echo "E: Could not get lock /var/lib/apt/lists/lock. It is held by process 1 (apt-get)"
        echo "E: Unable to lock directory /var/lib/apt/lists/"
        exit 100
    fi
    exit 0
fi
if [ -f "$FAKE/slow" ]; then
    # A long run: says it waits, then holds on until the test has seen that.
    for _ in 1 2 3; do echo "Waiting for cache lock: Could not get lock /var/lib/dpkg/lock-frontend"; done
    for _ in $(seq 100); do [ -f "$FAKE/release" ] && break; sleep 0.1; done
fi
installing=no
for arg in "$@"; do
    [ "$installing" = yes ] && [[ "$arg" != -* ]] && echo "install ok installed" >"$FAKE/state/$arg"
    [ "$arg" = install ] && installing=yes
done
exit 0
FAKE
printf '#!/bin/sh\n[ "$1" = -u ] && echo "$FAKE_UID" || exec /usr/bin/id "$@"\n' >"$work/bin/id"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*

# Each case: a deps.txt, the packages' states, then install_missing in a shell of its own.
# Leaves the exit status in $status, what it printed in $out (and, as it comes, $FAKE/out), the apt calls in $FAKE/apt.log.
setup() {
    export FAKE="$work/case-$1"
    shift
    mkdir -p "$FAKE/scripts" "$FAKE/state" "$FAKE/proc/1"
    echo init >"$FAKE/proc/1/comm"
    cp "$scripts/lib.sh" "$FAKE/scripts/"
    : >"$FAKE/apt.log"
    printf '# what the project needs\n' >"$FAKE/scripts/deps.txt"
    local entry
    for entry in "$@"; do
        printf '%s\n' "${entry%%=*}" >>"$FAKE/scripts/deps.txt"
        [ "${entry#*=}" = absent ] || echo "${entry#*=}" >"$FAKE/state/${entry%%=*}"
    done
}
run() {
    FAKE_UID="${FAKE_UID:-0}" WAIT="${WAIT:-}" PATH="$work/bin:$PATH" timeout 60 bash -c '
        set -euo pipefail
        source "$FAKE/scripts/lib.sh"
        APT_POLL_SECONDS=0.2
        APT_WAIT_SECONDS="${WAIT:-600}"
        PROC_DIR="$FAKE/proc"
        install_missing' >"$FAKE/out" 2>&1
    status=$?
    out="$(cat "$FAKE/out")"
}
apt_calls() { sed 's/^DEBIAN_FRONTEND=[^ ]* //' "$FAKE/apt.log"; }

# Everything there, one of it held at its version: nothing is asked of apt.
setup present gcc="install ok installed" cmake="hold ok installed"
run
[ "$status" -eq 0 ] || fail "present: exit $status: $out"
[ ! -s "$FAKE/apt.log" ] || fail "present: apt was called: $(apt_calls)"

# Missing and removed-but-configured packages are installed, and only they, by apt waiting
# for dpkg's lock, without questions.
setup missing gcc="install ok installed" clang=absent libfoo="deinstall ok config-files"
run
[ "$status" -eq 0 ] || fail "missing: exit $status: $out"
expected="-o DPkg::Lock::Timeout=600 update -q
-o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends clang libfoo"
[ "$(apt_calls)" = "$expected" ] || fail "missing: apt calls were
$(apt_calls)
not
$expected"
grep -qv "^DEBIAN_FRONTEND=noninteractive " "$FAKE/apt.log" && fail "missing: apt may ask questions: $(cat "$FAKE/apt.log")"
grep -qs " installed$" "$FAKE/state/clang" || fail "missing: clang not installed"

# What apt prints shows while it runs (a long download is no silent minute), a line it
# repeats every second only once.
setup live clang=absent
touch "$FAKE/slow"
run &
shown=no
for _ in $(seq 50); do
    grep -q "Waiting for cache lock" "$FAKE/out" 2>/dev/null && { shown=yes; break; }
    sleep 0.1
done
touch "$FAKE/release"
wait
[ "$shown" = yes ] || fail "live: nothing of apt's output showed while it ran"
[ "$(grep -c "Waiting for cache lock" "$FAKE/out")" -eq 1 ] || fail "live: the repeated line showed $(grep -c "Waiting for cache lock" "$FAKE/out") times"

# Another run holds the package lists: the update is tried again until it gets them.
setup lists-held clang=absent
echo 2 >"$FAKE/lists-locked"
run
[ "$status" -eq 0 ] || fail "lists-held: exit $status: $out"
[ "$(grep -c ' update ' "$FAKE/apt.log")" -eq 3 ] || fail "lists-held: apt-get update ran $(grep -c ' update ' "$FAKE/apt.log") times, not 3"
grep -q "install .* clang$" "$FAKE/apt.log" || fail "lists-held: clang was not installed after the wait"
grep -q "holds its lock; trying again" <<<"$out" || fail "lists-held: the wait was not explained: $out"

# A package another run has unpacked counts as present once that run ends.
setup other-run gcc="install ok installed" clang="install ok unpacked"
mkdir "$FAKE/proc/4711"
echo unattended-upgr >"$FAKE/proc/4711/comm"
(
    sleep 2
    sed -i 's/ unpacked$/ installed/' "$FAKE/state/clang"
    rm -r "$FAKE/proc/4711"
) &
other=$!
run
wait "$other"
[ "$status" -eq 0 ] || fail "other-run: exit $status: $out"
[ ! -s "$FAKE/apt.log" ] || fail "other-run: apt was called although the other run installed clang: $(apt_calls)"
grep -q "installing clang; waiting for it to end" <<<"$out" || fail "other-run: the wait was not explained: $out"

# Half-installed with no run going (one that was interrupted): no waiting, apt sees to it.
setup interrupted clang="install ok half-configured"
SECONDS=0
run
[ "$status" -eq 0 ] || fail "interrupted: exit $status: $out"
[ "$SECONDS" -lt 10 ] || fail "interrupted: took ${SECONDS}s"
grep -q "install .* clang$" "$FAKE/apt.log" || fail "interrupted: apt was not asked to install clang"

# A lock that stays held ends the script after the wait, with apt's message.
setup held-on clang=absent
echo 1000 >"$FAKE/lists-locked"
WAIT=1 run
[ "$status" -ne 0 ] || fail "held-on: exit 0 although the update never ran"
grep -q "^E: Could not get lock" <<<"$out" || fail "held-on: apt's message was not shown: $out"
grep -q " install " "$FAKE/apt.log" && fail "held-on: went on to install without package lists"

# A user who is not root and has no password-less sudo is told what to install.
setup not-root gcc="install ok installed" clang=absent
FAKE_UID=1000 run
[ "$status" -eq 1 ] || fail "not-root: exit $status"
grep -q "apt-get install -y clang$" <<<"$out" || fail "not-root: the message does not name clang: $out"
[ ! -s "$FAKE/apt.log" ] || fail "not-root: apt was called: $(apt_calls)"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "install step checks passed"
