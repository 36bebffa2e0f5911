// The preview of RAW, HEIF/HEIC and AVIF photos: which files give a picture, which a message,
// and which way up the picture comes out.
#include <QImage>
#include <QTest>
#include <algorithm>
#include <array>
#include <filesystem>
#include <initializer_list>

#include "support/test_files.h"
#include "viewer/preview_decoder.h"
#include "viewer_photos.h"

using quorvela::viewer::DecodePreview;
using quorvela::viewer::PreviewImage;
using quorvela::viewer::test::PhotoTags;
using quorvela::viewer::test::RawPhoto;
using quorvela::viewer::test::RawPhotoBytes;

namespace {

const QSize kBox(218, 218);

std::filesystem::path FormatsDir() {
    return QUORVELA_FORMATS_DIR;
}

bool Reddish(QRgb c) {
    return qRed(c) > 200 && qBlue(c) < 60;
}
bool Bluish(QRgb c) {
    return qBlue(c) > 200 && qRed(c) < 60;
}

// Sets the byte `after` bytes past the end of the only occurrence of `pattern`.
bool Patch(std::vector<std::uint8_t>& bytes, std::initializer_list<std::uint8_t> pattern, std::size_t after,
           std::uint8_t value) {
    const auto found = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
    if (found == bytes.end() || std::search(found + 1, bytes.end(), pattern.begin(), pattern.end()) != bytes.end()) {
        return false;
    }
    const auto at = static_cast<std::size_t>(found - bytes.begin()) + pattern.size() + after;
    if (at >= bytes.size()) return false;
    bytes[at] = value;
    return true;
}

// The edge (a fifth of the picture) where green outweighs blue the most: where the grass is.
QString GreenestSide(const QImage& image) {
    const int w = image.width();
    const int h = image.height();
    const std::array<std::pair<QString, QRect>, 4> sides = {{{"top", QRect(0, 0, w, h / 5)},
                                                             {"bottom", QRect(0, h - h / 5, w, h / 5)},
                                                             {"left", QRect(0, 0, w / 5, h)},
                                                             {"right", QRect(w - w / 5, 0, w / 5, h)}}};
    QString greenest;
    double best = -1e9;
    for (const auto& [name, area] : sides) {
        double sum = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                sum += qGreen(image.pixel(x, y)) - qBlue(image.pixel(x, y));
        }
        const double mean = sum / std::max(1, area.width() * area.height());
        if (mean > best) best = mean, greenest = name;
    }
    return greenest;
}

PhotoTags Landscape() {
    PhotoTags photo;
    photo.Width = 320;
    photo.Height = 240;
    return photo;
}

}  // namespace

class PreviewFormatsTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        if (!std::filesystem::exists(FormatsDir() / "truth.json")) QSKIP("corpus of other formats absent");
    }

    // "image" rows name the shown picture's shape; the others a part of the message.
    void corpusFiles_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("HEIC, iPhone, thumbnail") << "apple_iphonexr_heic_01.heic"
                                                 << "image landscape";
        QTest::newRow("HEIC, iPhone, grid") << "apple_heic_04.heic"
                                            << "image portrait";
        QTest::newRow("HEIC, Nikon") << "heic_03.heic"
                                     << "image landscape";
        QTest::newRow("HEIF, generic brand") << "heic_02.heic"
                                             << "image landscape";
        QTest::newRow("HEIF, sample") << "heif_05.heif"
                                      << "image landscape";
        QTest::newRow("HEIF, turned by irot") << "hmd_nokia83_heif_01.heif"
                                              << "image portrait";
        QTest::newRow("HIF, Canon, 10 bits") << "canon_hif_01.hif"
                                             << "image landscape";
        QTest::newRow("HIF, Sony") << "sony_hif_01.hif"
                                   << "image landscape";
        QTest::newRow("AVIF") << "avif_02.avif"
                              << "image square";
        QTest::newRow("AVIF with EXIF") << "avif_exif_01.avif"
                                        << "image square";
        QTest::newRow("RAF with a JPEG preview") << "fujifilm_raf_01.raf"
                                                 << "image landscape";
        QTest::newRow("HEIF without picture data") << "quicktime_heic_01.heic"
                                                   << "This HEIF file could not be decoded";
        QTest::newRow("HEIC damaged 1") << "bad_heic_01.heic"
                                        << "This HEIF file could not be decoded";
        QTest::newRow("HEIC damaged 2") << "bad_heic_02.heic"
                                        << "This HEIF file could not be decoded";
        QTest::newRow("RAF damaged") << "bad_raf_01.raf"
                                     << "This RAW file cannot be read";
        QTest::newRow("RW2 damaged") << "bad_rw2_01.rw2"
                                     << "This RAW file cannot be read";
        QTest::newRow("DNG, preview cut off") << "dng_02.dng"
                                              << "This RAW file's preview image is cut off";
        QTest::newRow("DNG, dummy preview") << "adobe_dng_01.dng"
                                            << "This RAW file's preview image";
        QTest::newRow("CRW, dummy preview") << "canon_crw_01.crw"
                                            << "This RAW file's preview image";
        QTest::newRow("CR3, dummy preview") << "canon_eos_cr3_01.cr3"
                                            << "This RAW file's preview image";
        QTest::newRow("MRW, dummy preview") << "minolta_mrw_01.mrw"
                                            << "This RAW file's preview image";
        QTest::newRow("NEF, dummy preview") << "nikon_nef_01.nef"
                                            << "This RAW file's preview image";
        QTest::newRow("RW2, its 8 x 8 JPEG") << "panasonic_rw2_01.rw2"
                                             << "image square";
        QTest::newRow("CR2 without raw data") << "canon_eos_cr2_01.cr2"
                                              << "This RAW file cannot be read";
        QTest::newRow("CR3 without raw data") << "canon_r6_cr3_01.cr3"
                                              << "This RAW file cannot be read";
    }
    void corpusFiles() {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        const PreviewImage preview = DecodePreview((FormatsDir() / file.toStdString()).string(), kBox);
        if (!expected.startsWith("image")) {
            QVERIFY(preview.Image.isNull());
            QVERIFY2(preview.Error.startsWith(expected), qPrintable(preview.Error));
            return;
        }
        QVERIFY2(preview.Error.isEmpty(), qPrintable(preview.Error));
        const QSize size = preview.Image.size();
        QVERIFY(size.width() <= kBox.width() && size.height() <= kBox.height());
        const QString shape = size.width() > size.height()   ? "landscape"
                              : size.width() < size.height() ? "portrait"
                                                             : "square";
        QCOMPARE("image " + shape, expected);
    }

    // Stored 4608 x 3456 with a quarter turn in its properties: libheif turns it, and the EXIF
    // orientation (1) is not looked at.
    void heifTurnedByItsPropertiesIsShownTurned() {
        const PreviewImage preview = DecodePreview((FormatsDir() / "hmd_nokia83_heif_01.heif").string(), kBox);
        QCOMPARE(preview.StoredSize, QSize(4608, 3456));
        QCOMPARE(preview.Orientation, 1);
        QCOMPARE(preview.Image.size(), QSize(163, 218));
    }

    // Stonehenge (grass below the sky) with its rotation property set to each quarter turn
    // (anticlockwise) and, in one row, its EXIF orientation set to 6 as well: the rotation
    // property alone decides.
    void heifRotationPropertyDecidesWhichWayIsUp_data() {
        QTest::addColumn<int>("quarterTurns");
        QTest::addColumn<int>("exifOrientation");
        QTest::addColumn<QString>("grass");
        QTest::newRow("no turn") << 0 << 1 << "bottom";
        QTest::newRow("a quarter turn anticlockwise") << 1 << 1 << "right";
        QTest::newRow("half a turn") << 2 << 1 << "top";
        QTest::newRow("three quarter turns anticlockwise") << 3 << 1 << "left";
        QTest::newRow("EXIF orientation 6 is not applied on top") << 0 << 6 << "bottom";
    }
    void heifRotationPropertyDecidesWhichWayIsUp() {
        QFETCH(int, quarterTurns);
        QFETCH(int, exifOrientation);
        QFETCH(QString, grass);
        std::vector<std::uint8_t> bytes = quorvela::testing::ReadFileBytes(FormatsDir() / "heic_03.heic");
        // The file's one `irot` box and its IFD0 Orientation entry (big-endian), as exiftool -v3 shows them.
        QVERIFY(Patch(bytes, {0, 0, 0, 9, 'i', 'r', 'o', 't'}, 0, static_cast<std::uint8_t>(quarterTurns)));
        QVERIFY(Patch(bytes, {0x01, 0x12, 0, 3, 0, 0, 0, 1, 0}, 1, static_cast<std::uint8_t>(exifOrientation)));
        const quorvela::testing::TempDir dir;
        const PreviewImage preview = DecodePreview(dir.Write("turned.heic", bytes).string(), kBox);
        QVERIFY2(preview.Error.isEmpty(), qPrintable(preview.Error));
        QCOMPARE(preview.StoredSize, QSize(300, 200));
        QCOMPARE(GreenestSide(preview.Image), grass);
    }

    void rawPreviewIsTurnedByTheRawsOrientation_data() {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<QPoint>("red");  // where the stored left (red) half shows
        QTest::addColumn<QPoint>("blue");
        QTest::newRow("1 upright") << 1 << QSize(218, 163) << QPoint(5, 80) << QPoint(212, 80);
        QTest::newRow("2 mirrored") << 2 << QSize(218, 163) << QPoint(212, 80) << QPoint(5, 80);
        QTest::newRow("3 upside down") << 3 << QSize(218, 163) << QPoint(212, 80) << QPoint(5, 80);
        QTest::newRow("5 transposed") << 5 << QSize(163, 218) << QPoint(80, 5) << QPoint(80, 212);
        QTest::newRow("6 turned clockwise") << 6 << QSize(163, 218) << QPoint(80, 5) << QPoint(80, 212);
        QTest::newRow("7 transversed") << 7 << QSize(163, 218) << QPoint(80, 212) << QPoint(80, 5);
        QTest::newRow("8 turned anticlockwise") << 8 << QSize(163, 218) << QPoint(80, 212) << QPoint(80, 5);
    }
    void rawPreviewIsTurnedByTheRawsOrientation() {
        QFETCH(int, orientation);
        QFETCH(QSize, shown);
        QFETCH(QPoint, red);
        QFETCH(QPoint, blue);
        const quorvela::testing::TempDir dir;
        for (const bool bitmap : {false, true}) {
            RawPhoto photo{Landscape(), static_cast<std::uint16_t>(orientation), bitmap, std::nullopt};
            const auto path = dir.Write(bitmap ? "bitmap.dng" : "jpeg.dng", RawPhotoBytes(photo));
            const PreviewImage preview = DecodePreview(path.string(), kBox);
            QVERIFY2(preview.Error.isEmpty(), qPrintable(preview.Error));
            QCOMPARE(preview.Orientation, orientation);
            QCOMPARE(preview.StoredSize, QSize(320, 240));
            QCOMPARE(preview.ScaleEighths, bitmap ? 8 : 6);  // the DCT scaling applies to the embedded JPEG
            QCOMPARE(preview.Image.size(), shown);
            QVERIFY(Reddish(preview.Image.pixel(red)));
            QVERIFY(Bluish(preview.Image.pixel(blue)));
        }
    }

    // The embedded JPEG's own orientation must not turn the picture a second time.
    void rawOrientationIsNotAppliedTwice() {
        PhotoTags photo = Landscape();
        photo.Orientation = 6;
        const quorvela::testing::TempDir dir;
        const auto path = dir.Write("twice.dng", RawPhotoBytes(RawPhoto{photo, 6, false, std::nullopt}));
        const PreviewImage preview = DecodePreview(path.string(), kBox);
        QCOMPARE(preview.Orientation, 6);
        QCOMPARE(preview.Image.size(), QSize(163, 218));
    }

    void damagedRawsGiveAMessage_data() {
        QTest::addColumn<int>("keep");  // bytes kept of the file; 0 keeps all
        QTest::addColumn<quint32>("claimed");
        QTest::addColumn<QString>("message");
        QTest::newRow("preview longer than the file")
            << 0 << 0xFFFFFFF0U << "This RAW file's preview image is cut off.";
        QTest::newRow("preview cut in the middle") << 700 << 0U << "This RAW file's preview image";
        QTest::newRow("only the header") << 8 << 0U << "This RAW file cannot be read";
    }
    void damagedRawsGiveAMessage() {
        QFETCH(int, keep);
        QFETCH(quint32, claimed);
        QFETCH(QString, message);
        const std::optional<std::uint32_t> claim = claimed == 0 ? std::nullopt : std::optional<std::uint32_t>(claimed);
        std::vector<std::uint8_t> bytes = RawPhotoBytes(RawPhoto{Landscape(), 1, false, claim});
        if (keep > 0) bytes.resize(static_cast<std::size_t>(keep));
        const quorvela::testing::TempDir dir;
        const PreviewImage preview = DecodePreview(dir.Write("bad.dng", bytes).string(), kBox);
        QVERIFY(preview.Image.isNull());
        QVERIFY2(preview.Error.startsWith(message), qPrintable(preview.Error));
    }

    void heifCutShortGivesAMessage() {
        std::vector<std::uint8_t> bytes = quorvela::testing::ReadFileBytes(FormatsDir() / "heif_05.heif");
        bytes.resize(bytes.size() / 2);
        const quorvela::testing::TempDir dir;
        const PreviewImage preview = DecodePreview(dir.Write("cut.heif", bytes).string(), kBox);
        QVERIFY(preview.Image.isNull());
        QVERIFY2(preview.Error.startsWith("This HEIF file could not be decoded: "), qPrintable(preview.Error));
    }

    void fileOfNoKnownFormatGivesAMessage() {
        const quorvela::testing::TempDir dir;
        const auto path = dir.Write("notes.raw", std::vector<std::uint8_t>(4096, 'x'));
        const PreviewImage preview = DecodePreview(path.string(), kBox);
        QCOMPARE(preview.Error, QString("This photo cannot be shown: it is not a JPEG, HEIF or RAW file."));
    }
};

QTEST_MAIN(PreviewFormatsTest)
#include "preview_formats_test.moc"
