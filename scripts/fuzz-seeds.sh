#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (the library instrumented, under
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each once over its
# committed seed corpora: the targets build, and every seed still holds the
# properties each target checks.  Long fuzzing runs are described in the
# README; this is the check that they can start.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh --fuzz

BUILD_DIR=${BUILD_DIR:-build-fuzz-seeds}
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -DPAGEDOM_BUILD_FUZZ=ON -DPAGEDOM_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" \
    --target fuzz_roundtrip fuzz_format fuzz_undo fuzz_correct fuzz_xml_roundtrip

# target, then its seed directories.
run() {
    local target=$1
    shift
    echo "-- $target"
    (cd fuzz && "../$BUILD_DIR/fuzz/$target" -runs=0 -timeout=30 "$@" 2>&1 | tail -n 2)
}
run fuzz_roundtrip corpus
run fuzz_format corpus-format corpus
run fuzz_undo corpus-undo
run fuzz_correct corpus-correct corpus-format corpus
run fuzz_xml_roundtrip corpus-xml
