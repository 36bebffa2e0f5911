#!/usr/bin/env bash
# Whole-program benchmark: a tree of N photos, timed on a warm cache, side by side:
#   a  quorvela-cli analyse TREE --json        (1 reading thread, and the default)
#   b  the floor: open, read the header, close (bench/floor)
#   c  exiftool -fast2 for the same tags
#   d  exiv2 for the same tags
# Prints median wall times, the ratios a/b, c/a, d/a and the peak memory of a.
#   bench/run.sh [N] [RUNS]     N photos (default 20000), RUNS timed runs of a and b (default 5)
#   bench/run.sh cold [N] [RUNS]
#       each timed run starts with an empty page cache (needs root): the one-process floor, the
#       floor on several folders at once (best of 2 to 64 processes), the default run, --jobs 1,
#       and re-runs with the photo cache, cold and warm; RUNS rounds of every command in turn
#   bench/run.sh memory [N]     peak memory of runs filling and reading the photo cache
#                               (default 100000 photos, hard links)
# The runs a and the cold runs use --no-cache unless they say otherwise; the photo cache of a
# timed run is a file beside the tree.
# Then a mixed tree of M JPEG, M HEIF and M RAW photos (BENCH_MIXED=M, default 2000; 0 skips
# it): the cost of one photo of each kind with one reading thread, beside the JPEG's.
# BENCH_LINK=1 makes the trees of hard links instead of copies (fast to build for large N).
# BENCH_BUILD=DIR times the programs of an already configured build folder instead of the
# release preset's; BENCH_OURS_ONLY=1 times a and b only (exiftool and exiv2 take minutes);
# BENCH_MIXED_ONLY=1 times the mixed tree only.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=warm
if [ "${1:-}" = cold ] || [ "${1:-}" = memory ]; then
  mode=$1
  shift
fi
[ "$mode" = memory ] && export BENCH_LINK=1 && set -- "${1:-100000}" 1
n=${1:-20000}
runs=${2:-5}
corpus=${QUORVELA_CORPUS_DIR:-$(pwd)/../shared/corpus}
formats=${QUORVELA_FORMATS_DIR:-$(dirname "$corpus")/corpus-formats}
source tools/deps.sh
quorvela_install_deps >/dev/null
if [ -n "${BENCH_BUILD:-}" ]; then
  cmake --build "$BENCH_BUILD" --target quorvela-cli floor_reader >/dev/null
  bin=$(cd "$BENCH_BUILD" && pwd)/bin
else
  cmake --preset release >/dev/null
  cmake --build --preset release --target quorvela-cli floor_reader >/dev/null
  bin=$(pwd)/build/release/bin
fi

tree=$(mktemp -d "${TMPDIR:-/tmp}/quorvela-bench.XXXXXX")
trap 'rm -rf "$tree" "$tree.pl" "$tree.time" "$tree.db" "$tree.db-wal" "$tree.db-shm"' EXIT
if [ "${BENCH_MIXED_ONLY:-0}" = 1 ]; then
  source bench/mixed.sh
  bench_mixed "$bin/quorvela-cli" "$tree" "${BENCH_MIXED:-2000}" "$runs"
  exit 0
