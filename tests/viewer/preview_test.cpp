// The preview's decoding: DCT scaling, EXIF orientation, fitting, and damaged files.
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "demo_folder.h"
#include "support/test_files.h"
#include "viewer/preview_decoder.h"
#include "viewer/preview_loader.h"
#include "viewer_photos.h"

using quorvela::viewer::DctScaleEighths;
using quorvela::viewer::DecodePreview;
using quorvela::viewer::Orient;
using quorvela::viewer::PreviewImage;
using quorvela::viewer::PreviewLoader;

class PreviewTest : public QObject {
    Q_OBJECT

  private:
    static std::string Write(const quorvela::testing::TempDir& dir, const char* name,
                             const quorvela::viewer::test::PhotoTags& photo) {
        const auto path = dir.path() / name;
        quorvela::viewer::test::WritePhoto(path, photo);
        return path.string();
    }
    static bool Reddish(QRgb c) { return qRed(c) > 200 && qBlue(c) < 60; }
    static bool Bluish(QRgb c) { return qBlue(c) > 200 && qRed(c) < 60; }

  private slots:
    void orient_data() {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSize>("size");
        // Where the stored top-left pixel ends up.
        QTest::addColumn<QPoint>("topLeftGoesTo");
        QTest::newRow("1 upright") << 1 << QSize(3, 2) << QPoint(0, 0);
        QTest::newRow("2 mirrored") << 2 << QSize(3, 2) << QPoint(2, 0);
        QTest::newRow("3 upside down") << 3 << QSize(3, 2) << QPoint(2, 1);
        QTest::newRow("4 flipped") << 4 << QSize(3, 2) << QPoint(0, 1);
        QTest::newRow("5 transposed") << 5 << QSize(2, 3) << QPoint(0, 0);
        QTest::newRow("6 turned clockwise") << 6 << QSize(2, 3) << QPoint(1, 0);
        QTest::newRow("7 transversed") << 7 << QSize(2, 3) << QPoint(1, 2);
        QTest::newRow("8 turned anticlockwise") << 8 << QSize(2, 3) << QPoint(0, 2);
        QTest::newRow("9 unknown") << 9 << QSize(3, 2) << QPoint(0, 0);
    }
    void orient() {
        QFETCH(int, orientation);
        QFETCH(QSize, size);
        QFETCH(QPoint, topLeftGoesTo);
        QImage image(3, 2, QImage::Format_RGB32);
        image.fill(Qt::black);
        image.setPixel(0, 0, qRgb(255, 0, 0));
        const QImage turned = Orient(image, orientation);
        QCOMPARE(turned.size(), size);
        QCOMPARE(turned.pixel(topLeftGoesTo), qRgb(255, 0, 0));
    }

    void dctScale_data() {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<int>("eighths");
        QTest::newRow("small fits") << QSize(200, 100) << 8;
        QTest::newRow("just larger") << QSize(300, 200) << 6;
        QTest::newRow("twice") << QSize(436, 300) << 4;
        QTest::newRow("camera size") << QSize(4288, 2848) << 1;
        QTest::newRow("portrait") << QSize(1000, 1744) << 1;
        QTest::newRow("empty") << QSize(0, 0) << 8;
    }
    void dctScale() {
        QFETCH(QSize, stored);
        QFETCH(int, eighths);
        QCOMPARE(DctScaleEighths(stored, QSize(218, 218)), eighths);
        // The decoded size never falls below what the box shows.
        const int longSide = std::max(stored.width(), stored.height());
        if (longSide > 218) QVERIFY(longSide * eighths / 8 >= 218);
    }

