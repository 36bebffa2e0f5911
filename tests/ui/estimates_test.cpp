// Photos whose 35mm equivalent is only a guess from the manual factor: the status bar's link to
// them, the dialog that sets their cameras' crop factors, the camera table it writes and the run
// after it.
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "common/text_file.h"
#include "exif_writer.h"
#include "window_fixture.h"

using namespace quorvela::ui;
using namespace quorvela::ui::testing;
namespace fs = std::filesystem;
namespace samples = quorvela::samples;

namespace {

void WriteJpeg(const fs::path& file, const samples::Tiff& tiff) {
    const samples::Bytes bytes = samples::Jpeg().Soi().Exif(tiff).Eoi().Build();
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A camera neither the camera table nor lensfun knows, whose photos give their real focal
// length only: no 35mm value, no focal-plane resolution.
void WriteGuessedPhoto(const fs::path& file, std::uint16_t focal) {
    samples::Tiff tiff;
    tiff.ifd0.Ascii(0x010F, "Quorvela Test").Ascii(0x0110, "Nowhere 1");
    samples::Ifd exif(false);
    exif.Rational(0x920A, {{focal, 1}});
    tiff.ifd0.Link(0x8769, std::move(exif));
    WriteJpeg(file, tiff);
}

// A photo that states its 35mm focal length.
void WriteStatedPhoto(const fs::path& file, std::uint16_t focal) {
    samples::Tiff tiff;
    tiff.ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 5D");
    samples::Ifd exif(false);
    exif.Rational(0x920A, {{focal, 1}}).Short(0xA405, {focal});
    tiff.ifd0.Link(0x8769, std::move(exif));
    WriteJpeg(file, tiff);
}

QString Path(const fs::path& p) {
    return QString::fromStdString(p.string());
}

// Two guessed photos at 20 mm and one stated 50 mm photo, under a manual factor of 2; every
// length its own bar.
class GuessWindow {
  public:
    GuessWindow() {
        fs::create_directories(photos);
        WriteGuessedPhoto(photos / "a.jpg", 20);
        WriteGuessedPhoto(photos / "b.jpg", 20);
        WriteStatedPhoto(photos / "c.jpg", 50);
        w.Show();
        w.Check("ChBoxSteps")->setChecked(false);
        w.Edit("Edit1")->setText("1");
        w.Edit("Edit2")->setText("2");
    }
    bool Run() { return w->SelectFolder(Path(photos)) && w.RunAndWait(); }

    // The focal-length chart's bars: label, photos and estimated photos.
    [[nodiscard]] QStringList Bars() const {
        const auto shown = w.Charts().ShownBy(ChartAt(0));
        QStringList bars;
        for (std::size_t i = 0; i < shown.Points.size(); ++i) {
            bars << QString("%1:%2:%3")
                        .arg(QString::fromStdString(shown.Points[i].first))
                        .arg(shown.Points[i].second)
                        .arg(shown.Estimated[i]);
        }
        return bars;
    }

    QDialog* OpenDialog() {
        emit w.Label("EstimateLink")->linkActivated("#crop");
        return w->findChild<QDialog*>("CropFactorDialog");
    }

    TempDir folder;
    fs::path photos = folder.path() / "photos";
    fs::path table = folder.path() / "cam_equiv.txt";
    WindowUnderTest w{folder.path()};
};

void Save(QDialog* dialog, const QString& factor) {
    dialog->findChild<QLineEdit*>("CropFactor0")->setText(factor);
    dialog->findChild<QPushButton*>("CropFactorSave")->click();
}

QString Problem(QDialog* dialog) {
    auto* problem = dialog->findChild<QLabel*>("CropFactorProblem");
    return problem->isVisible() ? problem->text() : QString();
}

}  // namespace

class EstimatesTest : public QObject {
    Q_OBJECT

