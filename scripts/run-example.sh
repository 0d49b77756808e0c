#!/usr/bin/env bash
# Builds the pagedom tool and runs it on a bundled example page: by default
# `pagedom tree examples/catalog.html`; any arguments replace that command
# line, e.g. ./scripts/run-example.sh roundtrip examples/*
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target pagedom-tool
if [ $# -eq 0 ]; then
    set -- tree examples/catalog.html
fi
exec ./build/pagedom "$@"
