#!/usr/bin/env bash
# Fuzzes the metadata reader with libFuzzer for a given time.
#   tests/fuzz/run.sh [SECONDS] [JOBS]
# Seeds: every photo of the corpus plus the kept regression inputs. New crashes land in
# fuzz-out/crashes; copy each into tests/fuzz/regressions with a name that says what it guards.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-600}
jobs=${2:-$(nproc)}
corpus_dir=${QUORVELA_CORPUS_DIR:-$(pwd)/../shared/corpus}
build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVELA_SANITIZE=ON -DQUORVELA_FUZZ=ON -DQUORVELA_BUILD_GUI=OFF -DQUORVELA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target reader_fuzzer
mkdir -p fuzz-out/work fuzz-out/crashes
seeds=fuzz-out/seeds
rm -rf "$seeds" && mkdir -p "$seeds"
cp "$corpus_dir"/*.jpg "$seeds"/ 2>/dev/null || true
find tests/fuzz/regressions -type f ! -name README -exec cp {} "$seeds"/ \;
root=$(pwd)
cd fuzz-out  # libFuzzer writes one log per job into the current folder
"$root/$build/bin/reader_fuzzer" work seeds \
  -max_total_time="$seconds" -jobs="$jobs" -workers="$jobs" -max_len=131072 -timeout=5 -rss_limit_mb=2048 \
  -artifact_prefix=crashes/ -print_final_stats=1 >/dev/null 2>&1 || true
grep -h -E 'stat::number_of_executed_units|Done [0-9]+ runs' fuzz-*.log | tail -n "$jobs"
echo "crashes:"; ls crashes
