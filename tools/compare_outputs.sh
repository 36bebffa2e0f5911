#!/usr/bin/env bash
# Writes every output of a set of quorvela-cli invocations into OUT, one file per invocation,
# so that two builds can be compared with `diff -r`: a refactoring must leave them identical.
# Usage: tools/compare_outputs.sh CLI OUT
set -u
cli=$(realpath "$1")
out=$2
shared=$(realpath "$(dirname "$0")/../../shared")
table=$(realpath "$(dirname "$0")/../data/cam_equiv.exp")
mkdir -p "$out"
out=$(realpath "$out")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A generated tree: corpus photos in nested folders, a RAW beside its JPEG, names in mixed case.
tree=$work/tree
mkdir -p "$tree/a/b/c" "$tree/Ünï" "$tree/empty"
i=0
for f in "$shared"/corpus/*.jpg; do
  case $((i % 4)) in
    0) cp "$f" "$tree/" ;;
    1) cp "$f" "$tree/a/" ;;
    2) cp "$f" "$tree/a/b/c/$(basename "${f%.jpg}").JPG" ;;
    3) cp "$f" "$tree/Ünï/" ;;
  esac
  i=$((i + 1))
done
for f in "$shared"/corpus-formats/*; do cp "$f" "$tree/a/b/"; done

n=0
run() {
  n=$((n + 1))
  local name
  name=$(printf '%02d' "$n")
  (cd "$work" && "$cli" "$@" >"$out/$name.out" 2>"$out/$name.err"; echo "exit $?" >>"$out/$name.err")
  if [ -f "$work/list.txt" ]; then mv "$work/list.txt" "$out/$name.list"; fi
  echo "$*" | sed "s|$work|WORK|g; s|$shared|SHARED|g" >"$out/$name.cmd"
  sed -i "s|$work|WORK|g; s|$shared|SHARED|g" "$out/$name.out" "$out/$name.err"
  [ -f "$out/$name.list" ] && sed -i "s|$work|WORK|g; s|$shared|SHARED|g" "$out/$name.list"
  true
}

for folder in "$shared/corpus" "$shared/corpus-formats" "$shared/corpus-xmp" "$tree"; do
  common=(--no-cache --table "$table" --path-list-file "$work/list.txt" --decimal-separator .)
  run analyse "$folder" "${common[@]}" --json
  run analyse "$folder" "${common[@]}"
  run analyse "$folder" "${common[@]}" --json --no-steps --fraction-shutter --maker-notes
  run analyse "$folder" "${common[@]}" --json --real-length --path-list iso
  run analyse "$folder" "${common[@]}" --json --always-calc --lens 6,1=35 --path-list aperture
  run analyse "$folder" "${common[@]}" --json --path-list shutter --step 5 --ignore 0
  run analyse "$folder" "${common[@]}" --json --path-list lens --coverage 24-70
  run analyse "$folder" "${common[@]}" --json --formats jpeg --no-subfolders
  run analyse "$folder" "${common[@]}" --json --make can --from 2005-01-01 --to 2020-12-31
  run analyse "$folder" "${common[@]}" --json --model d --lens-model unknown
  run analyse "$folder" "${common[@]}" --json --mn-label Quality --mn-data fine --maker-notes
  run analyse "$folder" "${common[@]}" --decimal-separator , --path-list focal --coverage 50
  # Through the cache: filled, then read back.
  run analyse "$folder" --cache "$work/photos.db" --table "$table" --path-list-file "$work/list.txt" --json
  run analyse "$folder" --cache "$work/photos.db" --table "$table" --path-list-file "$work/list.txt" --json
  rm -f "$work/photos.db"
done
run analyse "$work/missing" --no-cache --json
run tags "$shared"/corpus/*.jpg
run tags --json "$shared"/corpus-formats/*
run tags "$shared"/corpus-xmp/*
echo "$n invocations written to $out"
