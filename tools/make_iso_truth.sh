#!/bin/sh
# Writes tests/analysis/data/iso_truth.tsv: for each photo of the corpus folders, the ISO exiftool
# gives the photo (its ISO tag: the EXIF value when there is one, else the maker note's), and the
# ISO exiftool reads from the maker note alone (Canon's computed from the camera's base and
# automatic ISO, every other make's own ISO field), "-" where there is none. For the photos
# listed in NOTES below a fourth column holds the engine's maker-note ISO and a fifth why the
# two differ.
#   tools/make_iso_truth.sh ../shared/corpus ../shared/corpus-formats
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
out=$here/tests/analysis/data/iso_truth.tsv
mkdir -p "$(dirname "$out")"

# name<TAB>engine's maker-note ISO<TAB>reason
NOTES='nikon_e950_01.jpg	80	exiftool leaves the CCD sensitivity code 0 as it is; the note'"'"'s code list reads it as ISO 80, the photo'"'"'s EXIF ISO
nikon_e950_02.jpg	80	exiftool leaves the CCD sensitivity code 0 as it is; the note'"'"'s code list reads it as ISO 80, the photo'"'"'s EXIF ISO'

{
    printf '# file\tphoto ISO\tmaker-note ISO\tengine (when it differs)\treason\n'
    for folder in "$@"; do
        exiftool -q -q -m -f -T -FileName -ISO -Composite:ISO -MakerNotes:ISO -Nikon:CCDSensitivity \
            $(find "$folder" -maxdepth 1 -type f ! -name '*.md' ! -name '*.json' | sort) 2>/dev/null |
            awk -F'\t' -v differences="$NOTES" '
                BEGIN {
                    n = split(differences, lines, "\n")
                    for (i = 1; i <= n; i++) { split(lines[i], f, "\t"); engine[f[1]] = f[2]; reason[f[1]] = f[3] }
                }
                {
                    note = $3 != "-" ? $3 : $4 != "-" ? $4 : $5
                    printf "%s\t%s\t%s\t%s\t%s\n", $1, $2, note, engine[$1], reason[$1]
                }'
    done
} >"$out"
