#!/usr/bin/env bash
# Fuzzes one target with libFuzzer for a given time.
#   tests/fuzz/run.sh [SECONDS] [JOBS] [TARGET]
# TARGET: reader_fuzzer (the metadata reader, the default), iso_media_fuzzer (HEIF, AVIF and
# CR3 boxes), raf_fuzzer, tiff_fuzzer (TIFF-structured raw files and MRW), camera_table_fuzzer,
# settings_fuzzer or xmp_fuzzer (XMP packets). Seeds: the target's kept regression inputs, plus
# every photo of the corpus for the reader, the files of its formats from the formats corpus
# for a container target, the shipped camera table for the table reader, a settings file as
# the program writes it for the settings reader, and the sidecars of the XMP corpus for the
# XMP parser. QUORVELA_FUZZ_PREBUILT=1 skips the build, so several targets built once can run
# side by side. Work and new crashes land in fuzz-out/TARGET/{work,crashes}; copy each crash
# into the target's regression folder with a name that says what it guards.
# QUORVELA_FUZZ_BUILD and QUORVELA_FUZZ_OUT put the build and fuzz-out elsewhere (absolute
# folders), so a fuzzing run leaves a shared checkout's own folders alone.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-600}
jobs=${2:-$(nproc)}
target=${3:-reader_fuzzer}
corpus_dir=${QUORVELA_CORPUS_DIR:-$(pwd)/../shared/corpus}
formats_dir=${QUORVELA_FORMATS_DIR:-$(pwd)/../shared/corpus-formats}
xmp_dir=${QUORVELA_XMP_DIR:-$(pwd)/../shared/corpus-xmp}
case "$target" in
  reader_fuzzer|raf_fuzzer|tiff_fuzzer) regressions=tests/fuzz/regressions; max_len=131072 ;;
  iso_media_fuzzer) regressions=tests/fuzz/regressions; max_len=262144 ;;
  camera_table_fuzzer) regressions=tests/fuzz/camera_table_regressions; max_len=4096 ;;
  settings_fuzzer) regressions=tests/fuzz/settings_regressions; max_len=8192 ;;
  xmp_fuzzer) regressions=tests/fuzz/xmp_regressions; max_len=65536 ;;
  *) echo "unknown target: $target" >&2; exit 2 ;;
esac
build=${QUORVELA_FUZZ_BUILD:-build/fuzz}
if [ "${QUORVELA_FUZZ_PREBUILT:-0}" != 1 ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVELA_SANITIZE=ON -DQUORVELA_FUZZ=ON -DQUORVELA_BUILD_GUI=OFF -DQUORVELA_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" --target "$target"
fi
out=${QUORVELA_FUZZ_OUT:-fuzz-out}/$target
mkdir -p "$out/work" "$out/crashes"
seeds=$out/seeds
rm -rf "$seeds" && mkdir -p "$seeds"
case "$target" in
  reader_fuzzer) cp "$corpus_dir"/*.jpg "$seeds"/ 2>/dev/null || true ;;
  iso_media_fuzzer) cp "$formats_dir"/*.{heic,heif,hif,avif,cr3} "$seeds"/ 2>/dev/null || true ;;
  raf_fuzzer) cp "$formats_dir"/*.raf "$seeds"/ 2>/dev/null || true ;;
  tiff_fuzzer) cp "$formats_dir"/*.{dng,cr2,nef,rw2,mrw,crw} "$seeds"/ 2>/dev/null || true ;;
  camera_table_fuzzer) cp data/cam_equiv.exp "$seeds"/ ;;
  xmp_fuzzer) cp "$xmp_dir"/*.xmp "$seeds"/ 2>/dev/null || true ;;
  settings_fuzzer)
    printf '[CHECKMARK]\r\n0=1\r\n1=1\r\n2=0\r\n3=1\r\n4=0\r\n5=0\r\n[RadioButton]\r\n0=0\r\n[LensVAL]\r\n0=8,2\r\n1=38\r\n[FilterMake]\r\n2=\r\n[FilterModel]\r\n3=\r\n[FilterOn]\r\n4=0\r\n[RealLength]\r\n5=0\r\n[MakerTag]\r\n6=\r\n[MakerData]\r\n7=\r\n[MakerNote]\r\n8=0\r\n[INI]\r\nIgnoreWA=28\r\nUseStepsWA=10\r\nPath=/home/me/photos\r\nLabels=0\r\nTree=185\r\nWinStatusTop=0\r\nWinStatusLeft=0\r\nWinStatusWidth=855\r\nWinStatusHeight=571\r\nWinStatusMain=3\r\n' >"$seeds"/vintrop.ini
    ;;
esac
find "$regressions" -type f ! -name README -exec cp {} "$seeds"/ \;
root=$(pwd)
cd "$out"  # libFuzzer writes one log per job into the current folder
rm -f fuzz-*.log
case "$build" in /*) bin=$build/bin ;; *) bin=$root/$build/bin ;; esac
"$bin/$target" work seeds \
  -max_total_time="$seconds" -jobs="$jobs" -workers="$jobs" -max_len="$max_len" -timeout=5 -rss_limit_mb=2048 \
  -artifact_prefix=crashes/ -print_final_stats=1 >/dev/null 2>&1 || true
grep -h -E 'stat::number_of_executed_units|Done [0-9]+ runs' fuzz-*.log | tail -n "$jobs"
echo "crashes:"; ls crashes
