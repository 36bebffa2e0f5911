// What the window answers from a run's photos: the photos behind a bar, the lens chart, the
// coverage of a focal range, and the lens and period filter fields on their way to the run and
// the settings file.
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <fstream>

#include "exif_writer.h"
#include "viewer/path_list_viewer.h"
#include "window_fixture.h"

using namespace quorvela::ui;
using namespace quorvela::ui::testing;
namespace fs = std::filesystem;
namespace samples = quorvela::samples;

namespace {

struct Photo {
    const char* name;
    std::uint16_t focal;  // mm, stored as the 35mm value too
    std::uint16_t iso;
    const char* lens;
    const char* taken;  // "YYYY:MM:DD HH:MM:SS"
};

// Five photos of one camera: two at 50 mm, three at ISO 100, lenses used 2, 2 and 1 times.
constexpr Photo kPhotos[] = {
    {"a.jpg", 50, 100, "EF50mm f/1.8", "2024:05:01 10:00:00"},
    {"b.jpg", 50, 200, "EF50mm f/1.8", "2024:06:01 10:00:00"},
    {"c.jpg", 24, 100, "EF24-70mm", "2023:01:01 10:00:00"},
    {"d.jpg", 70, 400, "EF24-70mm", "2023:02:01 10:00:00"},
    {"e.jpg", 200, 100, "EF70-200mm", "2024:07:01 10:00:00"},
};

void WritePhotos(const fs::path& folder) {
    for (const Photo& p : kPhotos) {
        samples::Tiff tiff;
        tiff.ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 5D");
        samples::Ifd exif(false);
        exif.Rational(0x829A, {{1, 125}})
            .Rational(0x829D, {{56, 10}})
            .Short(0x8827, {p.iso})
            .Ascii(0x9003, p.taken)
            .Rational(0x920A, {{p.focal, 1}})
            .Short(0xA405, {p.focal})
            .Ascii(0xA434, p.lens);
        tiff.ifd0.Link(0x8769, std::move(exif));
        const samples::Bytes bytes = samples::Jpeg().Soi().Exif(tiff).Eoi().Build();
        std::ofstream(folder / p.name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

QString Path(const fs::path& p) {
    return QString::fromStdString(p.string());
}

// A window over a folder of the five photos, run once with the steps off (every length its own bar).
class RunWindow {
  public:
    RunWindow() {
        fs::create_directories(photos);
        WritePhotos(photos);
        w.Show();
        w.Check("ChBoxSteps")->setChecked(false);
        QTRY_VERIFY(w->SelectFolder(Path(photos)));
    }
    bool Run() { return w.RunAndWait(); }

    TempDir folder;
    fs::path photos = folder.path() / "photos";
    WindowUnderTest w{folder.path()};
};

QStringList Lines(const WindowUnderTest& w) {
    return w.Text("RichEdit1")->toPlainText().split('\n');
}

// The heading's words before its link.
QString HeadingWords(const WindowUnderTest& w) {
    const QString text = w.Label("LabelPathListHeading")->text();
    return text.left(text.indexOf(QString::fromUtf8(" \u2014 ")));
}

}  // namespace

class AnswersTest : public QObject {
    Q_OBJECT

  private slots:
    void aBarShowsExactlyItsPhotos_data() {
        QTest::addColumn<int>("chart");
        QTest::addColumn<int>("point");  // bars: 24, 50, 70, 200 mm; ISO 100, 200, 400; lenses as in the lens test
        QTest::addColumn<bool>("byKeys");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("focal length") << 0 << 1 << false << "2 photos at 50 mm" << QStringList{"a.jpg", "b.jpg"};
        QTest::newRow("ISO") << 1 << 0 << false << "3 photos at ISO 100" << QStringList{"a.jpg", "c.jpg", "e.jpg"};
        QTest::newRow("lens") << 4 << 0 << false << "2 photos with EF24-70mm" << QStringList{"c.jpg", "d.jpg"};
        QTest::newRow("lens, by keys") << 4 << 2 << true << "1 photo with EF70-200mm" << QStringList{"e.jpg"};
    }

    void aBarShowsExactlyItsPhotos() {
        QFETCH(int, chart);
        QFETCH(int, point);
        QFETCH(bool, byKeys);
        QFETCH(QString, heading);
        QFETCH(QStringList, files);
        RunWindow r;
        WindowUnderTest& w = r.w;
        QVERIFY(r.Run());
        const QString fullList = w.Text("RichEdit1")->toPlainText();
        w.Tabs()->setCurrentWidget(w.OwnTab(chart));
        QWidget* bars = w.Chart(chart);
        if (byKeys) {
            bars->setFocus();
            w.Charts().SelectPoint(ChartAt(chart), 0);
            for (int i = 0; i < point; ++i) QTest::keyClick(bars, Qt::Key_Right);
            QTest::keyClick(bars, Qt::Key_Return);
        } else {
            const QRect bar = w.Charts().PointRect(ChartAt(chart), point);
            QVERIFY(!bar.isEmpty());
            if (ChartAt(chart) == quorvela::Quantity::Lens) {
                QTest::mouseDClick(bars, Qt::LeftButton, {}, bar.center());  // a click there only selects the lens
            } else {
                QTest::mouseClick(bars, Qt::LeftButton, {}, bar.center());
            }
        }
        QCOMPARE(w.Tabs()->currentWidget(), w.Widget("TabSheet7"));
        QVERIFY(w.Label("LabelPathListHeading")->isVisible());
        QCOMPARE(HeadingWords(w), heading);
        const QStringList lines = Lines(w);
        QCOMPARE(lines.size(), files.size());
        for (int i = 0; i < files.size(); ++i) QVERIFY2(lines[i].contains("/" + files[i]), qPrintable(lines[i]));
        // The first photo is the one shown.
        QCOMPARE(w->PathListView().SelectedPath(), Path(r.photos / files.front().toStdString()));
        // Show all brings the run's list back, without the heading.
        emit w.Label("LabelPathListHeading")->linkActivated("all");
        QCOMPARE(w.Text("RichEdit1")->toPlainText(), fullList);
        QVERIFY(w.Label("LabelPathListHeading")->isHidden());
    }

    void theLensTabHasTheLensesMostUsedFirst() {
        RunWindow r;
        QVERIFY(r.Run());
        QCOMPARE(r.w.Points(4), (QStringList{"EF24-70mm=2", "EF50mm f/1.8=2", "EF70-200mm=1"}));
        QVERIFY(r.w.OwnTab(4)->isAncestorOf(r.w.Chart(4)));
        // The top bar's options reach it as they reach the others.
        r.w.Check("ChB3D")->setChecked(true);
        r.w.Combo("ComboBoxValue")->setCurrentIndex(2);
        QVERIFY(r.w.Charts().ShownBy(ChartAt(4)).View3D);
        QCOMPARE(r.w.Charts().ShownBy(ChartAt(4)).MarksStyle, std::string("Value"));
        // The overview keeps its four charts; the lens chart stays on its tab.
        r.w.Tabs()->setCurrentWidget(r.w.Widget("TabSheet1"));
        QVERIFY(r.w.OwnTab(4)->isAncestorOf(r.w.Chart(4)));
        for (int i = 0; i < 4; ++i) QCOMPARE(r.w.Chart(i)->parentWidget(), r.w.Widget("TabSheet1"));
    }

    void theBandCoversTheRangesBars_data() {
        QTest::addColumn<QString>("range");
        QTest::addColumn<int>("first");  // -1: no band
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("sentence");
        // The focal bars are 24, 50, 70 and 200 mm.
        QTest::newRow("zoom") << "24-70" << 0 << 2 << "covers 4 of 5 photos (80";
        QTest::newRow("prime within 5 %") << "52" << 1 << 1 << "covers 2 of 5 photos (40";
        QTest::newRow("beyond every bar") << "300-400" << -1 << -1 << "covers 0 of 5 photos";
        QTest::newRow("junk") << "wide" << -1 << -1 << "Type a range";
        QTest::newRow("empty") << "" << -1 << -1 << "";
    }

    void theBandCoversTheRangesBars() {
        QFETCH(QString, range);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QString, sentence);
        RunWindow r;
        QVERIFY(r.Run());
        QCOMPARE(r.w.Points(0), (QStringList{"24=1", "50=2", "70=1", "200=1"}));
        r.w.Edit("EditCoverage")->setText(range);  // no run needed
        const auto shaded = r.w.Charts().Shaded(ChartAt(0));
        QCOMPARE(shaded.has_value(), first >= 0);
        if (shaded) QCOMPARE(*shaded, (quorvela::charts::ChartSet::Span{first, last}));
        QVERIFY2(r.w.Label("LabelCoverage")->text().contains(sentence), qPrintable(r.w.Label("LabelCoverage")->text()));
        QCOMPARE(r.w.Label("LabelCoverageOverview")->text(), r.w.Label("LabelCoverage")->text());
        QCOMPARE(sentence.isEmpty(), r.w.Label("LabelCoverage")->text().isEmpty());
    }

    void filterFieldsReachTheRunAndTheSettingsFile() {
        RunWindow r;
        WindowUnderTest& w = r.w;
        w.Check("Cb_Custom")->setChecked(true);
        w.Edit("EditLens")->setText("ef50");
        w.Check("ChB_PeriodFrom")->setChecked(true);
        w.Find<QDateEdit>("PeriodFrom")->setDate(QDate(2024, 5, 15));
        w.Edit("EditCoverage")->setText("24-70");
        const quorvela::analysis::AnalysisSettings s = w->CurrentAnalysisSettings();
        QCOMPARE(s.Filter.Lens, std::string("ef50"));
        QCOMPARE(s.Filter.PeriodFrom, std::string("2024-05-15"));
        QCOMPARE(s.Filter.PeriodTo, std::string());  // an end left open
        QVERIFY(s.Coverage.has_value());
        // Only b.jpg has that lens and was taken after the 15th of May 2024.
        QVERIFY(r.Run());
        QCOMPARE(w.Points(0), QStringList{"50=1"});
        QVERIFY(w->close());
        const std::string ini = ReadAll(r.folder.path() / "vintrop.ini");
        QCOMPARE(ValueOf(ini, "FilterLens/9"), QString("ef50"));
        QCOMPARE(ValueOf(ini, "FilterPeriod/From"), QString("2024-05-15"));
        QCOMPARE(ValueOf(ini, "FilterPeriod/To"), QString());
        QCOMPARE(ValueOf(ini, "Coverage/Range"), QString("24-70"));

        WindowUnderTest again(r.folder.path());
        QCOMPARE(again->CurrentAnalysisSettings().Filter.PeriodFrom, std::string("2024-05-15"));
        QVERIFY(again.Find<QDateEdit>("PeriodFrom")->isEnabled());
        QCOMPARE(again.Edit("EditCoverage")->text(), QString("24-70"));
    }

    void aDayIsTyped_data() {
        QTest::addColumn<QString>("keys");  // typed after the field is clicked into; "^A" selects all
        QTest::addColumn<QDate>("day");
        QTest::newRow("a year after a click on the year") << "2023" << QDate(2023, 3, 14);
        QTest::newRow("a year over all") << "^A2023" << QDate(2023, 3, 14);
        QTest::newRow("a whole day over all") << "^A2023-05-01" << QDate(2023, 5, 1);
        QTest::newRow("a whole day without dashes") << "^A20230501" << QDate(2023, 5, 1);
    }
    void aDayIsTyped() {
        QFETCH(QString, keys);
        QFETCH(QDate, day);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w.Check("Cb_Custom")->setChecked(true);
        w.Check("ChB_PeriodFrom")->setChecked(true);
        auto* edit = w.Find<QDateEdit>("PeriodFrom");
        edit->setDate(QDate(2024, 3, 14));
        QTest::mouseClick(edit->findChild<QLineEdit*>(), Qt::LeftButton, {}, QPoint(4, edit->height() / 2));
        if (keys.startsWith("^A")) {
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            keys = keys.mid(2);
        }
        QTest::keyClicks(edit, keys);
        QTest::keyClick(edit, Qt::Key_Tab);
        QCOMPARE(edit->date(), day);
    }

    void aDayThatIsNoDateLeavesThePeriodOpen() {
        TempDir folder;
        WriteIni(folder.path() / "vintrop.ini", {"[FilterPeriod]", "From=2024-13-45", "To=2024-02-30"});
        WindowUnderTest w(folder.path());
        QVERIFY(!w.Check("ChB_PeriodFrom")->isChecked());
        QVERIFY(!w.Check("ChB_PeriodTo")->isChecked());
        QCOMPARE(w->CurrentAnalysisSettings().Filter.PeriodFrom, std::string());
    }
};

QTEST_MAIN(AnswersTest)
#include "answers_test.moc"
