#pragma once

#include <string_view>

namespace quorvela::metadata::tags {

// The dictionary's names of the tags other modules ask a directory for
// (TImageInfo::TagTextByName). A directory answers by name, not by number, on purpose: the
// first entry of that name wins wherever it was read, so a maker note whose table uses the
// same name (Casio's FocalLength) answers when the EXIF directory lacks the tag, and one
// name covers both numbers of a tag the dictionary lists twice (FocalPlaneXResolution of
// TIFF/EP and of EXIF). The spellings are the dictionary's own, as the tag listing prints them.
inline constexpr std::string_view Make = "Make";
inline constexpr std::string_view Model = "Model";
inline constexpr std::string_view ResolutionUnit = "ResolutionUnit";
inline constexpr std::string_view ExposureTime = "ExposureTime";
inline constexpr std::string_view FNumber = "FNumber";
inline constexpr std::string_view ISOSpeedRatings = "ISOSpeedRatings";
inline constexpr std::string_view ShutterSpeedValue = "ShutterSpeedValue";
inline constexpr std::string_view FocalLength = "FocalLength";
inline constexpr std::string_view FocalPlaneXResolution = "FocalPlaneXResolution";
inline constexpr std::string_view FocalPlaneYResolution = "FocalPlaneYResolution";
inline constexpr std::string_view FocalPlaneResolutionUnit = "FocalPlaneResolutionUnit";
inline constexpr std::string_view FocalLengthIn35mmFilm = "FocalLengthin35mmFilm";
inline constexpr std::string_view DateTimeOriginal = "DateTimeOriginal";
inline constexpr std::string_view LensModel = "LensModel";
inline constexpr std::string_view LensSpecification = "LensSpecification";
inline constexpr std::string_view Rating = "Rating";

}  // namespace quorvela::metadata::tags
