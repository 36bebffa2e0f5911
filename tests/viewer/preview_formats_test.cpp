// The preview of RAW, HEIF/HEIC and AVIF photos: which files give a picture, which a message,
// and which way up the picture comes out.
#include <QImage>
#include <QTest>
#include <QTransform>
#include <algorithm>
#include <filesystem>

#include "support/test_files.h"
#include "viewer/preview_decoder.h"
#include "viewer_photos.h"

using quorvela::viewer::DecodePreview;
using quorvela::viewer::PreviewImage;
using quorvela::viewer::test::RawPhoto;

namespace {

const QSize kBox(218, 218);
const std::filesystem::path kFormats = QUORVELA_FORMATS_DIR;

PreviewImage Decode(const std::vector<std::uint8_t>& bytes, const char* name) {
    const quorvela::testing::TempDir dir;
    return DecodePreview(dir.Write(name, bytes).string(), kBox);
}

// Sets the byte `after` bytes past the only occurrence of `pattern`.
bool Patch(std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t>& pattern, std::size_t after,
           std::uint8_t value) {
    const auto found = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
    const auto at = static_cast<std::size_t>(found - bytes.begin()) + pattern.size() + after;
    if (found == bytes.end() || at >= bytes.size() ||
        std::search(found + 1, bytes.end(), pattern.begin(), pattern.end()) != bytes.end()) {
        return false;
    }
    bytes[at] = value;
    return true;
}

// The picture in 3 x 3 cells, each within a tolerance of the other's.
bool LooksAlike(const QImage& a, const QImage& b) {
    const QImage x = a.scaled(3, 3, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage y = b.scaled(3, 3, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (int i = 0; i < 9; ++i) {
        const QRgb p = x.pixel(i % 3, i / 3);
        const QRgb q = y.pixel(i % 3, i / 3);
        if (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) > 60)
            return false;
    }
    return true;
}

}  // namespace

class PreviewFormatsTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        if (!std::filesystem::exists(kFormats / "truth.json")) QSKIP("corpus of other formats absent");
    }

    // "image" rows name the shown picture's shape; the others how the message starts.
    void corpusFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        const QString cannotDecode = "This HEIF file could not be decoded: ";
        const QString preview = "This RAW file's preview image ";
        const QString cannotRead = "This RAW file cannot be read: ";
        for (const auto& [file, expected] :
             std::initializer_list<std::pair<const char*, QString>>{{"apple_iphonexr_heic_01.heic", "image landscape"},
                                                                    {"apple_heic_04.heic", "image portrait"},
                                                                    {"heic_03.heic", "image landscape"},
                                                                    {"heic_02.heic", "image landscape"},
                                                                    {"heif_05.heif", "image landscape"},
                                                                    {"hmd_nokia83_heif_01.heif", "image portrait"},
                                                                    {"canon_hif_01.hif", "image landscape"},
                                                                    {"sony_hif_01.hif", "image landscape"},
                                                                    {"avif_02.avif", "image square"},
                                                                    {"avif_exif_01.avif", "image square"},
                                                                    {"fujifilm_raf_01.raf", "image landscape"},
                                                                    {"panasonic_rw2_01.rw2", "image square"},
                                                                    {"quicktime_heic_01.heic", cannotDecode},
                                                                    {"bad_heic_01.heic", cannotDecode},
                                                                    {"bad_heic_02.heic", cannotDecode},
                                                                    {"bad_raf_01.raf", cannotRead},
                                                                    {"bad_rw2_01.rw2", cannotRead},
                                                                    {"canon_eos_cr2_01.cr2", cannotRead},
                                                                    {"canon_r6_cr3_01.cr3", cannotRead},
                                                                    {"dng_02.dng", preview + "is cut off."},
                                                                    {"adobe_dng_01.dng", preview},
                                                                    {"canon_crw_01.crw", preview},
                                                                    {"canon_eos_cr3_01.cr3", preview},
                                                                    {"minolta_mrw_01.mrw", preview},
                                                                    {"nikon_nef_01.nef", preview}}) {
            QTest::newRow(file) << file << expected;
        }
    }
    void corpusFiles() {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        const PreviewImage preview = DecodePreview((kFormats / file.toStdString()).string(), kBox);
        if (!expected.startsWith("image")) {
            QVERIFY(preview.Image.isNull());
            QVERIFY2(preview.Error.startsWith(expected), qPrintable(preview.Error));
            return;
        }
        QVERIFY2(preview.Error.isEmpty(), qPrintable(preview.Error));
        const QSize size = preview.Image.size();
        QVERIFY(size.width() <= kBox.width() && size.height() <= kBox.height());
        const int shape = size.width() - size.height();
        QCOMPARE(expected, shape > 0 ? "image landscape" : shape < 0 ? "image portrait" : "image square");
    }

    // Stonehenge with its rotation property (quarter turns anticlockwise) changed and, in one
    // row, its EXIF orientation set to 6: the rotation property alone decides.
    void heifRotationPropertyDecidesWhichWayIsUp_data() {
        QTest::addColumn<int>("quarterTurns");
        QTest::addColumn<int>("exifOrientation");
        QTest::newRow("a quarter turn") << 1 << 1;
        QTest::newRow("three quarter turns") << 3 << 1;
        QTest::newRow("EXIF orientation 6 is not applied on top") << 0 << 6;
    }
    void heifRotationPropertyDecidesWhichWayIsUp() {
        QFETCH(int, quarterTurns);
        QFETCH(int, exifOrientation);
        std::vector<std::uint8_t> bytes = quorvela::testing::ReadFileBytes(kFormats / "heic_03.heic");
        const PreviewImage upright = Decode(bytes, "upright.heic");
        // The file's one `irot` box and its IFD0 Orientation entry (big-endian), as exiftool -v3 shows them.
        QVERIFY(Patch(bytes, {0, 0, 0, 9, 'i', 'r', 'o', 't'}, 0, static_cast<std::uint8_t>(quarterTurns)));
        QVERIFY(Patch(bytes, {0x01, 0x12, 0, 3, 0, 0, 0, 1, 0}, 1, static_cast<std::uint8_t>(exifOrientation)));
        const PreviewImage turned = Decode(bytes, "turned.heic");
        QCOMPARE(turned.StoredSize, QSize(300, 200));
        QCOMPARE(turned.Orientation, 1);
        QVERIFY(LooksAlike(turned.Image, upright.Image.transformed(QTransform().rotate(-90 * quarterTurns))));
    }

    // A DNG with the RAW's orientation in IFD0 and a 320 x 240 preview, its left half red.
    void rawPreviewIsTurnedByTheRawsOrientation_data() {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("previewsOwn");  // the embedded JPEG's own orientation, not to be applied again
        QTest::addColumn<QPoint>("red");       // where the red half shows
        QTest::newRow("1 upright") << 1 << 0 << QPoint(5, 80);
        QTest::newRow("3 upside down") << 3 << 0 << QPoint(212, 80);
        QTest::newRow("6 turned clockwise") << 6 << 0 << QPoint(80, 5);
        QTest::newRow("6, the JPEG saying so too") << 6 << 6 << QPoint(80, 5);
        QTest::newRow("8 turned anticlockwise") << 8 << 0 << QPoint(80, 212);
    }
    void rawPreviewIsTurnedByTheRawsOrientation() {
        QFETCH(int, orientation);
        QFETCH(int, previewsOwn);
        QFETCH(QPoint, red);
        for (const bool bitmap : {false, true}) {
            RawPhoto photo{{}, static_cast<std::uint16_t>(orientation), bitmap, std::nullopt};
            photo.Preview.Width = 320;
            photo.Preview.Height = 240;
            if (previewsOwn != 0) photo.Preview.Orientation = static_cast<std::uint16_t>(previewsOwn);
            const PreviewImage preview = Decode(RawPhotoBytes(photo), "photo.dng");
            QVERIFY2(preview.Error.isEmpty(), qPrintable(preview.Error));
            QCOMPARE(preview.Orientation, orientation);
            QCOMPARE(preview.StoredSize, QSize(320, 240));
            QCOMPARE(preview.ScaleEighths, bitmap ? 8 : 6);  // the DCT scaling applies to the embedded JPEG
            QCOMPARE(preview.Image.size(), orientation > 4 ? QSize(163, 218) : QSize(218, 163));
            QVERIFY(qRed(preview.Image.pixel(red)) > 200 && qBlue(preview.Image.pixel(red)) < 60);
        }
    }

    void damagedFilesGiveAMessage() {
        RawPhoto claimsTooMuch{{}, 1, false, 0xFFFFFFF0U};
        QCOMPARE(Decode(RawPhotoBytes(claimsTooMuch), "long.dng").Error, "This RAW file's preview image is cut off.");
        std::vector<std::uint8_t> bytes = quorvela::testing::ReadFileBytes(kFormats / "heif_05.heif");
        bytes.resize(bytes.size() / 2);
        QVERIFY(Decode(bytes, "cut.heif").Error.startsWith("This HEIF file could not be decoded: "));
        QCOMPARE(Decode(std::vector<std::uint8_t>(4096, 'x'), "notes.raw").Error,
                 "This photo cannot be shown: it is not a JPEG, HEIF or RAW file.");
    }
};

QTEST_MAIN(PreviewFormatsTest)
#include "preview_formats_test.moc"
