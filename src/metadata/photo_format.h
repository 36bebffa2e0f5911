#pragma once

#include <array>
#include <string_view>

namespace quorvela::metadata {

// What a file holds, told from its first bytes (and, for the TIFF-based raw files that look
// alike, from their tags and name).
enum class PhotoFormat {
    Unknown,
    Jpeg,
    Tiff,
    Cr2,
    Nef,
    Nrw,
    Arw,
    Sr2,
    Srf,
    Dng,
    Pef,
    Srw,
    ThreeFr,
    Erf,
    Iiq,
    Rwl,
    Orf,
    Rw2,
    Raf,
    Mrw,
    Crw,
    Cr3,
    Heic,
    Heif,
    Avif
};

// The file names of cameras' RAW files, upper-case, without the dot, with the format each
// names. For most, the content tells the format; a TIFF-based file whose content looks like
// any other TIFF is named by its extension (NamesFormat).
struct RawExtension {
    std::string_view Extension;
    PhotoFormat Format;
    bool NamesFormat;
};
inline constexpr std::array<RawExtension, 19> kRawExtensions = {{
    {"CR2", PhotoFormat::Cr2, true},     {"NEF", PhotoFormat::Nef, true},  {"NRW", PhotoFormat::Nrw, true},
    {"ARW", PhotoFormat::Arw, true},     {"SR2", PhotoFormat::Sr2, true},  {"SRF", PhotoFormat::Srf, true},
    {"DNG", PhotoFormat::Dng, true},     {"PEF", PhotoFormat::Pef, true},  {"SRW", PhotoFormat::Srw, true},
    {"3FR", PhotoFormat::ThreeFr, true}, {"ERF", PhotoFormat::Erf, true},  {"IIQ", PhotoFormat::Iiq, true},
    {"RWL", PhotoFormat::Rwl, true},     {"CR3", PhotoFormat::Cr3, false}, {"CRW", PhotoFormat::Crw, false},
    {"ORF", PhotoFormat::Orf, false},    {"RW2", PhotoFormat::Rw2, false}, {"RAF", PhotoFormat::Raf, false},
    {"MRW", PhotoFormat::Mrw, false},
}};

// The short upper-case name of a format, as file types are commonly called ("JPEG", "3FR").
constexpr std::string_view FormatName(PhotoFormat format) {
    switch (format) {
        case PhotoFormat::Jpeg:
            return "JPEG";
        case PhotoFormat::Tiff:
            return "TIFF";
        case PhotoFormat::Cr2:
            return "CR2";
        case PhotoFormat::Nef:
            return "NEF";
        case PhotoFormat::Nrw:
            return "NRW";
        case PhotoFormat::Arw:
            return "ARW";
        case PhotoFormat::Sr2:
            return "SR2";
        case PhotoFormat::Srf:
            return "SRF";
        case PhotoFormat::Dng:
            return "DNG";
        case PhotoFormat::Pef:
            return "PEF";
        case PhotoFormat::Srw:
            return "SRW";
        case PhotoFormat::ThreeFr:
            return "3FR";
        case PhotoFormat::Erf:
            return "ERF";
        case PhotoFormat::Iiq:
            return "IIQ";
        case PhotoFormat::Rwl:
            return "RWL";
        case PhotoFormat::Orf:
            return "ORF";
        case PhotoFormat::Rw2:
            return "RW2";
        case PhotoFormat::Raf:
            return "RAF";
        case PhotoFormat::Mrw:
            return "MRW";
        case PhotoFormat::Crw:
            return "CRW";
        case PhotoFormat::Cr3:
            return "CR3";
        case PhotoFormat::Heic:
            return "HEIC";
        case PhotoFormat::Heif:
            return "HEIF";
        case PhotoFormat::Avif:
            return "AVIF";
        case PhotoFormat::Unknown:
            break;
    }
    return "Unknown";
}

}  // namespace quorvela::metadata