  private slots:
    void aCropFactorSetInTheDialogEndsTheGuess() {
        GuessWindow g;
        WindowUnderTest& w = g.w;
        QVERIFY(g.Run());
        QCOMPARE(g.Bars(), (QStringList{"40:2:2", "50:1:0"}));
        QLabel* link = w.Label("EstimateLink");
        QVERIFY(link->isVisible());
        // The whole sentence is the link's hint; a narrow bar keeps the link's end, what it does.
        QCOMPARE(link->toolTip(),
                 QString::fromUtf8(
                     "2 photos estimated with the manual factor: Quorvela Nowhere 1 \u2014 set its crop factor"));
        QVERIFY2(link->text().contains(QString::fromUtf8("set its crop factor</a>")), qPrintable(link->text()));
        QVERIFY(link->width() <= w.StatusBar()->width() * 2 / 3);
        // The status bar's messages go on beside it without covering it.
        w.StatusBar()->showMessage("a status text");
        QVERIFY(link->isVisible());

        w.Button("LbButton1")->click();  // the table open in its editor
        const std::string before = quorvela::common::ReadTextFile(g.table);
        QDialog* dialog = g.OpenDialog();
        QVERIFY(dialog != nullptr && dialog->isVisible());
        QCOMPARE(dialog->findChild<QCheckBox*>("CropFactorCamera0")->text(), QString("Quorvela Test"));
        QStringList texts;
        for (const QLabel* label : dialog->findChildren<QLabel*>()) texts << label->text();
        QVERIFY(texts.contains("Nowhere 1"));
        QVERIFY(texts.contains("2 photos"));

        Save(dialog, "0");
        QVERIFY2(Problem(dialog).contains("more than 0"), qPrintable(Problem(dialog)));
        QVERIFY(dialog->isVisible());
        QCOMPARE(quorvela::common::ReadTextFile(g.table), before);
        QVERIFY(!w->Running());

        Save(dialog, "1,6");
        QTRY_VERIFY(w->findChild<QDialog*>("CropFactorDialog") == nullptr);
        const std::vector<std::string> lines = quorvela::common::ReadTextLines(g.table);
        QVERIFY(lines.size() > 6);
        QCOMPARE(std::vector<std::string>(lines.end() - 6, lines.end()),
                 (std::vector<std::string>{"[_START]", "[MAKE]Quorvela Test", "[MODEL]Nowhere 1", "[REAL_LENS]1",
                                           "[35MM_EQUIVALENT]1.6", "[_END]"}));
        QCOMPARE(quorvela::common::ReadTextFile(g.table).substr(0, before.size()), before);
        QVERIFY(w.Text("Memo1")->toPlainText().contains("[MODEL]Nowhere 1"));

        // Analysed again: the photos at 20 mm x 1.6, nothing estimated, no link.
        QVERIFY(QTest::qWaitFor([&] { return !w->Running(); }, 120000));
        QCOMPARE(g.Bars(), (QStringList{"32:2:0", "50:1:0"}));
        QVERIFY(!link->isVisible());
        QCOMPARE(w->LastResult().Equivalence.Table, 2);
    }

    void aTableThatCannotTakeTheFactorsIsToldAndNothingIsLost() {
        GuessWindow g;
        WindowUnderTest& w = g.w;
        QVERIFY(g.Run());

        // Unsaved edits in the editor would be written over the new entries later.
        w.Button("LbButton1")->click();
        w.Text("Memo1")->appendPlainText("; mine");
        QDialog* dialog = g.OpenDialog();
        Save(dialog, "1.6");
        QVERIFY2(Problem(dialog).contains("unsaved changes"), qPrintable(Problem(dialog)));
        QVERIFY(w.Text("Memo1")->toPlainText().endsWith("; mine"));
        dialog->reject();

        w.EditsAnswer = quorvela::viewer::UnsavedEdits::Discard;
        w.Button("LbButton3")->click();
        fs::remove(g.table);
        fs::create_directory(g.table);  // not a file, whoever runs the test
        QTRY_VERIFY(w->findChild<QDialog*>("CropFactorDialog") == nullptr);
        dialog = g.OpenDialog();
        Save(dialog, "1.6");
        QVERIFY2(Problem(dialog).contains("could not be kept in the camera table"), qPrintable(Problem(dialog)));
        QVERIFY(Problem(dialog).contains("cam_equiv.txt"));
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->findChild<QLineEdit*>("CropFactor0")->text(), QString("1.6"));  // kept for another try
        QVERIFY(!w->Running());
        QCOMPARE(g.Bars(), (QStringList{"40:2:2", "50:1:0"}));
    }
};

QTEST_MAIN(EstimatesTest)
#include "estimates_test.moc"
