# Shared by scripts/run, scripts/test, scripts/test-sanitize and .ci/run: install what
# is missing, then build (in NORVA_BUILD, which a script may set after sourcing this),
# then test; each step can be timed as a stage.
# shellcheck shell=bash

NORVA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
NORVA_BUILD="$NORVA_ROOT/build"

# ccache (CMakeLists.txt uses it when present) is told to key objects by paths relative
# to the checkout, so that the normal and the sanitizer tree each find what they
# compiled before wherever the checkout lies. A base folder the user set comes first.
if command -v ccache >/dev/null && [ -z "$(ccache --get-config base_dir 2>/dev/null)" ]; then
    export CCACHE_BASEDIR="$NORVA_ROOT"
fi

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

norva_run_tests() {
    (cd "$NORVA_BUILD" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)")
}

# norva_stage NAME COMMAND...: runs one step of a script. When NORVA_STAGE_TIMES names a
# file, the step's wall time and exit status are added to it, also when the step fails
# and set -e ends the script (the EXIT trap records the stage that was running).
norva_stage() {
    NORVA_STAGE_NAME=$1
    NORVA_STAGE_START=$EPOCHREALTIME
    shift
    "$@"
    norva_stage_record 0
}

norva_stage_record() {
    [ -n "${NORVA_STAGE_NAME:-}" ] || return 0
    if [ -n "${NORVA_STAGE_TIMES:-}" ]; then
        local seconds
        seconds=$(awk -v from="$NORVA_STAGE_START" -v to="$EPOCHREALTIME" \
            'BEGIN { printf "%.0f", to - from }')
        printf '%s\t%s\t%s\n' "$NORVA_STAGE_NAME" "$seconds" "$1" >>"$NORVA_STAGE_TIMES"
    fi
    NORVA_STAGE_NAME=
}
trap 'norva_stage_record $?' EXIT

# The stages recorded in FILE, one line each with its wall time, and their total.
norva_print_stage_times() {
    awk -F '\t' '
        function clock(s) { return sprintf("%d:%02d", int(s / 60), s % 60) }
        { total += $2
          printf "  %-18s %7s%s\n", $1, clock($2), ($3 == 0 ? "" : "  FAILED (exit " $3 ")") }
        END { if (NR) printf "  %-18s %7s\n", "total", clock(total) }' "$1"
}
