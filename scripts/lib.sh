# Shared by scripts/run, scripts/test and scripts/test-sanitize: install what is
# missing, then build (in NORVA_BUILD, which a script may set after sourcing this).
# shellcheck shell=bash

NORVA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
NORVA_BUILD="$NORVA_ROOT/build"

norva_missing_packages() {
    local package
    grep -v -E '^[[:space:]]*(#|$)' "$NORVA_ROOT/scripts/packages" | while read -r package; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            echo "$package"
        fi
    done
}

norva_install_packages() {
    local missing
    missing=$(norva_missing_packages | tr '\n' ' ')
    [ -z "${missing// /}" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "norva: missing Debian packages: $missing" >&2
        echo "norva: run this script as root once, or: sudo apt-get install $missing" >&2
        exit 1
    fi
    echo "norva: installing $missing"
    apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}

norva_build() {
    cmake -S "$NORVA_ROOT" -B "$NORVA_BUILD" -G Ninja -DNORVA_WERROR=ON "$@" >/dev/null
    cmake --build "$NORVA_BUILD" --parallel "$(nproc)"
}
