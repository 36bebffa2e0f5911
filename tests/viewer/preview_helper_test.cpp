// The preview helper: what the window and the helper say to each other, a decoder that hangs,
// crashes, exhausts its memory or babbles, the sandbox, and the real helper on real photos.
#include <signal.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "support/test_files.h"
#include "viewer/preview_decoder.h"
#include "viewer/preview_loader.h"
#include "viewer/preview_protocol.h"
#include "viewer_photos.h"

using quorvela::viewer::Parsed;
using quorvela::viewer::PreviewHelper;
using quorvela::viewer::PreviewImage;
using quorvela::viewer::PreviewLoader;
using std::chrono::milliseconds;

namespace {

const QSize kBox(218, 218);

std::span<const std::uint8_t> Bytes(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

void PutNumber(QByteArray& bytes, int at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

PreviewImage SmallPreview() {
    PreviewImage preview;
    preview.Image = QImage(3, 2, QImage::Format_RGB32);
    for (int i = 0; i < 6; ++i) preview.Image.setPixel(i % 3, i / 3, qRgb(40 * i, 255 - 40 * i, 7 * i));
    preview.StoredSize = QSize(30, 20);
    preview.Orientation = 6;
    preview.ScaleEighths = 2;
    return preview;
}

// The helper's CPU time in clock ticks: it grows only while the helper computes.
long CpuTicks(qint64 pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    for (int i = 0; i < 14 && stat >> field; ++i) {
    }
    return stat ? std::stol(field) : 0;
}

// The corpus's CR3 with the first box inside `moov` declaring a 64-bit size of 0, which makes
// LibRaw 0.20 loop for ever in open_file; empty when the corpus is absent.
std::vector<std::uint8_t> Cr3ThatHangsLibRaw() {
    std::ifstream file(std::filesystem::path(QUORVELA_FORMATS_DIR) / "canon_eos_cr3_01.cr3", std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    const auto number = [&bytes](std::size_t at) {
        return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 | std::uint32_t{bytes[at + 2]} << 8 |
               bytes[at + 3];
    };
    for (std::size_t at = 0; at + 32 <= bytes.size() && number(at) >= 8; at += number(at)) {
        if (std::memcmp(&bytes[at + 4], "moov", 4) != 0) continue;
        const auto child = bytes.begin() + static_cast<std::ptrdiff_t>(at) + 8;
        const std::uint8_t sizeFollows[4] = {0, 0, 0, 1};
        std::copy_n(sizeFollows, 4, child);
        std::fill_n(child + 8, 8, 0);  // the 64-bit size, after the box's type
        return bytes;
    }
    return {};
}

// A loader and the answers it gave, in order.
class Asker {
  public:
    explicit Asker(milliseconds limit, const QString& program = QStringLiteral(QUORVELA_TEST_HELPER))
        : loader_(
              kBox, [this](const std::string&, const PreviewImage& preview) { answers_.push_back(preview); },
              PreviewHelper{program, limit}) {}

    // The answer to `path`; none when it did not come within `waitMs`.
    std::optional<PreviewImage> Ask(const std::string& path, int waitMs = 30000) {
        const std::size_t before = answers_.size();
        loader_.Request(path);
        if (!QTest::qWaitFor([&] { return answers_.size() > before; }, waitMs)) return std::nullopt;
        return answers_.back();
    }
    PreviewLoader& Loader() { return loader_; }
    [[nodiscard]] std::size_t Answers() const { return answers_.size(); }

  private:
    std::vector<PreviewImage> answers_;
    PreviewLoader loader_;
};

}  // namespace

class PreviewHelperTest : public QObject {
    Q_OBJECT

  private:
    quorvela::testing::TempDir dir_;
    std::string photo_;

    [[nodiscard]] std::string Named(const char* name) const { return (dir_.path() / name).string(); }

  private slots:
    void initTestCase() {
        photo_ = Named("photo.jpg");
        quorvela::viewer::test::WritePhoto(photo_, {});
    }

    void aReplyArrivesWhole() {
        const PreviewImage sent = SmallPreview();
        const QByteArray bytes = quorvela::viewer::EncodeReply(sent);
        for (qsizetype cut = 0; cut < bytes.size(); ++cut) {
            QCOMPARE(quorvela::viewer::ParseReply(Bytes(bytes.left(cut)), kBox).State, Parsed::Incomplete);
        }
        const auto got = quorvela::viewer::ParseReply(Bytes(bytes + "next"), kBox);
        QCOMPARE(got.State, Parsed::Complete);
        QCOMPARE(got.Used, static_cast<std::size_t>(bytes.size()));
        QCOMPARE(got.Value.Image, sent.Image);
        QCOMPARE(got.Value.StoredSize, sent.StoredSize);
        QCOMPARE(got.Value.Orientation, 6);
        QCOMPARE(got.Value.ScaleEighths, 2);
        QVERIFY(got.Value.Error.isEmpty());

        PreviewImage failed;
        failed.Error = QStringLiteral("This photo cannot be shown: caf\u00e9.");
        const auto message = quorvela::viewer::ParseReply(Bytes(quorvela::viewer::EncodeReply(failed)), kBox);
        QCOMPARE(message.State, Parsed::Complete);
        QVERIFY(message.Value.Image.isNull());
        QCOMPARE(message.Value.Error, failed.Error);
        QCOMPARE(message.Value.StoredSize, QSize());  // not known
    }

    // Offsets: mark 0, stored size 4 and 8, orientation 12, eighths 16, message length 20.
    void aReplyThatBreaksTheRulesIsRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("box");
        const QByteArray good = quorvela::viewer::EncodeReply(SmallPreview());
        const auto changed = [&good](int at, std::uint32_t value) {
            QByteArray bytes = good;
            PutNumber(bytes, at, value);
            return bytes;
        };
        QTest::newRow("another mark") << QByteArray("XPV1" + good.mid(4)) << kBox;
        QTest::newRow("orientation 0") << changed(12, 0) << kBox;
        QTest::newRow("orientation 9") << changed(12, 9) << kBox;
        QTest::newRow("scaling 0 eighths") << changed(16, 0) << kBox;
        QTest::newRow("scaling 9 eighths") << changed(16, 9) << kBox;
        QTest::newRow("stored width below -1") << changed(4, 0xFFFFFFFEU) << kBox;
        QTest::newRow("message too long") << changed(20, quorvela::viewer::kMaxMessageBytes + 1) << kBox;
        QTest::newRow("image wider than the box") << good << QSize(2, 218);
        QTest::newRow("image higher than the box") << good << QSize(218, 1);
        QTest::newRow("neither image nor message") << quorvela::viewer::EncodeReply(PreviewImage{}) << kBox;
    }
    void aReplyThatBreaksTheRulesIsRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, box);
        QCOMPARE(quorvela::viewer::ParseReply(Bytes(bytes), box).State, Parsed::Malformed);
    }

