#pragma once

#include <cstdint>
#include <span>

namespace quorvela::fuzz {

// Reads `bytes` as a JPEG (and, when they start like a TIFF file, as a TIFF) and runs every
// query the analysis makes, so a fault anywhere in the reader shows up.
void ReadOneInput(std::span<const std::uint8_t> bytes);

// Walks `bytes` as an ISO base media file both ways (the HEIF item path and the CR3 box path)
// whatever its 'ftyp' says, then reads it as a file.
void ReadIsoInput(std::span<const std::uint8_t> bytes);

// Reads `bytes` as a RAF file: its first bytes are made the RAF mark.
void ReadRafInput(std::span<const std::uint8_t> bytes);

// Reads `bytes` as a TIFF-structured file (TIFF, ORF, RW2, MRW, ...) under a raw file's name
// and under a TIFF name, so both ways of naming it run.
void ReadTiffInput(std::span<const std::uint8_t> bytes);

}  // namespace quorvela::fuzz
