#!/usr/bin/env bash
# clang-tidy over every source file of src/ with the checks of .clang-tidy; fails on any finding.
#   tools/tidy.sh BUILD_DIR      (a configured build folder with compile_commands.json)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: tidy.sh BUILD_DIR}
runner=$(command -v run-clang-tidy || command -v run-clang-tidy-14) || { echo "run-clang-tidy not found"; exit 1; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
# Qt's moc output and the generated headers are not ours: only files under src/ are checked.
"$runner" -p "$build" -j "$(nproc)" -quiet "$root/src/" >"$out" 2>&1
status=$?
findings=$(sed 's/\x1b\[[0-9;]*m//g' "$out" | grep -E '^[^ ].*: (warning|error): ' | sort -u)
if [ -n "$findings" ] || [ $status -ne 0 ]; then
  echo "$findings"
  [ -z "$findings" ] && tail -n 50 "$out"
  echo "clang-tidy: $(printf '%s\n' "$findings" | grep -c .) finding(s), exit status $status"
  exit 1
fi
echo "clang-tidy: no findings"
