#!/usr/bin/env bash
# Installs what the build needs on a fresh Debian machine (compiler, CMake,
# GoogleTest, pkg-config for the install test, Python for the layer check,
# the W3C DTDs the HTML DTD text is generated from; with --fuzz, clang); does
# nothing when everything is already there.
set -euo pipefail

need=()
command -v cmake >/dev/null 2>&1 || need+=(cmake)
command -v g++ >/dev/null 2>&1 || need+=(g++)
command -v make >/dev/null 2>&1 || need+=(make)
command -v python3 >/dev/null 2>&1 || need+=(python3)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
command -v pkg-config >/dev/null 2>&1 || need+=(pkg-config)
[ -d /usr/share/xml/w3c-sgml-lib/schema/dtd ] || need+=(w3c-sgml-lib)
# With --fuzz, also clang with its libFuzzer run-time, for the fuzz targets.
if [ "${1:-}" = "--fuzz" ]; then
    command -v clang++ >/dev/null 2>&1 || need+=(clang)
    compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-*.a" >/dev/null || need+=(libclang-rt-dev)
fi

if [ ${#need[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: missing ${need[*]}; run as root or install them" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${need[@]}" >/dev/null
fi
