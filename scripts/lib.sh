# Shared by the scripts: install what is missing from scripts/deps.txt.
# shellcheck shell=bash

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# How long to wait for another package manager run (unattended upgrades on a fresh machine,
# a second scripts/test) before giving up, and how often to look again.
APT_WAIT_SECONDS=600
APT_POLL_SECONDS=5
PROC_DIR=/proc

# The packages of deps.txt with their dpkg state: "name state" a line, state being
# not-installed for a package dpkg does not know.
package_states() {
    local pkg state
    while read -r pkg; do
        pkg="${pkg%%#*}"
        pkg="$(echo "$pkg" | tr -d '[:space:]')"
        [ -z "$pkg" ] && continue
        # The package's own state, whatever was selected for it: a package put on hold or
        # marked for removal is still installed.
        state="$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null)" || state=""
        echo "$pkg ${state:-not-installed}"
    done < "$ROOT/scripts/deps.txt"
}

missing_packages() {
    local pkg state missing=()
    while read -r pkg state; do
        [ "$state" = installed ] || missing+=("$pkg")
    done < <(package_states)
    echo "${missing[@]}"
}

# Packages another run is installing right now: unpacked, half-configured, awaiting triggers.
packages_in_progress() {
    local pkg state busy=()
    while read -r pkg state; do
        case "$state" in
            installed | not-installed | config-files) ;;
            *) busy+=("$pkg") ;;
        esac
    done < <(package_states)
    echo "${busy[@]}"
}

package_manager_running() {
    local comm
    for comm in "$PROC_DIR"/[0-9]*/comm; do
        case "$(cat "$comm" 2>/dev/null)" in
            dpkg | apt | apt-get | aptitude | unattended-upgr) return 0 ;;
        esac
    done
    return 1
}

# A package half-installed by another run counts as present once that run ends.
wait_for_other_run() {
    local busy deadline=$((SECONDS + APT_WAIT_SECONDS))
    busy="$(packages_in_progress)"
    [ -z "$busy" ] && return 0
    package_manager_running || return 0
    echo "Another package manager run is installing $busy; waiting for it to end (at most ${APT_WAIT_SECONDS}s)"
    while package_manager_running && [ "$SECONDS" -lt "$deadline" ]; do
        sleep "$APT_POLL_SECONDS"
    done
}

# Passes lines on as they come, a line that repeats the one before only once. (Not awk:
# mawk holds its output back when it goes to a pipe.)
show_once() {
    local line last=""
    while IFS= read -r line; do
        [ "$line" = "$last" ] || printf '%s\n' "$line"
        last="$line"
    done
}

# Runs apt-get as root, showing what it prints (apt's "Waiting for cache lock" once, not
# every second). apt waits for dpkg's lock itself (DPkg::Lock::Timeout); the lock of the
# package lists it does not wait for, so a run that finds a lock held is tried again until
# the same time is up.
apt_get() {
    local - log status deadline=$((SECONDS + APT_WAIT_SECONDS)) told=no
    set +e
    log="$(mktemp)"
    while :; do
        # sudo passes on no environment of its own accord.
        $sudo env LC_ALL=C DEBIAN_FRONTEND=noninteractive \
            apt-get -o DPkg::Lock::Timeout="$APT_WAIT_SECONDS" "$@" </dev/null 2>&1 |
            tee "$log" | show_once
        status="${PIPESTATUS[0]}"
        if [ "$status" -ne 0 ] && grep -q "^E: Could not get lock" "$log" && [ "$SECONDS" -lt "$deadline" ]; then
            if [ "$told" = no ]; then
                echo "Another package manager run holds its lock; trying again until it ends (at most ${APT_WAIT_SECONDS}s)"
                told=yes
            fi
            sleep "$APT_POLL_SECONDS"
            continue
        fi
        rm -f "$log"
        return "$status"
    done
}

install_missing() {
    local missing
    missing="$(missing_packages)"
    [ -z "$missing" ] && return 0
    wait_for_other_run
    missing="$(missing_packages)"
    [ -z "$missing" ] && return 0
    echo "Installing missing packages: $missing"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
            sudo="sudo"
        else
            echo "These packages are missing; install them as root, then run this again:" >&2
            echo "  apt-get install -y $missing" >&2
            exit 1
        fi
    fi
    apt_get update -q || exit 1
    # Another run may have installed them while this one waited.
    missing="$(missing_packages)"
    [ -z "$missing" ] && return 0
    # shellcheck disable=SC2086
    apt_get install -y -q --no-install-recommends $missing || exit 1
}
