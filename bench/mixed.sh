# The mixed tree of bench/run.sh: JPEG, HEIF and RAW photos side by side, the cost of one
# photo of each kind with one reading thread. Sourced by bench/run.sh, which sets `corpus`,
# `formats` and BENCH_LINK.

# Median processor time (user + system, from the kernel's accounting in microseconds) in seconds
# of a command over `runs` runs, after one warm-up. Processor time, not wall time: the machine is
# shared, and a busy neighbour stretches wall times but hardly the time the run itself spends.
median_seconds() {
  local runs=$1
  shift
  python3 - "$runs" "$@" <<'PY'
import os, subprocess, sys
runs, command = int(sys.argv[1]), sys.argv[2:]
def once():
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, _, usage = os.wait4(child.pid, 0)
    return usage.ru_utime + usage.ru_stime
once()
times = sorted(once() for _ in range(runs))
print(f"{times[(len(times) - 1) // 2]:.6f}")
PY
}

# Copies (or hard-links) the files named on stdin round-robin into DEST, M of them, 100 a folder,
# named with EXTENSION or, when it is empty, with the source's own extension in capitals.
fill_kind() {
  local dest=$1 m=$2 extension=$3 sources=() i folder
  mapfile -t sources
  for ((i = 0; i < m; i++)); do
    folder="$dest/$((i / 100))"
    [ $((i % 100)) -eq 0 ] && mkdir -p "$folder"
    local src=${sources[$((i % ${#sources[@]}))]}
    local own=${src##*.}
    local name="$folder/IMG_$i.${extension:-${own^^}}"
    if [ "${BENCH_LINK:-0}" = 1 ]; then ln "$src" "$name"; else cp "$src" "$name"; fi
  done
}

# bench_mixed CLI TREE M RUNS
bench_mixed() {
  local cli=$1 tree=$2 m=$3 runs=$4
  echo "Building a mixed tree of $m JPEG, $m HEIF and $m RAW photos in $tree/mixed ..."
  mkdir -p "$tree/mixed" "$tree/empty"
  find "$corpus" -maxdepth 1 -name '*.jpg' ! -name 'bad_*' | sort | fill_kind "$tree/mixed/jpeg" "$m" JPG
  # The HEIF and RAW files that carry a camera's values; damaged samples are left out.
  printf '%s\n' "$formats"/{apple_heic_04.heic,apple_iphonexr_heic_01.heic,heic_03.heic,canon_hif_01.hif,sony_hif_01.hif} |
    fill_kind "$tree/mixed/heif" "$m" HEIC
  printf '%s\n' "$formats"/{canon_eos_cr2_01.cr2,canon_eos_cr3_01.cr3,canon_r6_cr3_01.cr3,nikon_nef_01.nef,adobe_dng_01.dng,dng_02.dng,fujifilm_raf_01.raf,panasonic_rw2_01.rw2,minolta_mrw_01.mrw} |
    fill_kind "$tree/mixed/raw" "$m" ""
  local args=(--json --jobs 1 --no-cache --path-list-file "$tree/mixed.pl")
  echo "Timing ($runs runs each, median processor time, one reading thread) ..."
  local base all kind t
  base=$(median_seconds "$runs" "$cli" analyse "$tree/empty" "${args[@]}")
  all=$(median_seconds "$runs" "$cli" analyse "$tree/mixed" "${args[@]}")
  declare -A cost
  for kind in jpeg heif raw; do
    t=$(median_seconds "$runs" "$cli" analyse "$tree/mixed/$kind" "${args[@]}")
    cost[$kind]=$(awk -v t="$t" -v b="$base" -v m="$m" 'BEGIN { printf "%.1f", (t - b) / m * 1e6 }')
  done
  echo
  echo "mixed tree: $m photos of each kind, $(nproc) cores, $(date -u +%Y-%m-%d), --jobs 1, processor time"
  printf '%-34s %10s\n' "start and end of a run (empty)" "$base s"
  printf '%-34s %10s\n' "the whole mixed tree" "$all s"
  for kind in jpeg heif raw; do
    printf '%-34s %8s us %8s x JPEG\n' "one $kind photo" "${cost[$kind]}" \
      "$(awk -v x="${cost[$kind]}" -v y="${cost[jpeg]}" 'BEGIN { if (y > 0) printf "%.2f", x / y; else print "n/a" }')"
  done
  rm -f "$tree/mixed.pl"
}
