#!/usr/bin/env bash
# Set-up on a fresh Debian 12 machine, then build and either run the app or run every test.
#   scripts/oradesk.sh run    build the product and start it
#   scripts/oradesk.sh test   build the tests (ASan+UBSan, then ThreadSanitizer) and run them
#   scripts/oradesk.sh demo   build the demo and start it: the app over simulated devices
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
mode="${1:-}"
jobs="$(nproc 2>/dev/null || echo 2)"

packages=(build-essential cmake pkg-config qtbase5-dev qttools5-dev qttools5-dev-tools
          libqt5gamepad5-dev libhidapi-dev libusb-1.0-0-dev libudev-dev clang-format
          umockdev libumockdev-dev openssl
          python3 fonttools python3-fonttools fonts-noto-cjk fonts-noto-cjk-extra fonts-noto-core)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

build() { # build-dir, cmake options...
    local dir="$1"
    shift
    cmake -S "$here" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" -j "$jobs"
}

case "$mode" in
run)
    install_missing
    build "$here/build/release" -DORADESK_TESTS=OFF
    exec "$here/build/release/bin/quorel-oradesk"
    ;;
test)
    install_missing
    build "$here/build/asan" -DORADESK_WERROR=ON -DORADESK_ASAN=ON
    cmake --build "$here/build/asan" --target format-check
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
    export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    ctest --test-dir "$here/build/asan" --output-on-failure
    # The threaded tests again under ThreadSanitizer: only their own targets are built.
    cmake -S "$here" -B "$here/build/tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DORADESK_WERROR=ON -DORADESK_TSAN=ON
    mapfile -t threaded < <(ctest --test-dir "$here/build/tsan" -N -L threads |
        sed -n 's/^ *Test *#[0-9]*: *\([A-Za-z0-9_]*\).*/\1/p')
    [ ${#threaded[@]} -gt 0 ] || { echo "no threaded tests found" >&2; exit 1; }
    cmake --build "$here/build/tsan" -j "$jobs" --target "${threaded[@]}"
    ctest --test-dir "$here/build/tsan" --output-on-failure -L threads
    ;;
demo)
    install_missing
    # The simulator comes with the tests; only the demo itself is built.
    cmake -S "$here" -B "$here/build/demo" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORADESK_TESTS=ON
    cmake --build "$here/build/demo" -j "$jobs" --target quorel-oradesk-demo
    exec "$here/build/demo/bin/quorel-oradesk-demo"
    ;;
*)
    echo "usage: $0 run|test|demo" >&2
    exit 2
    ;;
esac
