#!/usr/bin/env bash
# Builds the pagedom tool and runs it on a bundled example page.
set -euo pipefail
cd "$(dirname "$0")/.."
"$(dirname "$0")/setup.sh"
cmake -S . -B build -DPAGEDOM_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target pagedom-tool
./build/pagedom "${@:-tree}"
