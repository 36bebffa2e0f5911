// The path-list viewer and the camera-table editor in the main window (offscreen).
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>

#include "common/text_file.h"
#include "ui/control_rules.h"
#include "viewer/path_list_viewer.h"
#include "viewer/preview_loader.h"
#include "viewer_photos.h"
#include "window_fixture.h"

namespace fs = std::filesystem;
using quorvela::ui::testing::TempDir;
using quorvela::ui::testing::WindowUnderTest;
using quorvela::viewer::test::PhotoTags;

Q_DECLARE_METATYPE(quorvela::viewer::UnsavedEdits)

namespace {

QString Native(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// A folder of photos: the names and layouts the viewer must cope with.
void WritePhotos(const fs::path& root) {
    PhotoTags g2;  // Canon PowerShot G2, 7 mm, no 35mm value: the shipped table knows it
    quorvela::viewer::test::WritePhoto(root / "a.jpg", g2);
    PhotoTags own35 = g2;
    own35.Focal35 = 35;
    own35.ExposureTime.reset();
    own35.ShutterSpeedValue = {8, 1};
    quorvela::viewer::test::WritePhoto(root / "b.jpeg", own35);
    PhotoTags noIso = g2;
    noIso.Iso.reset();
    quorvela::viewer::test::WritePhoto(root / "C.JPG", noIso);
    PhotoTags nikon;
    nikon.Make = "NIKON CORPORATION";
    nikon.Model = "NIKON D70";
    nikon.Focal35 = 27;
    nikon.Iso.reset();
    nikon.MakerNote = {'N', 'i', 'k', 'o', 'n', 0, 2, 0x10, 0, 0, 'I', 'I', 42,  0, 8, 0, 0, 0,
                       1,   0,   2,   0,   3,   0, 2, 0,    0, 0, 0,   0,   200, 0, 0, 0, 0, 0};
    quorvela::viewer::test::WritePhoto(root / "x.jpg" / "d.jpg", nikon);
}

// Clicks the line of the list that names `file` and waits for its preview.
int ClickLineOf(WindowUnderTest& w, const QString& file) {
    QPlainTextEdit* list = w.Text("RichEdit1");
    for (QTextBlock block = list->document()->firstBlock(); block.isValid(); block = block.next()) {
        if (!block.text().contains(file)) continue;
        const QRect rect = list->cursorRect(QTextCursor(block));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center() + QPoint(4, 0));
        return block.blockNumber();
    }
    return -1;
}

// Returns once the preview loader has nothing pending or running: an answer it was going to
// give has been shown.
void WaitUntilIdle(const quorvela::viewer::PreviewLoader& loader) {
    if (loader.IsIdle()) return;
    QSignalSpy idle(&loader, &quorvela::viewer::PreviewLoader::Idle);
    QVERIFY(idle.wait(10000));
}

}  // namespace

class WindowViewerTest : public QObject {
    Q_OBJECT

  private:
    TempDir photos_;

    void RunOn(WindowUnderTest& w, int quantity) {
        w.SetPathListIndex(quantity);
        QTRY_VERIFY(w->SelectFolder(Native(photos_.path())));
        QVERIFY(w.RunAndWait());
        // Every photo has a line, but the one without any ISO in the ISO list.
        QCOMPARE(w.Text("RichEdit1")->document()->blockCount(), quantity == 1 ? 3 : 4);
    }

  private slots:
    void initTestCase() { WritePhotos(photos_.path()); }

