#!/usr/bin/env bash
# Builds KelvraSet and runs every suite, builds the Debian package and checks
# the files that describe it to the desktop, then runs the suites again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

# Only the tests need these: the package build, its validators, setpriv to
# run the installed program and a private history server as an unprivileged
# user, that server, udevadm to try the udev rule, a session bus with the
# accessibility bus and its Python client to read the window as a screen
# reader, and sqlite3 to try the history file as any other client would.
test_packages=(dpkg-dev desktop-file-utils appstream lintian util-linux udev postgresql
               dbus-daemon at-spi2-core python3-pyatspi sqlite3 poppler-utils)
missing=()
for p in "${test_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)

echo "== Layout =="
scripts/layout.sh

echo "== Build and test =="
# Built as the package is, so the package holds what the suites passed. Here
# a compiler warning fails the build; a warned file stays unbuilt, so it fails
# every run until mended. The sanitizers' tree and a user's own build keep
# warnings as warnings: a newer compiler's new ones must not stop them.
cmake -S . -B out/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
    -DKELVRA_DEB_BUILDFLAGS=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build out/test -j "$jobs"
ctest --test-dir out/test --output-on-failure -j "$jobs"

echo "== Debian package =="
rm -f out/test/kelvraset_*.deb
(cd out/test && cpack -G DEB)
deb=$(ls out/test/kelvraset_*.deb)
desktop-file-validate dist/*.desktop
appstreamcli validate --no-net dist/*.metainfo.xml
lintian --fail-on error,warning "$deb"
# Every dependency must resolve from the Debian archive.
apt-get install --simulate "./$deb" >/dev/null
echo "$deb: lintian clean, desktop entry and metainfo valid, dependencies resolve"

echo "== The same suites under the sanitizers =="
cmake -S . -B out/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVRA_SANITIZE=ON -DKELVRA_BENCH=OFF
cmake --build out/asan -j "$jobs"
ctest --test-dir out/asan --output-on-failure -j "$jobs"