fi
mapfile -t photos < <(find "$corpus" -maxdepth 1 -name '*.jpg' | sort)
echo "Building a tree of $n photos in $tree ..."
per_folder=100
for ((i = 0; i < n; i++)); do
  folder="$tree/$((i / (per_folder * 20)))/$((i / per_folder))"
  [ $((i % per_folder)) -eq 0 ] && mkdir -p "$folder"
  src=${photos[$((i % ${#photos[@]}))]}
  if [ "${BENCH_LINK:-0}" = 1 ]; then ln "$src" "$folder/IMG_$i.JPG"; else cp "$src" "$folder/IMG_$i.JPG"; fi
done

# Median wall time (s) and peak memory (KiB) of a command over `runs` runs, after one warm-up.
measure() {
  local times=() peak=0 out
  "$@" >/dev/null 2>&1 || true
  for ((r = 0; r < runs; r++)); do
    /usr/bin/time -o "$tree.time" -f "%e %M" "$@" >/dev/null 2>&1 || true
    out=$(tail -n 1 "$tree.time")
    times+=("${out% *}")
    [ "${out#* }" -gt "$peak" ] && peak=${out#* }
  done
  local median
  median=$(printf '%s\n' "${times[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  echo "$median $peak"
}

if [ "$mode" = memory ]; then
  fill=$( { /usr/bin/time -f "%e %M" "$bin/quorvela-cli" analyse "$tree" --json --path-list-file "$tree.pl" \
            --cache "$tree.db" >/dev/null; } 2>&1 | tail -n 1)
  reread=$( { /usr/bin/time -f "%e %M" "$bin/quorvela-cli" analyse "$tree" --json --path-list-file "$tree.pl" \
              --cache "$tree.db" >/dev/null; } 2>&1 | tail -n 1)
  plain=$( { /usr/bin/time -f "%e %M" "$bin/quorvela-cli" analyse "$tree" --json --path-list-file "$tree.pl" \
             --no-cache >/dev/null; } 2>&1 | tail -n 1)
  echo
  echo "$n photos (hard links), $(nproc) cores, $(date -u +%Y-%m-%d)"
  printf '%-44s %10s %12s\n' "run" "s" "peak MiB"
  printf '%-44s %10s %12s\n' "without the cache" "${plain% *}" "$((${plain#* } / 1024))"
  printf '%-44s %10s %12s\n' "filling the cache" "${fill% *}" "$((${fill#* } / 1024))"
  printf '%-44s %10s %12s\n' "from the cache" "${reread% *}" "$((${reread#* } / 1024))"
  exit 0
fi

if [ "$mode" = cold ]; then
  drop() { sync; echo 3 > /proc/sys/vm/drop_caches; }
  if ! drop 2>/dev/null; then
    echo "cold mode needs root and a writable /proc/sys/vm/drop_caches; this machine does not allow it" >&2
    exit 1
  fi
  # One timed run after emptying the page cache; its wall time is added to the list `key`.
  # Every round runs every command once, in turn: this disk's speed drifts by a third from one
  # minute to the next, and commands timed in separate minutes would compare the drift.
  # Timed to the millisecond by the shell's clock: time's hundredths round a 0.16 s re-run by
  # up to 3 %, too coarse for a ratio judged to the hundredth.
  cold() {
    local key=$1 start end
    shift
    drop
    start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 || true
    end=$EPOCHREALTIME
    # The shell writes the locale's decimal separator.
    awk -v a="${start/,/.}" -v b="${end/,/.}" 'BEGIN { printf "%.3f\n", b - a }' >> "$tree.t.$key"
  }
  median_of() { sort -g "$tree.t.$1" | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
  mapfile -t leaves < <(find "$tree" -mindepth 2 -maxdepth 2 -type d | sort)
  parallel_floor() { printf '%s\n' "${leaves[@]}" | xargs -P "$1" -n $(((${#leaves[@]} + $1 - 1) / $1)) "$bin/floor_reader"; }
  export -f parallel_floor 2>/dev/null || true
  cli=("$bin/quorvela-cli" analyse "$tree" --json --path-list-file "$tree.pl")
  degrees=(2 4 8 16 32 64)
  trap 'rm -rf "$tree" "$tree".t.* "$tree.pl" "$tree.time" "$tree.db" "$tree.db-wal" "$tree.db-shm"' EXIT
  echo "Timing cold ($runs rounds of every command, median) ..."
  for ((r = 0; r < runs; r++)); do
    cold floor1 "$bin/floor_reader" "$tree"
    for p in "${degrees[@]}"; do
      cold "p$p" bash -c "$(declare -p leaves bin); $(declare -f parallel_floor); parallel_floor $p"
    done
    cold jobs1 "${cli[@]}" --no-cache --jobs 1
    cold default "${cli[@]}" --no-cache
    rm -f "$tree.db" "$tree.db-wal" "$tree.db-shm"
    cold filling "${cli[@]}" --cache "$tree.db"
    cold rerun "${cli[@]}" --cache "$tree.db"
  done
  floor1=$(median_of floor1)
  best=""
  bestp=0
  for p in "${degrees[@]}"; do
    t=$(median_of "p$p")
    echo "  parallel floor, $p processes: $t s"
    if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; bestp=$p; fi
  done
  jobs1=$(median_of jobs1)
  default=$(median_of default)
  filling=$(median_of filling)
  rerun=$(median_of rerun)
  read -r warmcache _ < <(measure "${cli[@]}" --cache "$tree.db")
  read -r warmplain _ < <(measure "${cli[@]}" --no-cache)
  ratio() { awk -v x="$1" -v y="$2" 'BEGIN { if (x > 0 && y > 0) printf "%.3f", x / y; else print "n/a" }'; }
  echo
  echo "$n photos, cold page cache, $(nproc) cores, $(date -u +%Y-%m-%d)"
  printf '%-52s %10s\n' "command" "median s"
  printf '%-52s %10s\n' "floor, one process" "$floor1"
  printf '%-52s %10s\n' "floor, $bestp processes (best of 2 to 64)" "$best"
  printf '%-52s %10s\n' "analyse --no-cache --jobs 1" "$jobs1"
  printf '%-52s %10s\n' "analyse --no-cache (default jobs)" "$default"
  printf '%-52s %10s\n' "analyse, filling an empty photo cache" "$filling"
  printf '%-52s %10s\n' "analyse, re-run from the photo cache" "$rerun"
  printf '%-52s %10s\n' "warm: analyse --no-cache" "$warmplain"
  printf '%-52s %10s\n' "warm: analyse, re-run from the photo cache" "$warmcache"
  echo
  echo "default / parallel floor        $(ratio "$default" "$best")   (target <= 1.15)"
  echo "cold re-run / cold run          $(ratio "$rerun" "$default")   (target <= 0.25)"
  echo "warm re-run / warm run          $(ratio "$warmcache" "$warmplain")   (target <= 1)"
  exit 0
fi

tags=(-Make -Model -FocalLength -FocalLengthIn35mmFormat -FNumber -ExposureTime -ISO)
exiv2_keys=(-K Exif.Image.Make -K Exif.Image.Model -K Exif.Photo.FocalLength -K Exif.Photo.FocalLengthIn35mmFilm
            -K Exif.Photo.FNumber -K Exif.Photo.ExposureTime -K Exif.Photo.ISOSpeedRatings)
exiv2_all() { find "$tree" -name '*.JPG' -print0 | xargs -0 -n 500 exiv2 -q -Pv "${exiv2_keys[@]}"; }
export -f exiv2_all 2>/dev/null || true

echo "Timing ($runs runs each for a and b, median; 1 run for c and d) ..."
read -r a1 a1mem < <(measure "$bin/quorvela-cli" analyse "$tree" --json --jobs 1 --path-list-file "$tree.pl" --no-cache)
read -r an anmem < <(measure "$bin/quorvela-cli" analyse "$tree" --json --path-list-file "$tree.pl" --no-cache)
read -r ac acmem < <(measure "$bin/quorvela-cli" analyse "$tree" --json --path-list-file "$tree.pl" --cache "$tree.db")
read -r b bmem < <(measure "$bin/floor_reader" "$tree")
c=0 cmem=0 d=0 dmem=0
if [ "${BENCH_OURS_ONLY:-0}" != 1 ]; then
  runs_saved=$runs; runs=1
  read -r c cmem < <(measure exiftool -fast2 -r -n -T "${tags[@]}" "$tree")
  read -r d dmem < <(measure bash -c "$(declare -f exiv2_all); tree='$tree'; exiv2_keys=(${exiv2_keys[*]}); exiv2_all")
  runs=$runs_saved
fi
rm -f "$tree.pl" "$tree.time"

ratio() { awk -v x="$1" -v y="$2" 'BEGIN { if (x > 0 && y > 0) printf "%.2f", x / y; else print "n/a" }'; }
cores=$(nproc)
echo
echo "$n photos, $cores cores, $(date -u +%Y-%m-%d)"
printf '%-44s %10s %12s\n' "command" "median s" "peak MiB"
printf '%-44s %10s %12s\n' "a  quorvela-cli analyse --jobs 1" "$a1" "$((a1mem / 1024))"
printf '%-44s %10s %12s\n' "a  quorvela-cli analyse (default jobs)" "$an" "$((anmem / 1024))"
printf '%-44s %10s %12s\n' "a  ... re-run from the photo cache" "$ac" "$((acmem / 1024))"
printf '%-44s %10s %12s\n' "b  floor: open, read header, close" "$b" "$((bmem / 1024))"
printf '%-44s %10s %12s\n' "c  exiftool -fast2" "$c" "$((cmem / 1024))"
printf '%-44s %10s %12s\n' "d  exiv2" "$d" "$((dmem / 1024))"
echo
echo "a/b (1 job)        $(ratio "$a1" "$b")"
echo "a/b (default jobs) $(ratio "$an" "$b")"
echo "c/a (default jobs) $(ratio "$c" "$an")"
echo "d/a (default jobs) $(ratio "$d" "$an")"
if [ "${BENCH_MIXED:-2000}" != 0 ]; then
  echo
  rm -rf "${tree:?}"/*
  source bench/mixed.sh
  bench_mixed "$bin/quorvela-cli" "$tree" "${BENCH_MIXED:-2000}" "$runs"
fi
