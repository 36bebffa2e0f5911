#include "file_analysis.h"

#include <sys/stat.h>

#include "common/code_page.h"
#include "file_values.h"
#include "filter.h"
#include "lens_and_date.h"
#include "metadata/img_data.h"
#include "path_lines.h"

namespace quorvela::analysis {

namespace {

void KeepRecordPieces(const std::string& path, const AnalysisSettings& settings, const metadata::TimgData& reader,
                      FileResult& result) {
    result.Path = path;
    result.MakeModel = MakeModelText(reader);
    result.MakerNotes = Show2MakerNotes(reader, settings.AddMakerNotes);
    result.DebugInfo = Debuginfo(reader);
}

}  // namespace

bool IsReadableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

FileResult AnalyseFile(const std::string& path, const AnalysisSettings& settings,
                       const equivalence::EquivalentList& table, metadata::TimgData& reader, bool keepRecord) {
    FileResult result;
    reader.CollectTags = true;
    reader.RenderOnDemand = true;  // every query goes through TagTextByName or FindNextTag
    if (IsReadableFile(path)) {
        reader.ReadJpegFile(path);
    } else {
        reader.ResetReader();
    }
    if (settings.FilterOn) {
        const FilterVerdict verdict = JudgeFile(reader, settings.Filter);
        if (verdict != FilterVerdict::Passed) {
            result.Passed = false;
            result.Undated = verdict == FilterVerdict::Undated;
            return result;
        }
    }
    result.Lens = common::Cp1252ToUtf8(LensText(reader));
    if (keepRecord) KeepRecordPieces(path, settings, reader, result);
    const char separator = reader.DecimalSeparator;
    const PathListQuantity shown = settings.PathList;
    // The path-list pieces are read only for the files that get a line.
    auto pieces = [&](auto&& build) {
        result.PathLine = build(MakeModelText(reader), Show2MakerNotes(reader, settings.AddMakerNotes));
        result.LinePath = path;
    };

    const std::string lengthText = equivalence::Get35mmLens(reader, settings.Lens, table);

    if (const std::int64_t iso = GetIsoValue(reader); iso != 0) {
        const std::string digits = std::to_string(iso);
        result.Iso = LeftFill(digits, 6);
        if (shown == PathListQuantity::Iso) {
            pieces([&](const std::string& mm, const std::string& mn) { return IsoLine(digits, path, mm, mn); });
        }
    }

    if (const std::string fNumber = GetApertureText(reader); fNumber != "n/a") {
        result.Aperture = LeftFill(fNumber, 6);
        if (shown == PathListQuantity::Aperture) {
            pieces([&](const std::string& mm, const std::string& mn) { return ApertureLine(fNumber, path, mm, mn); });
        }
    }

    const double seconds = ExposureSeconds(GetExposureText(reader), separator);
    if (std::string shutter = ShutterCategory(seconds, settings.FractionShutter, separator); !shutter.empty()) {
        result.Shutter = std::move(shutter);
        if (shown == PathListQuantity::Shutter) {
            pieces([&](const std::string& mm, const std::string& mn) {
                return ShutterLine(result.Shutter, path, mm, mn);
            });
        }
    }

    if (shown == PathListQuantity::Lens) {
        pieces([&](const std::string& mm, const std::string& mn) { return LensLine(result.Lens, path, mm, mn); });
    }

    if (!lengthText.empty()) {
        result.Analysed = true;
        result.FocalMm = RoundFocalLength(lengthText);
        result.Focal = FocalCategory(lengthText, settings.UseSteps, settings.StepSize, settings.IgnoreUpTo);
        if (!result.Focal.empty() && shown == PathListQuantity::FocalLength) {
            pieces([&](const std::string& mm, const std::string& mn) {
                return settings.UseSteps ? FocalLineStepped(result.Focal, Debuginfo(reader), path, mm, mn)
                                         : FocalLine(result.Focal, path, mm, mn);
            });
        }
    }
    return result;
}

}  // namespace quorvela::analysis