    void decodesFittedAndUpright() {
        const quorvela::testing::TempDir dir;
        quorvela::viewer::test::PhotoTags photo;
        photo.Width = 640;
        photo.Height = 480;
        const PreviewImage plain = DecodePreview(Write(dir, "plain.jpg", photo), QSize(218, 218));
        QVERIFY2(plain.Error.isEmpty(), qPrintable(plain.Error));
        QCOMPARE(plain.StoredSize, QSize(640, 480));
        QCOMPARE(plain.ScaleEighths, 3);
        QCOMPARE(plain.Image.size(), QSize(218, 163));
        QVERIFY(Reddish(plain.Image.pixel(5, 80)));
        QVERIFY(Bluish(plain.Image.pixel(212, 80)));

        photo.Orientation = 6;  // turned clockwise for showing: the red left half comes on top
        const PreviewImage turned = DecodePreview(Write(dir, "turned.jpg", photo), QSize(218, 218));
        QCOMPARE(turned.Orientation, 6);
        QCOMPARE(turned.Image.size(), QSize(163, 218));
        QVERIFY(Reddish(turned.Image.pixel(80, 5)));
        QVERIFY(Bluish(turned.Image.pixel(80, 212)));
    }

    void smallPhotosAreNotEnlarged() {
        const quorvela::testing::TempDir dir;
        quorvela::viewer::test::PhotoTags photo;  // 64 x 48
        const PreviewImage preview = DecodePreview(Write(dir, "small.jpg", photo), QSize(218, 218));
        QCOMPARE(preview.Image.size(), QSize(64, 48));
    }

