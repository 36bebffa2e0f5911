#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace quorvela::viewer {

// A photo made ready for the preview, or why it could not be.
struct PreviewImage {
    QImage Image;          // upright, fitted into the box; null when the photo cannot be shown
    QString Error;         // for a person; empty when the image is there
    QSize StoredSize;      // the decoded picture's size as stored (a RAW's: its embedded preview's)
    int Orientation = 1;   // the EXIF orientation applied (1 to 8); 1 for HEIF, turned by libheif
    int ScaleEighths = 8;  // the DCT scaling used: the picture was decoded at this many eighths
};

}  // namespace quorvela::viewer
