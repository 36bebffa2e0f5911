#!/bin/sh
# Writes tests/analysis/data/lens_truth.tsv: for each photo of the corpus folders, the lens text
# exiftool reads from the same places the engine looks, in the same order (EXIF LensModel,
# Canon's maker-note LensModel, Nikon's maker-note Lens), or "unknown lens". For the photos
# listed in NOTES below a third column holds the engine's text and a fourth why it is so: where
# the two differ, or where exiftool finds a lens somewhere the engine does not look.
# exiftool's Composite Lens of older Canons (no LensModel entry) is the zoom range of the
# camera settings, "28.0 - 135.0 mm", not a lens: those photos are "unknown lens" here.
#   tools/make_lens_truth.sh ../shared/corpus ../shared/corpus-formats
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
out=$here/tests/analysis/data/lens_truth.tsv
mkdir -p "$(dirname "$out")"

# name<TAB>engine's text<TAB>reason
NOTES='nikon_d70_03.jpg	unknown lens	the lens is only in XMP (aux:Lens "100.0 mm f/2.8", written by GIMP), which the engine does not read'

{
    printf '# file\texiftool\tengine (when it differs)\treason\n'
    for folder in "$@"; do
        exiftool -q -q -m -f -T -charset exif=cp1252 -FileName -EXIF:LensModel -Canon:LensModel -Nikon:Lens \
            $(find "$folder" -maxdepth 1 -type f ! -name '*.md' ! -name '*.json' | sort) 2>/dev/null |
            awk -F'\t' -v differences="$NOTES" '
                BEGIN {
                    n = split(differences, lines, "\n")
                    for (i = 1; i <= n; i++) { split(lines[i], f, "\t"); engine[f[1]] = f[2]; reason[f[1]] = f[3] }
                }
                {
                    text = "unknown lens"
                    for (i = 2; i <= 4; i++) if ($i != "-" && $i != "") { text = $i; break }
                    sub(/[ \t]+$/, "", text)
                    printf "%s\t%s\t%s\t%s\n", $1, text, engine[$1], reason[$1]
                }'
    done
} >"$out"