    void damagedFilesGiveAMessage_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("not a jpeg") << QByteArray("this is text, not a photo");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header only") << QByteArray("\xFF\xD8\xFF\xD9", 4);
    }
    void damagedFilesGiveAMessage() {
        QFETCH(QByteArray, bytes);
        const quorvela::testing::TempDir dir;
        const auto path = dir.Write("bad.jpg", std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        const PreviewImage preview = DecodePreview(path.string(), QSize(218, 218));
        QVERIFY(preview.Image.isNull());
        QVERIFY(preview.Error.startsWith("This photo"));
    }

    void aPhotoCutShortGivesAMessage() {
        const quorvela::testing::TempDir dir;
        quorvela::viewer::test::PhotoTags photo;
        photo.Width = 400;
        photo.Height = 300;
        std::vector<std::uint8_t> bytes = quorvela::viewer::test::PhotoBytes(photo);
        bytes.resize(bytes.size() / 2);
        const auto path = dir.Write("cut.jpg", bytes);
        const PreviewImage preview = DecodePreview(path.string(), QSize(218, 218));
        QVERIFY(preview.Image.isNull());
        QVERIFY(preview.Error.contains("cut short"));
    }

    void filesThatAreNoPhotosGiveAMessage() {
        const PreviewImage missing = DecodePreview("/nonexistent/photo.jpg", QSize(218, 218));
        QVERIFY(missing.Image.isNull());
        QVERIFY(missing.Error.startsWith("This photo cannot be read"));

        // Neither read into memory nor waited on.
        const quorvela::testing::TempDir dir;
        const std::string huge = (dir.path() / "huge.jpg").string();
        QVERIFY(::truncate(dir.Write("huge.jpg", {0xFF, 0xD8}).c_str(), quorvela::viewer::kPreviewFileLimit + 1) == 0);
        QVERIFY(DecodePreview(huge, QSize(218, 218)).Error.contains("too large"));
        const std::string fifo = (dir.path() / "fifo.jpg").string();
        QVERIFY(::mkfifo(fifo.c_str(), 0600) == 0);
        QCOMPARE(DecodePreview(fifo, QSize(218, 218)).Error, QString("This is not a photo file."));

        // A name that is not UTF-8 is opened by its bytes.
        quorvela::viewer::test::PhotoTags photo;
        const std::string latin1 = Write(dir, "caf\xE9.jpg", photo);
        QVERIFY(!DecodePreview(latin1, QSize(218, 218)).Image.isNull());
    }

    void corpusPhotos() {
        if (!quorvela::testing::HaveCorpus()) QSKIP("photo corpus absent");
        const auto corpus = quorvela::testing::CorpusDir();
        QElapsedTimer timer;
        timer.start();
        const PreviewImage large = DecodePreview((corpus / "nikon_d90_01.jpg").string(), QSize(218, 218));
        qInfo("nikon_d90_01.jpg (%dx%d) decoded for the preview in %lld ms", large.StoredSize.width(),
              large.StoredSize.height(), static_cast<long long>(timer.elapsed()));
        QVERIFY2(large.Error.isEmpty(), qPrintable(large.Error));
        QCOMPARE(large.ScaleEighths, 1);
        QCOMPARE(large.Image.width(), 218);
        // Cut after the header: a message, not a grey square.
        const PreviewImage cut = DecodePreview((corpus / "canon_eos350d_01.jpg").string(), QSize(218, 218));
        QVERIFY(cut.Image.isNull());
        QVERIFY(cut.Error.contains("cut short"));
        // Stored on its side with orientation 6.
        const PreviewImage side = DecodePreview((corpus / "nikon_d70_02.jpg").string(), QSize(218, 218));
        QCOMPARE(side.Orientation, 6);
        QVERIFY(side.Image.height() > side.Image.width());
    }

    void theDemosTurnedPhotoShowsUpright() {
        const auto photos = quorvela::samples::DemoPhotos();
        for (std::size_t i = 0; i < photos.size(); ++i) {
            if (photos[i].Orientation == 1) continue;
            const quorvela::testing::TempDir dir;
            const auto path =
                dir.Write("turned.jpg", quorvela::samples::DemoPhotoBytes(photos[i], static_cast<int>(i)));
            const PreviewImage preview = DecodePreview(path.string(), QSize(218, 218));
            QCOMPARE(preview.StoredSize, QSize(photos[i].Height, photos[i].Width));  // stored on its side
            QCOMPARE(preview.Image.size(), QSize(218, 163));                         // shown as drawn
            // Sky above, hills below.
            const QRgb top = preview.Image.pixel(5, 5);
            const QRgb bottom = preview.Image.pixel(5, 158);
            QVERIFY(qBlue(top) > qGreen(bottom) / 2 && qBlue(top) > 150);
            QVERIFY(qGreen(bottom) > qBlue(bottom));
            return;
        }
        QFAIL("the demo folder has no turned photo");
    }

    void loaderAnswersOnlyTheLatestRequest() {
        const quorvela::testing::TempDir dir;
        quorvela::viewer::test::PhotoTags photo;
        const std::string first = Write(dir, "first.jpg", photo);
        const std::string second = Write(dir, "second.jpg", photo);
        std::vector<std::string> answered;
        PreviewLoader loader(QSize(218, 218),
                             [&](const std::string& path, const PreviewImage&) { answered.push_back(path); });
        QSignalSpy idle(&loader, &PreviewLoader::Idle);
        loader.Request(first);
        loader.Request(second);
        QTRY_COMPARE(idle.count(), 1);  // once, when the latest request has been answered
        QCOMPARE(answered, std::vector<std::string>{second});
        QVERIFY(loader.IsIdle());
    }

    // A waiter must learn that no answer will come, whichever way the requests ended.
    void loaderFallsIdleOnceNothingIsPending_data() {
        QTest::addColumn<int>("requests");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<int>("answers");
        QTest::newRow("one request answered") << 1 << false << 1;
        QTest::newRow("one request cancelled") << 1 << true << 0;
        QTest::newRow("three requests, the latest answered") << 3 << false << 1;
        QTest::newRow("three requests cancelled") << 3 << true << 0;
    }
    void loaderFallsIdleOnceNothingIsPending() {
        QFETCH(int, requests);
        QFETCH(bool, cancel);
        QFETCH(int, answers);
        const quorvela::testing::TempDir dir;
        const std::string path = Write(dir, "photo.jpg", quorvela::viewer::test::PhotoTags{});
        int answered = 0;
        PreviewLoader loader(QSize(218, 218), [&](const std::string&, const PreviewImage&) { ++answered; });
        QVERIFY(loader.IsIdle());
        QSignalSpy idle(&loader, &PreviewLoader::Idle);
        for (int i = 0; i < requests; ++i) loader.Request(path);
        if (cancel) loader.Cancel();
        QVERIFY(!loader.IsIdle());
        QTRY_COMPARE(idle.count(), 1);
        QVERIFY(loader.IsIdle());
        QCOMPARE(answered, answers);
    }
};

QTEST_MAIN(PreviewTest)
#include "preview_test.moc"
