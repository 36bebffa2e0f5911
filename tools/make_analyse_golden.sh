#!/bin/sh
# Writes the corpus runs of `quorvela-cli analyse --json` that a later build must reproduce
# (tests/cli_analyse/analyse_golden_test.cpp): run it with a quorvela-cli built before a change
# to the engine, so the test shows what the change did to the output. The corpus folder is
# written as @CORPUS@.
#   tools/make_analyse_golden.sh build/asan/bin/quorvela-cli ../shared/corpus
set -eu
cli=$1
corpus=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
out=$here/tests/cli_analyse/data
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$out"
run() {
    name=$1
    shift
    LC_ALL=C "$cli" analyse "$corpus" --json --no-cache --jobs 2 --decimal-separator . \
        --table "$here/data/cam_equiv.exp" --path-list-file "$scratch/vt_debug.txt" "$@" |
        sed "s|$corpus|@CORPUS@|g" |
        # The lens tally is checked on its own; the frozen runs leave it out.
        python3 -c 'import json, sys; j = json.load(sys.stdin); j.pop("lens", None); print(json.dumps(j, indent=2, sort_keys=True, ensure_ascii=False))' \
            >"$out/$name.json"
}
run golden_default
run golden_real_unstepped --real-length --no-steps --path-list shutter --fraction-shutter
run golden_filtered --make canon --path-list aperture
