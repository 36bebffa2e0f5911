#!/usr/bin/env bash
# What ratings and lenses cost a run: a tree of N corpus JPEGs without XMP (hard links), and
# the same tree with an XMP sidecar beside every photo (rating, label and lens). Times, median
# of RUNS, processor time (user + system) and wall time, for a run without the photo cache and
# a re-run from it; with BENCH_BEFORE=DIR (a build folder of an earlier version) that version's
# run without the cache on the tree without sidecars too.
#   bench/sidecars.sh [N] [RUNS]       (default 20000 photos, 7 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-20000}
runs=${2:-7}
corpus=${QUORVELA_CORPUS_DIR:-$(pwd)/../shared/corpus}
bin=${BENCH_BUILD:-build/release}/bin
cmake --build "${BENCH_BUILD:-build/release}" --target quorvela-cli >/dev/null
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvela-sidecars.XXXXXX")
trap 'rm -rf "$work"' EXIT
photos=()
for f in "$corpus"/*.jpg; do grep -aq "ns.adobe.com/xap/1.0/" "$f" || photos+=("$f"); done
for i in $(seq 0 $((n - 1))); do
  folder="$work/plain/d$((i / 100))"
  mkdir -p "$folder"
  ln "${photos[$((i % ${#photos[@]}))]}" "$folder/IMG_$i.JPG"
done
cp -al "$work/plain" "$work/sidecars"
for photo in "$work"/sidecars/*/*.JPG; do
  printf '<x:xmpmeta xmlns:x="adobe:ns:meta/"><rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"><rdf:Description xmlns:xmp="http://ns.adobe.com/xap/1.0/" xmlns:aux="http://ns.adobe.com/exif/1.0/aux/" xmp:Rating="4" xmp:Label="Select" aux:Lens="EF24-70mm f/2.8L II USM"/></rdf:RDF></x:xmpmeta>\n' >"$photo.xmp"
done
# Median of the runs of a command: "cpu wall" in seconds.
median() {
  local times=()
  for _ in $(seq "$runs"); do
    /usr/bin/time -o "$work/time" -f '%U %S %e' "$@" >/dev/null 2>&1
    times+=("$(awk '{printf "%.3f %.2f", $1 + $2, $3}' "$work/time")")
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}
echo "$n photos, $(nproc) cores, $(date -u +%Y-%m-%d); median cpu s, wall s"
for tree in plain sidecars; do
  "$bin/quorvela-cli" analyse "$work/$tree" --json --cache "$work/$tree.db" >/dev/null
  echo "$tree  no cache   $(median "$bin/quorvela-cli" analyse "$work/$tree" --json --no-cache)"
  echo "$tree  re-run     $(median "$bin/quorvela-cli" analyse "$work/$tree" --json --cache "$work/$tree.db")"
done
if [ -n "${BENCH_BEFORE:-}" ]; then
  echo "before plain no cache   $(median "$BENCH_BEFORE/bin/quorvela-cli" analyse "$work/plain" --json --no-cache)"
fi
