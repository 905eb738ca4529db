#!/usr/bin/env bash
# Builds KelvraSet and runs every suite, then runs them all again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

jobs=$(nproc 2>/dev/null || echo 2)

echo "== Build and test =="
cmake -S . -B out/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build out/test -j "$jobs"
ctest --test-dir out/test --output-on-failure -j "$jobs"

echo "== The same suites under the sanitizers =="
cmake -S . -B out/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVRA_SANITIZE=ON -DKELVRA_BENCH=OFF
cmake --build out/asan -j "$jobs"
ctest --test-dir out/asan --output-on-failure -j "$jobs"
