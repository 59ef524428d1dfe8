# Shared by the scripts: install what is missing from scripts/deps.txt.
# shellcheck shell=bash

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

missing_packages() {
    local pkg missing=()
    while read -r pkg; do
        pkg="${pkg%%#*}"
        pkg="$(echo "$pkg" | tr -d '[:space:]')"
        [ -z "$pkg" ] && continue
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done < "$ROOT/scripts/deps.txt"
    echo "${missing[@]}"
}

install_missing() {
    local missing
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
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -q </dev/null
    # shellcheck disable=SC2086
    $sudo apt-get install -y -q --no-install-recommends $missing </dev/null
}
