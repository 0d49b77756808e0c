#!/usr/bin/env bash
# Builds the library and the tests and runs them with CTest.
# Extra arguments go to CMake; BUILD_DIR picks the build directory.
set -euo pipefail
cd "$(dirname "$0")/.."
"$(dirname "$0")/setup.sh"
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DPAGEDOM_BUILD_TESTS=ON "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