    void requests_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<bool>("valid");
        QTest::newRow("a path") << QByteArray("/photos/caf\xE9.jpg") << kBox << true;
        QTest::newRow("no path") << QByteArray() << kBox << false;
        QTest::newRow("empty box") << QByteArray("/a.jpg") << QSize(0, 218) << false;
        QTest::newRow("huge box") << QByteArray("/a.jpg") << QSize(218, 5000) << false;
    }
    void requests() {
        QFETCH(QByteArray, path);
        QFETCH(QSize, box);
        QFETCH(bool, valid);
        const QByteArray bytes = quorvela::viewer::EncodeRequest({path.toStdString(), box});
        const auto got = quorvela::viewer::ParseRequest(Bytes(bytes));
        QCOMPARE(got.State, valid ? Parsed::Complete : Parsed::Malformed);
        if (!valid) return;
        QCOMPARE(got.Value.Path, path.toStdString());
        QCOMPARE(got.Value.Box, box);
        QCOMPARE(quorvela::viewer::ParseRequest(Bytes(bytes.chopped(1))).State, Parsed::Incomplete);
    }

    // Each ends in a "cannot be shown" preview, and the next photo shows from a fresh helper.
    void aMisbehavingDecoderEndsInAMessage_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("limitMs");
        QTest::addColumn<QString>("reason");
        QTest::newRow("hangs") << "hang.jpg" << 1000 << "took longer than 1 s";
        QTest::newRow("crashes") << "crash.jpg" << 1000 << "its decoder stopped";
        QTest::newRow("babbles") << "babble.jpg" << 1000 << "damaged answer";
        // Ended by the memory limit, not the clock: a message when the allocation fails, or the
        // helper's end in a sanitizer build, whose allocator gives up instead.
        QTest::newRow("allocates without end") << "hog.jpg" << 3000 << "";
    }
    void aMisbehavingDecoderEndsInAMessage() {
        QFETCH(QString, name);
        QFETCH(int, limitMs);
        QFETCH(QString, reason);
        Asker asker{milliseconds(limitMs)};
        const auto first = asker.Ask(photo_);
        QVERIFY(first && !first->Image.isNull());
        const qint64 firstHelper = asker.Loader().HelperProcessId();
        QVERIFY(firstHelper > 0);

        QElapsedTimer timer;
        timer.start();
        const auto failed = asker.Ask(Named(name.toUtf8().constData()));
        const qint64 took = timer.elapsed();
        QVERIFY(failed);
        QVERIFY(failed->Image.isNull());
        QVERIFY2(failed->Error.startsWith("This photo cannot be shown"), qPrintable(failed->Error));
        QVERIFY2(failed->Error.contains(reason), qPrintable(failed->Error));
        const bool byTheClock = failed->Error.contains("took longer");
        QCOMPARE(byTheClock, name.startsWith("hang"));
        QVERIFY2(byTheClock ? took >= limitMs : took < limitMs, qPrintable(QString::number(took)));
        QVERIFY2(took < limitMs + 2000, qPrintable(QString::number(took)));
        QVERIFY(asker.Loader().IsIdle());

        const auto next = asker.Ask(photo_);
        QVERIFY(next && !next->Image.isNull());
        QVERIFY(asker.Loader().HelperProcessId() != firstHelper);
    }

    // The real helper and LibRaw: a damaged CR3 no longer holds anything but its own preview.
    void aCr3ThatHangsLibRawEndsInAMessage() {
        const std::vector<std::uint8_t> bytes = Cr3ThatHangsLibRaw();
        if (bytes.empty()) QSKIP("photo corpus absent");
        const std::string damaged = dir_.Write("damaged_moov.cr3", bytes).string();
        Asker asker(milliseconds(1000), QString());  // quorvela-preview
        const auto failed = asker.Ask(damaged);
        QVERIFY(failed);
        QVERIFY2(failed->Error.contains("took longer than 1 s"), qPrintable(failed->Error));
        const auto next = asker.Ask(photo_);
        QVERIFY(next && !next->Image.isNull());
    }

    void destroyingTheLoaderWhileItsHelperHangsReturnsAtOnce() {
        auto asker = std::make_unique<Asker>(quorvela::viewer::kPreviewTimeLimit);
        asker->Loader().Request(Named("hang.jpg"));
        qint64 helper = 0;
        // Spinning: it has computed for a tenth of a second.
        QTRY_VERIFY((helper = asker->Loader().HelperProcessId()) > 0 && CpuTicks(helper) > 10);
        QElapsedTimer timer;
        timer.start();
        asker.reset();
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(::kill(static_cast<pid_t>(helper), 0), -1);
        QCOMPARE(errno, ESRCH);
    }

    void aNewerRequestDoesNotWaitForADecodeThatRunsLong() {
        Asker asker(quorvela::viewer::kPreviewTimeLimit);
        asker.Loader().Request(Named("hang.jpg"));
        QTest::qWait(1200);  // longer than a newer request waits for the photo before it
        QElapsedTimer timer;
        timer.start();
        const auto next = asker.Ask(photo_);
        QVERIFY(next && !next->Image.isNull());
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(asker.Answers(), std::size_t{1});  // the hung photo's answer never comes
    }

    void theSandboxForbids_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("told");
        QTest::newRow("writing a file") << "try-write.jpg"
                                        << "write: Operation not permitted";
        QTest::newRow("opening a socket") << "try-socket.jpg"
                                          << "socket: Operation not permitted";
        QTest::newRow("starting a program") << "try-exec.jpg"
                                            << "exec: Operation not permitted";
        QTest::newRow("signalling the window") << "try-signal.jpg"
                                               << "signal: Operation not permitted";
    }
    void theSandboxForbids() {
        QFETCH(QString, name);
        QFETCH(QString, told);
        Asker asker(quorvela::viewer::kPreviewTimeLimit);
        const std::string path = Named(name.toUtf8().constData());
        const auto answer = asker.Ask(path);
        QVERIFY(answer);
        QCOMPARE(answer->Error, told);
        QVERIFY(!std::filesystem::exists(path + ".written"));
    }

    // The sandbox lets libjpeg, libheif and LibRaw do all they do in the window's process.
    void realPhotosShowAsTheyDoInProcess() {
        std::vector<std::filesystem::path> photos;
        for (const auto* folder : {QUORVELA_FORMATS_DIR, ""}) {
            const std::filesystem::path root = *folder != '\0' ? folder : quorvela::testing::CorpusDir();
            if (!std::filesystem::is_directory(root)) continue;
            for (const auto& entry : std::filesystem::directory_iterator(root)) {
                const auto extension = entry.path().extension();
                if (extension != ".md" && extension != ".json") photos.push_back(entry.path());
            }
        }
        if (photos.empty()) QSKIP("photo corpus absent");
        Asker asker(quorvela::viewer::kPreviewTimeLimit, QString());  // quorvela-preview
        for (const auto& photo : photos) {
            const PreviewImage own = quorvela::viewer::DecodePreview(photo.string(), kBox);
            const auto helped = asker.Ask(photo.string());
            QVERIFY2(helped, photo.c_str());
            QVERIFY2(helped->Error == own.Error,
                     qPrintable(QString::fromStdString(photo.filename().string()) + ": " + helped->Error));
            QVERIFY2(helped->Image == own.Image.convertToFormat(QImage::Format_RGB32), photo.c_str());
            QCOMPARE(helped->StoredSize, own.StoredSize);
            QCOMPARE(helped->Orientation, own.Orientation);
        }
    }
};

QTEST_MAIN(PreviewHelperTest)
#include "preview_helper_test.moc"
