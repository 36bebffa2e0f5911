#!/bin/sh
# Writes tests/analysis/data/equivalent_truth.tsv: for each photo of the corpus folders what
# exiftool reads of its focal length and sensor: make, model, FocalLength, the stored
# FocalLengthIn35mmFormat and exiftool's own scale factor (ScaleFactor35efl, "-" when it
# finds none). The equivalent test takes a photo's right 35mm length from it: the stored
# value, else the focal length times the factor where lensfun's camera list agrees.
#   tools/make_equivalent_truth.sh ../shared/corpus ../shared/corpus-formats
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
out=$here/tests/analysis/data/equivalent_truth.tsv
mkdir -p "$(dirname "$out")"
{
    printf '# file\tmake\tmodel\tfocal\tstored35\tscale\n'
    for folder in "$@"; do
        exiftool -q -q -m -f -n -T -charset exif=cp1252 -FileName -Make -Model -FocalLength \
            -EXIF:FocalLengthIn35mmFormat -ScaleFactor35efl \
            $(find "$folder" -maxdepth 1 -type f ! -name '*.md' ! -name '*.json' | sort) 2>/dev/null
    done
} >"$out"
