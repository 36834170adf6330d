#!/usr/bin/env bash
# Set-up on a fresh Debian 12 machine, then build and either run the app or run every test.
#   scripts/oradesk.sh run    build the product and start it
#   scripts/oradesk.sh test   build the tests (ASan+UBSan, then ThreadSanitizer) and run them
#   scripts/oradesk.sh demo   build the demo and start it: the app over simulated devices
#   scripts/oradesk.sh package  build the Debian package and check it
#   scripts/oradesk.sh screenshots  make the README's screenshots with the demo
#   scripts/oradesk.sh cli ARGS...  build the command line and run it (--simulate works)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
mode="${1:-}"
jobs="$(nproc 2>/dev/null || echo 2)"

packages=(build-essential cmake pkg-config qtbase5-dev qttools5-dev qttools5-dev-tools
          libqt5gamepad5-dev libhidapi-dev libusb-1.0-0-dev libudev-dev clang-format
          umockdev libumockdev-dev openssl
          python3 fonttools python3-fonttools fonts-noto-cjk fonts-noto-cjk-extra fonts-noto-core)

# Runs a command as root: through sudo unless already root.
as_root() {
    if [ "$(id -u)" -ne 0 ]; then sudo "$@"; else "$@"; fi
}

# What the package check needs besides: packaging tools and the validators.
package_tools=(dpkg-dev file desktop-file-utils appstream lintian)
# What the fuzz targets need: clang with its libFuzzer runtime.
fuzz_tools=(clang libclang-rt-14-dev)

install_missing() { # extra packages...
    local missing=()
    for p in "${packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    as_root apt-get update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

build() { # build-dir, cmake options...
    local dir="$1"
    shift
    cmake -S "$here" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" -j "$jobs"
}

# The README's screenshots, made by the demo (from build-dir) running the two screenshot
# scripts in English, offscreen, with private settings and profiles; then every picture
# README.md links must be there.
screenshots() { # build-dir out-dir
    local demo="$1/bin/quorel-oradesk-demo" out="$2" scratch
    mkdir -p "$out"
    for script in pages update; do
        scratch="$(mktemp -d)"
        mkdir -p "$scratch/run" && chmod 700 "$scratch/run"
        (cd "$out" && env LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 QT_QPA_PLATFORM=offscreen \
            XDG_RUNTIME_DIR="$scratch/run" XDG_CONFIG_HOME="$scratch/config" \
            XDG_DATA_HOME="$scratch/data" XDG_CACHE_HOME="$scratch/cache" HOME="$scratch" \
            ASAN_OPTIONS=detect_leaks=0 \
            ORADESK_DEMO_SCRIPT="$here/scripts/screenshots-$script.demo" "$demo" >"$scratch/log" 2>&1) ||
            { cat "$scratch/log" >&2; echo "screenshot script $script failed" >&2; return 1; }
        rm -rf "$scratch"
    done
    local missing=0
    for picture in $(grep -o 'docs/screenshots/[a-z-]*\.png' "$here/README.md" | sort -u); do
        [ -s "$out/$(basename "$picture")" ] || { echo "missing: $picture" >&2; missing=1; }
    done
    return $missing
}

case "$mode" in
run)
    install_missing
    build "$here/build/release" -DORADESK_TESTS=OFF
    exec "$here/build/release/bin/quorel-oradesk"
    ;;
test)
    install_missing "${package_tools[@]}" "${fuzz_tools[@]}"
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
    # Every fuzz target builds; the portable profile reader runs under libFuzzer for a
    # minute, from a scratch corpus.
    CC=clang CXX=clang++ cmake -S "$here" -B "$here/build/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DORADESK_FUZZ=ON -DORADESK_TESTS=OFF
    cmake --build "$here/build/fuzz" -j "$jobs" --target fuzz_portableprofile fuzz_firmwareimage \
        fuzz_transfer
    corpus="$(mktemp -d)"
    cp -r "$here/fuzz/corpus/portableprofile/." "$corpus"
    "$here/build/fuzz/bin/fuzz_portableprofile" "$corpus" -max_total_time=60 -print_final_stats=1
    rm -rf "$corpus"
    # The README's screenshots, into a scratch folder: every linked picture must come out.
    shots="$(mktemp -d)"
    screenshots "$here/build/asan" "$shots"
    rm -rf "$shots"
    # The Debian package: built, unpacked and checked.
    "$here/scripts/check-package.sh" "$here/build/package"
    ;;
screenshots)
    install_missing
    cmake -S "$here" -B "$here/build/demo" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORADESK_TESTS=ON
    cmake --build "$here/build/demo" -j "$jobs" --target quorel-oradesk-demo
    screenshots "$here/build/demo" "$here/docs/screenshots"
    echo "screenshots in docs/screenshots"
    ;;
package)
    install_missing "${package_tools[@]}"
    "$here/scripts/check-package.sh" "$here/build/package"
    ;;
demo)
    install_missing
    # The simulator comes with the tests; only the demo itself is built.
    cmake -S "$here" -B "$here/build/demo" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORADESK_TESTS=ON
    cmake --build "$here/build/demo" -j "$jobs" --target quorel-oradesk-demo
    exec "$here/build/demo/bin/quorel-oradesk-demo"
    ;;
cli)
    install_missing
    # The simulated desk of --simulate comes with the tests: only the two programs are built.
    cmake -S "$here" -B "$here/build/demo" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORADESK_TESTS=ON
    cmake --build "$here/build/demo" -j "$jobs" --target quorel-oradesk-cli quorel-oradesk-cli-sim
    shift
    exec "$here/build/demo/bin/quorel-oradesk-cli" "$@"
    ;;
udev-rule)
    # Gives the logged-in user the controllers and the update-mode device.
    as_root install -m 0644 "$here/src/platform/linux/70-quorel-oradesk.rules" \
        /etc/udev/rules.d/70-quorel-oradesk.rules
    as_root udevadm control --reload-rules
    as_root udevadm trigger
    echo "Installed. Unplug the controller and plug it in again."
    ;;
*)
    echo "usage: $0 run|test|demo|package|screenshots|cli|udev-rule" >&2
    exit 2
    ;;
esac
