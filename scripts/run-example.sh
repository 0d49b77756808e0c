#!/usr/bin/env bash
# Builds the pagedom tool and runs it on a bundled example.
set -euo pipefail
cd "$(dirname "$0")/.."
"$(dirname "$0")/setup.sh"
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target pagedom-tool
if [ $# -eq 0 ]; then
    set -- tree
fi
./build/pagedom "$@"
