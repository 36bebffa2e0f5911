#!/usr/bin/env bash
# Sets up, builds the asan preset (AddressSanitizer + UBSan) and runs every test; then runs the
# tests of the threads that read, run and preview under ThreadSanitizer (the tsan preset).
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
quorvela_install_deps
cmake --preset asan >/dev/null
cmake --build --preset asan
export QT_QPA_PLATFORM=offscreen
ctest --preset asan -j "$(nproc)" "$@"
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan -j "$(nproc)"
