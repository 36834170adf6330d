#!/usr/bin/env bash
# Builds the Debian package and checks it: its file list, the desktop entry and AppStream
# metadata validators, lintian (tags accepted in packaging/lintian-accepted.txt), and that
# the program started through /usr/bin finds its English translation.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$here/build/package}"
jobs="$(nproc 2>/dev/null || echo 2)"

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORADESK_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr
# Only the package of this version: an older one may lie in the build directory.
rm -f "$build"/quorel-oradesk_*.deb
cmake --build "$build" -j "$jobs" --target package
deb="$(ls "$build"/quorel-oradesk_*.deb)"

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
(cd "$root" && find . ! -type d -printf '%p%l\n' | sed 's/\(quorel-oradesk[a-z-]*\)\(\.\.\/.*\)/\1 -> \2/' | sort) \
    > "$root.files"
if ! diff -u "$here/packaging/files.txt" "$root.files"; then
    echo "package file list differs from packaging/files.txt" >&2
    exit 1
fi
rm -f "$root.files"

desktop-file-validate "$root/usr/share/applications/quorel-oradesk.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/quorel-oradesk.metainfo.xml"

accepted="$(grep -v '^#' "$here/packaging/lintian-accepted.txt" | grep -v '^$' | paste -sd, || true)"
lintian --fail-on error,warning ${accepted:+--suppress-tags "$accepted"} "$deb"

# The translation sits beside the real program, not beside the link.
log="$(LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 QT_QPA_PLATFORM=offscreen \
    XDG_RUNTIME_DIR="$(mktemp -d)" XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data" \
    timeout 5 "$root/usr/bin/quorel-oradesk" 2>&1 || true)"
if ! grep -q "Translation loaded successfully." <<<"$log"; then
    echo "the English translation did not load when started through /usr/bin:" >&2
    echo "$log" >&2
    exit 1
fi
# The command line runs through its link too.
if ! "$root/usr/bin/quorel-oradesk-cli" --version | grep -q '^quorel-oradesk-cli [0-9]'; then
    echo "quorel-oradesk-cli did not start through /usr/bin" >&2
    exit 1
fi
echo "package checked: $deb"
