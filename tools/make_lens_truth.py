#!/usr/bin/env python3
"""Writes tests/analysis/data/lens_truth.tsv: for each photo of the given folders for which
exiftool names a lens (LensModel, LensID or Lens, the range of a compact's lens included), the name and the range in real millimetres as
exiftool reads them. The range is the one the name states ("EF16-35mm f/2.8L II USM"), else
Nikon's lens information, else LensInfo (EXIF LensSpecification or XMP), else the shortest
and longest length of a maker note (Canon's camera settings, Olympus's equipment). A fourth
column says why the engine is not expected to agree, for the photos listed in EXPECTED_MISSES.

    tools/make_lens_truth.py ../shared/corpus ../shared/corpus-formats
"""
import json
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(HERE, "tests", "analysis", "data", "lens_truth.tsv")

# Photos whose lens the engine does not find, and why.
EXPECTED_MISSES = {
    "pentax_k10d_01.jpg": "Pentax lens type number (3 44) without a range",
    "pentax_istdl_01.jpg": "Pentax lens type number (4 230) without a range",
    "olympus_e1_01.jpg": "Olympus equipment lens type number; the Olympus note is not decoded",
}

RANGE = re.compile(r"(\d+(?:\.\d+)?)(?:\s*-\s*(\d+(?:\.\d+)?))?\s*mm", re.IGNORECASE)


def numbers(value):
    if value is None:
        return []
    out = []
    for word in str(value).split():
        try:
            out.append(float(word))
        except ValueError:
            out.append(0.0)
    return out


def truth(entry):
    name = entry.get("LensModel") or entry.get("LensID") or entry.get("Lens")
    name = str(name).strip() if name is not None else ""
    match = RANGE.search(name)
    # exiftool's "Unknown 7-22mm" rounds the range of a Canon lens type it does not know.
    if match and not name.startswith("Unknown"):
        low = float(match.group(1))
        return name, low, float(match.group(2) or low)
    raw = entry.get("raw", {})
    for key in ("Lens", "LensInfo"):
        values = numbers(raw.get(key))
        if len(values) >= 2 and values[0] > 0 and values[1] >= values[0]:
            return name, values[0], values[1]
    low, high = raw.get("MinFocalLength"), raw.get("MaxFocalLength")
    if isinstance(low, (int, float)) and isinstance(high, (int, float)) and 0 < low <= high:
        return name, float(low), float(high)
    return name, 0.0, 0.0


def main(folders):
    tags = ["-LensModel", "-LensID", "-Lens", "-LensInfo", "-MinFocalLength", "-MaxFocalLength"]
    rows = []
    for folder in folders:
        files = sorted(
            os.path.join(folder, f)
            for f in os.listdir(folder)
            if os.path.isfile(os.path.join(folder, f)) and not f.endswith((".md", ".json"))
        )
        shown = json.loads(subprocess.run(["exiftool", "-q", "-q", "-j"] + tags + files,
                                          capture_output=True, text=True).stdout or "[]")
        raw = json.loads(subprocess.run(["exiftool", "-q", "-q", "-j", "-n"] + tags + files,
                                        capture_output=True, text=True).stdout or "[]")
        by_file = {e["SourceFile"]: e for e in raw}
        for entry in shown:
            entry["raw"] = by_file.get(entry["SourceFile"], {})
            name, low, high = truth(entry)
            if not name:
                continue
            base = os.path.basename(entry["SourceFile"])
            rows.append(f"{base}\t{name}\t{low:g}\t{high:g}\t{EXPECTED_MISSES.get(base, '')}")
    with open(OUT, "w", encoding="utf-8") as out:
        out.write("# file\texiftool's lens\tshortest mm\tlongest mm\twhy the engine differs\n")
        out.write("\n".join(sorted(rows)) + "\n")


if __name__ == "__main__":
    main(sys.argv[1:])