    void clickingALineShowsItsPhotoAndSummary_data() {
        QTest::addColumn<int>("quantity");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("summaryPart");
        const char* quantities[] = {"focal", "iso", "aperture", "shutter"};
        for (int q = 0; q < 4; ++q) {
            QTest::addRow("%s, .jpg, table value", quantities[q])
                << q << "a.jpg"
                << "Camera: Canon - Canon PowerShot G2\nShutter: 1/250 sec\nAperture: F2.8\nFocal Length:  7.00 mm\n"
                   "35mm equivalent: 34.07 mm\nISO: 100";
            QTest::addRow("%s, .jpeg, own 35mm value", quantities[q])
                << q << "b.jpeg"
                << "Shutter: 0.0039 sec (1/256)\nAperture: F2.8\nFocal Length:  7.00 mm\n"
                   "(35mm equivalent = 35.00 mm)\nISO: 100";
            if (q != 1)
                QTest::addRow("%s, .JPG, ISO 0", quantities[q]) << q << "C.JPG"
                                                                << "\nISO: unknown";
            QTest::addRow("%s, folder x.jpg, ISO from the maker note", quantities[q])
                << q << "x.jpg/d.jpg"
                << "(35mm equivalent = 27.00 mm)\nISO: 200";
        }
    }
    void clickingALineShowsItsPhotoAndSummary() {
        QFETCH(int, quantity);
        QFETCH(QString, file);
        QFETCH(QString, summaryPart);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        RunOn(w, quantity);
        w.Tabs()->setCurrentWidget(w.Widget("TabSheet7"));
        const QString path = Native(photos_.path() / file.toStdString());
        const int line = ClickLineOf(w, "/" + file);
        QVERIFY(line >= 0);
        QTRY_COMPARE(w->PathListView().SelectedPath(), path);
        QTRY_VERIFY2(w.Label("Label20")->text().contains(summaryPart), qPrintable(w.Label("Label20")->text()));
        QTRY_COMPARE(w->PathListView().ShownPreviewPath(), path);
        QCOMPARE(w.Label("Image3")->pixmap().size(), QSize(64, 48));
        QCOMPARE(w.Text("RichEdit1")->textCursor().selectedText(), path);
        QCOMPARE(w.Text("RichEdit1")->textCursor().blockNumber(), line);
    }

