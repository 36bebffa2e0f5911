#include "photo_record.h"

#include "common/ascii.h"
#include "path_lines.h"

namespace quorvela::analysis {

PhotoRecord TakeRecord(FileResult& file) {
    PhotoRecord photo;
    photo.Path = std::move(file.Path);
    photo.Categories = {{file.Focal, file.Iso, file.Aperture, file.Shutter, file.Lens, file.Rating}};
    photo.FocalMm = file.FocalMm;
    photo.RealFocal = file.RealFocal;
    photo.LensRange = file.LensRange;
    photo.MakeModel = std::move(file.MakeModel);
    photo.MakerNotes = std::move(file.MakerNotes);
    photo.DebugInfo = std::move(file.DebugInfo);
    return photo;
}

std::string LineFor(const PhotoRecord& photo, Quantity quantity, const AnalysisSettings& settings) {
    const std::string& category = photo.Categories[quantity];
    if (category.empty()) return {};
    const std::string& mm = photo.MakeModel;
    const std::string& mn = photo.MakerNotes;
    switch (quantity) {
        case Quantity::FocalLength:
            return settings.UseSteps ? FocalLineStepped(category, photo.DebugInfo, photo.Path, mm, mn)
                                     : FocalLine(category, photo.Path, mm, mn);
        case Quantity::Iso:
            // The lines show the digits and the f-number as read; the categories are filled.
            return IsoLine(common::RemoveChar(category, '_'), photo.Path, mm, mn);
        case Quantity::Aperture:
            return ApertureLine(common::RemoveChar(category, '_'), photo.Path, mm, mn);
        case Quantity::Shutter:
            return ShutterLine(category, photo.Path, mm, mn);
        case Quantity::Lens:
        case Quantity::Rating:
            return LensLine(category, photo.Path, mm, mn);
    }
    return {};
}

}  // namespace quorvela::analysis