    void theLoaderIsIdleOnceTheAnswerIsShown() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        RunOn(w, 0);
        w.Tabs()->setCurrentWidget(w.Widget("TabSheet7"));
        const auto& loader = w->PathListView().Loader();
        QVERIFY(loader.IsIdle());
        QSignalSpy idle(&loader, &quorvela::viewer::PreviewLoader::Idle);
        QVERIFY(ClickLineOf(w, "/b.jpeg") >= 0);
        QTRY_COMPARE(idle.count(), 1);
        QVERIFY(loader.IsIdle());
        QCOMPARE(w->PathListView().ShownPreviewPath(), Native(photos_.path() / "b.jpeg"));
    }

    void arrowKeysShowEachLineInTurn() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        RunOn(w, 0);
        w.Tabs()->setCurrentWidget(w.Widget("TabSheet7"));
        ClickLineOf(w, w.Text("RichEdit1")->document()->firstBlock().text().right(10));
        QTRY_VERIFY(!w->PathListView().ShownPreviewPath().isEmpty());
        QStringList shown{w->PathListView().ShownPreviewPath()};
        for (int i = 1; i < 4; ++i) {
            QTest::keyClick(w.Text("RichEdit1"), Qt::Key_Down);
            QTRY_VERIFY(w->PathListView().ShownPreviewPath() != shown.back());
            shown << w->PathListView().ShownPreviewPath();
            QCOMPARE(w->PathListView().SelectedPath(), shown.back());
            QVERIFY(w.Text("RichEdit1")->document()->findBlockByNumber(i).text().contains(shown.back()));
        }
    }

    void aFileGoneSinceTheRunKeepsThePreviousPreview() {
        TempDir folder;
        TempDir own;
        WritePhotos(own.path());
        WindowUnderTest w(folder.path());
        w.Show();
        w.SetPathListIndex(0);
        QTRY_VERIFY(w->SelectFolder(Native(own.path())));
        QVERIFY(w.RunAndWait());
        ClickLineOf(w, "/a.jpg");
        QTRY_COMPARE(w->PathListView().ShownPreviewPath(), Native(own.path() / "a.jpg"));
        fs::remove(own.path() / "C.JPG");
        ClickLineOf(w, "/C.JPG");
        QTRY_COMPARE(w->PathListView().SelectedPath(), Native(own.path() / "C.JPG"));
        QCOMPARE(w.Label("Label20")->text(), QString());
        WaitUntilIdle(w->PathListView().Loader());
        QCOMPARE(w->PathListView().ShownPreviewPath(), Native(own.path() / "a.jpg"));
        QVERIFY(!w.Label("Image3")->pixmap().isNull());
    }

    // Names the line cannot spell back: a line break (shown as "?"), bytes that are not UTF-8
    // (shown as U+FFFD) and " - " before a second photo name. Each line still opens its own file.
    void eachLineOpensTheFileTheRunRead() {
        TempDir folder;
        TempDir own;
        const std::vector<std::string> names = {"two\nlines.jpg", "caf\xE9.jpg", "a.jpg - b.jpg",
                                                "para\xE2\x80\xA9graph.jpg", "line\xE2\x80\xA8sep.jpg"};
        for (std::size_t i = 0; i < names.size(); ++i) {
            PhotoTags photo;
            photo.Iso = static_cast<std::uint16_t>(100 * (i + 1));
            quorvela::viewer::test::WritePhoto(own.path() / names[i], photo);
        }
        // The look-alike the third line would be read as, were it parsed.
        PhotoTags other;
        other.Iso = 6400;
        quorvela::viewer::test::WritePhoto(own.path() / "a.jpg", other);
        WindowUnderTest w(folder.path());
        w.Show();
        w.SetPathListIndex(1);
        QTRY_VERIFY(w->SelectFolder(Native(own.path())));
        QVERIFY(w.RunAndWait());
        QCOMPARE(w.Text("RichEdit1")->document()->blockCount(), static_cast<int>(names.size()) + 1);
        w.Tabs()->setCurrentWidget(w.Widget("TabSheet7"));
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string path = (own.path() / names[i]).string();
            const int value = 100 * static_cast<int>(i + 1);
            const QString iso = QStringLiteral("ISO %1 - ").arg(value, 4, 10, QChar('_'));
            QVERIFY2(ClickLineOf(w, iso) >= 0, qPrintable(w.Text("RichEdit1")->toPlainText()));
            QTRY_COMPARE(w->PathListView().SelectedFile(), path);
            QTRY_VERIFY2(w.Label("Label20")->text().endsWith(QStringLiteral("ISO: %1").arg(value)),
                         qPrintable(w.Label("Label20")->text()));
            QTRY_COMPARE(w->PathListView().ShownPreviewFile(), path);
            QVERIFY(!w.Label("Image3")->pixmap().isNull());
            QVERIFY(w.Text("RichEdit1")
                        ->textCursor()
                        .selectedText()
                        .endsWith(QString::fromStdString(names[i])
                                      .replace('\n', '?')
                                      .replace(QChar(0x2028), '?')
                                      .replace(QChar(0x2029), '?')));
        }
    }

    void saveWritesTheListsLines() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        RunOn(w, 1);
        QVERIFY(w.Tool("Lb_SaveRichedit")->isEnabled());
        w.SaveAnswer = Native(folder.path() / "saved.txt");
        w.Tool("Lb_SaveRichedit")->click();
        QCOMPARE(QFileInfo(w.AskedNames.back()).fileName(), QString("value_path_list.txt"));
        const auto saved = quorvela::common::ReadTextLines(folder.path() / "saved.txt");
        QCOMPARE(QString::fromStdString(saved.at(0)), w.Text("RichEdit1")->document()->firstBlock().text());
        QCOMPARE(static_cast<int>(saved.size()), 3);
        // The list on disk is the run's own list.
        QCOMPARE(saved, quorvela::common::ReadTextLines(folder.path() / "vt_debug.txt"));
        // A place that cannot be written is reported in the window's message box.
        w.SaveAnswer = Native(folder.path() / "no-such-folder" / "saved.txt");
        w.Tool("Lb_SaveRichedit")->click();
        QCOMPARE(w.Messages->Shown.size(), 1);
        QVERIFY(w.Messages->Shown[0].startsWith("Unable to write to "));
    }

    void theSavedCameraTableTakesEffectOnTheNextRun() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        w.Check("ChBoxSteps")->setChecked(false);
        RunOn(w, 0);
        QVERIFY2(w.Points(0).contains("34=2"),
                 qPrintable(w.Points(0).join(' ')));  // a.jpg and C.JPG through the shipped table

        w.Tabs()->setCurrentWidget(w.Widget("TabSheet5"));
        QVERIFY(!w.Text("Memo1")->isEnabled());
        w.Button("LbButton1")->click();
        QVERIFY(w.Text("Memo1")->isEnabled());
        QVERIFY(!w.Button("LbButton1")->isEnabled());
        QVERIFY(!w.Button("LbButton2")->isEnabled());
        QVERIFY(w.Button("LbButton3")->isEnabled());
        QString table = w.Text("Memo1")->toPlainText();
        QVERIFY(table.contains("[35MM_EQUIVALENT]34.07"));
        w.Text("Memo1")->setPlainText(table.replace("[35MM_EQUIVALENT]34.07", "[35MM_EQUIVALENT]70"));
        QVERIFY(w.Button("LbButton2")->isEnabled());
        w.Button("LbButton2")->click();
        QVERIFY(!w.Text("Memo1")->isEnabled());
        QVERIFY(w.Button("LbButton1")->isEnabled());
        QVERIFY(!w.Button("LbButton3")->isEnabled());
        QCOMPARE(w.Tabs()->currentWidget(), w.Widget("TabSheet1"));
        QCOMPARE(w->StatusPanelLook(), quorvela::ui::kIndicatorNeeded);

        QVERIFY(w.RunAndWait());
        QVERIFY2(w.Points(0).contains("70=2"), qPrintable(w.Points(0).join(' ')));
        // The next window reads the saved table too.
        QVERIFY(quorvela::common::ReadTextFile(folder.path() / "cam_equiv.txt").find("[35MM_EQUIVALENT]70") !=
                std::string::npos);
    }

    void closeWithUnsavedEditsAsksFirst_data() {
        QTest::addColumn<quorvela::viewer::UnsavedEdits>("answer");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<bool>("written");
        using quorvela::viewer::UnsavedEdits;
        QTest::newRow("save") << UnsavedEdits::Save << false << false << true;
        QTest::newRow("save fails") << UnsavedEdits::Save << true << true << false;
        QTest::newRow("discard") << UnsavedEdits::Discard << false << false << false;
        QTest::newRow("cancel") << UnsavedEdits::Cancel << false << true << false;
    }
    void closeWithUnsavedEditsAsksFirst() {
        QFETCH(quorvela::viewer::UnsavedEdits, answer);
        QFETCH(bool, saveFails);
        QFETCH(bool, staysOpen);
        QFETCH(bool, written);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        const fs::path table = folder.path() / "cam_equiv.txt";
        w.Button("LbButton1")->click();
        QTest::keyClicks(w.Text("Memo1"), "; mine");
        const QString edited = w.Text("Memo1")->toPlainText();
        if (saveFails) {
            fs::remove(table);
            fs::create_directory(table);  // nothing can be written in its place
        }
        const std::string before = saveFails ? std::string() : quorvela::common::ReadTextFile(table);
        w.EditsAnswer = answer;
        w.Button("LbButton3")->click();
        QCOMPARE(w.EditsAsked, 1);
        QCOMPARE(w.Text("Memo1")->isEnabled(), staysOpen);
        QCOMPARE(w.Text("Memo1")->toPlainText(), staysOpen ? edited : QString());
        QCOMPARE(w.Messages->Shown.size(), saveFails ? 1 : 0);
        if (saveFails) return;
        const std::string after = quorvela::common::ReadTextFile(table);
        QCOMPARE(after.find("; mine") != std::string::npos, written);
        if (!written) QCOMPARE(after, before);
    }

    void closeDiscardsTheEdits() {
        TempDir folder;
        WindowUnderTest w(folder.path());
        w.Show();
        const std::string before = quorvela::common::ReadTextFile(folder.path() / "cam_equiv.txt");
        w.Button("LbButton1")->click();
        QTest::keyClicks(w.Text("Memo1"), "garbage");
        QVERIFY(w.Button("LbButton2")->isEnabled());
        w.Button("LbButton3")->click();
        QCOMPARE(w.Text("Memo1")->toPlainText(), QString());
        QCOMPARE(quorvela::common::ReadTextFile(folder.path() / "cam_equiv.txt"), before);
        w.Tool("LbSpeedButton10")->click();
        QVERIFY(!w.Opened.empty());
        QVERIFY(w.Opened.back().toString().endsWith("camera-table.html"));
    }
};

QTEST_MAIN(WindowViewerTest)
#include "window_viewer_test.moc"
