// The path-list viewer and the camera-table editor on real widgets (offscreen).
#include <sys/stat.h>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

#include "common/text_file.h"
#include "support/test_files.h"
#include "viewer/equivalent_editor_panel.h"
#include "viewer/path_list_viewer.h"
#include "viewer_photos.h"

using quorvela::equivalence::EquivalentList;
using quorvela::viewer::EquivalentEditor;
using quorvela::viewer::EquivalentEditorPanel;
using quorvela::viewer::PathListViewer;
using quorvela::viewer::test::PhotoTags;

namespace {

const EquivalentList kNoTable;

// The three controls of the "Path list + Image" tab, as the window lays them out.
struct ViewerHost {
    QWidget Window;
    QPlainTextEdit* List = nullptr;
    QLabel* Image = nullptr;
    QLabel* Summary = nullptr;
    std::unique_ptr<PathListViewer> Viewer;

    explicit ViewerHost(const EquivalentList& table) {
        auto* layout = new QVBoxLayout(&Window);
        Image = new QLabel(&Window);
        Image->setFixedSize(218, 218);
        Summary = new QLabel(&Window);
        List = new QPlainTextEdit(&Window);
        List->setReadOnly(true);
        List->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        List->setLineWrapMode(QPlainTextEdit::NoWrap);
        layout->addWidget(Image);
        layout->addWidget(Summary);
        layout->addWidget(List);
        Window.resize(900, 700);
        Viewer = std::make_unique<PathListViewer>(List, Image, Summary, table, '.');
    }
    void Click(int line) {
        const QTextBlock block = List->document()->findBlockByNumber(line);
        QTextCursor cursor(block);
        const QRect rect = List->cursorRect(cursor);
        QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, rect.center() + QPoint(4, 0));
    }
    [[nodiscard]] int CaretLine() const { return List->textCursor().blockNumber(); }
};

}  // namespace

class ViewerWidgetTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<quorvela::testing::TempDir> dir_;
    QStringList lines_;
    QString Path(const char* relative) const { return QString::fromStdString((dir_->path() / relative).string()); }

  private slots:
    void initTestCase() {
        dir_ = std::make_unique<quorvela::testing::TempDir>();
        PhotoTags plain;  // Canon PowerShot G2, 7 mm, no 35mm value, ISO 100
        quorvela::viewer::test::WritePhoto(dir_->path() / "a.jpg", plain);
        PhotoTags own35 = plain;
        own35.Focal35 = 35;
        own35.ExposureTime.reset();
        own35.ShutterSpeedValue = {8, 1};
        quorvela::viewer::test::WritePhoto(dir_->path() / "b.jpeg", own35);
        PhotoTags noIso = plain;
        noIso.Iso.reset();
        noIso.Width = 48;
        noIso.Height = 64;
        quorvela::viewer::test::WritePhoto(dir_->path() / "C.JPG", noIso);
        quorvela::viewer::test::WritePhoto(dir_->path() / "x.jpg" / "d.jpg", plain);
        const auto bad = dir_->Write("e.jpg", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'h', 'o', 't', 'o'});
        // Lines as the engine lays them out, for each quantity.
        lines_ = {"___34 mm - " + Path("a.jpg") + " - Make: Canon - Model: Canon PowerShot G2",
                  "ISO _100 - " + Path("b.jpeg") + "  - Make: Canon - Model: Canon PowerShot G2",
                  " F2.8 - " + Path("C.JPG") + " ",
                  "__1/250 sec - " + Path("x.jpg/d.jpg") + " ",
                  "___50 mm - " + Path("missing.jpg"),
                  "___50 mm - " + Path("e.jpg")};
    }

    void clickShowsSummaryPreviewAndSelectsThePath_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("summaryPart");
        QTest::addColumn<QSize>("previewSize");
        QTest::newRow("jpg, table value") << 0 << "a.jpg"
                                          << "\n35mm equivalent: 34.07 mm\nISO: 100" << QSize(64, 48);
        QTest::newRow("jpeg, own 35mm value, shutter speed value")
            << 1 << "b.jpeg"
            << "Shutter: 0.0039 sec (1/256)\nAperture: F2.8\nFocal Length:  7.00 mm\n"
               "(35mm equivalent = 35.00 mm)\nISO: 100"
            << QSize(64, 48);
        QTest::newRow("upper-case JPG, ISO 0") << 2 << "C.JPG"
                                               << "\nISO: unknown" << QSize(48, 64);
        QTest::newRow("folder named x.jpg") << 3 << "x.jpg/d.jpg"
                                            << "Camera: Canon - Canon PowerShot G2\n"
                                            << QSize(64, 48);
    }
    void clickShowsSummaryPreviewAndSelectsThePath() {
        QFETCH(int, line);
        QFETCH(QString, path);
        QFETCH(QString, summaryPart);
        QFETCH(QSize, previewSize);
        const EquivalentList table = {"[MAKE]Canon[MODEL]CanonPowerShotG2[REAL_LENS]7[35MM_EQUIVALENT]34.07"};
        ViewerHost host(table);
        host.List->setPlainText(lines_.join('\n'));
        host.Window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host.Window));
        host.Click(line);
        QTRY_COMPARE(host.Viewer->SelectedPath(), Path(path.toUtf8().constData()));
        QTRY_VERIFY2(host.Summary->text().contains(summaryPart), qPrintable(host.Summary->text()));
        QTRY_COMPARE(host.Viewer->ShownPreviewPath(), Path(path.toUtf8().constData()));
        QCOMPARE(host.Image->pixmap().size(), previewSize);
        QCOMPARE(host.List->textCursor().selectedText(), Path(path.toUtf8().constData()));
        QCOMPARE(host.CaretLine(), line);
    }

    // The value stands at the start of each line: selecting a long path must not scroll it away.
    void clickOnALongLineKeepsTheListWhereItWasSideways_data() {
        QTest::addColumn<int>("scrolled");
        QTest::newRow("list at its left edge") << 0;
        QTest::newRow("list scrolled a little") << 40;
    }
    void clickOnALongLineKeepsTheListWhereItWasSideways() {
        QFETCH(int, scrolled);
        const std::string folder = std::string(220, 'f') + "/long.jpg";
        quorvela::viewer::test::WritePhoto(dir_->path() / folder, PhotoTags{});
        const QString path = Path(folder.c_str());
        ViewerHost host(kNoTable);
        host.List->setPlainText(lines_.join('\n') + "\n___34 mm - " + path + " - Make: Canon");
        host.Window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host.Window));
        QScrollBar* sideways = host.List->horizontalScrollBar();
        QVERIFY(sideways->maximum() > scrolled);
        sideways->setValue(scrolled);
        host.Click(6);
        QTRY_COMPARE(host.Viewer->SelectedPath(), path);
        QCOMPARE(host.List->textCursor().selectedText(), path);
        QCOMPARE(sideways->value(), scrolled);
    }

    void arrowKeysShowEachLineInTurn() {
        ViewerHost host(kNoTable);
        host.List->setPlainText(lines_.join('\n'));
        host.Window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host.Window));
        host.Click(0);
        QTRY_COMPARE(host.Viewer->ShownPreviewPath(), Path("a.jpg"));
        const char* expected[] = {"b.jpeg", "C.JPG", "x.jpg/d.jpg"};
        for (const char* name : expected) {
            QTest::keyClick(host.List, Qt::Key_Down);
            QTRY_COMPARE(host.Viewer->ShownPreviewPath(), Path(name));
            QCOMPARE(host.Viewer->SelectedPath(), Path(name));
        }
    }

    void aMissingFileKeepsThePreviousPreview() {
        ViewerHost host(kNoTable);
        host.List->setPlainText(lines_.join('\n'));
        host.Window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host.Window));
        host.Click(2);
        QTRY_COMPARE(host.Viewer->ShownPreviewPath(), Path("C.JPG"));
        host.Click(4);
        QTRY_COMPARE(host.Viewer->SelectedPath(), Path("missing.jpg"));
        QCOMPARE(host.Summary->text(), QString());
        // A preview asked for by mistake would be answered before the loader falls idle.
        QTRY_VERIFY(host.Viewer->Loader().IsIdle());
        QCOMPARE(host.Viewer->ShownPreviewPath(), Path("C.JPG"));
        QCOMPARE(host.Image->pixmap().size(), QSize(48, 64));
    }

    void aFileThatIsNoPictureShowsAMessageInThePreview() {
        ViewerHost host(kNoTable);
        host.List->setPlainText(lines_.join('\n'));
        host.Window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host.Window));
        host.Click(5);
        QTRY_COMPARE(host.Viewer->ShownPreviewPath(), Path("e.jpg"));
        QVERIFY(host.Image->pixmap().isNull());
        QVERIFY2(host.Image->text().startsWith("This photo cannot be shown"), qPrintable(host.Image->text()));
    }

    void aFifoNamedLikeAPhotoIsNeitherReadNorDecoded() {
        const quorvela::testing::TempDir fifoDir;
        const auto fifo = fifoDir.path() / "pipe.jpg";
        QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
        ViewerHost host(kNoTable);
        host.List->setPlainText("___50 mm - " + QString::fromStdString(fifo.string()));
        host.Window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host.Window));
        host.Click(0);  // would block here, reading the pipe, if it were opened
        QTRY_COMPARE(host.Viewer->SelectedPath(), QString::fromStdString(fifo.string()));
        QCOMPARE(host.Summary->text(), QString());
        QTRY_VERIFY(host.Viewer->Loader().IsIdle());
        QCOMPARE(host.Viewer->ShownPreviewPath(), QString());
    }

    void thePathOnTheClickedLineIsSelectedEvenWhenALaterPathEndsWithIt() {
        ViewerHost host(kNoTable);
        const QString inner = Path("a.jpg");
        host.List->setPlainText("___34 mm - " + inner + "\n___35 mm - /backup" + inner);
        QVERIFY(PathListViewer::SearchForText_AndSelect(host.List, inner, 0));
        QCOMPARE(host.List->textCursor().blockNumber(), 0);
        QCOMPARE(host.List->textCursor().selectedText(), inner);
        QVERIFY(!PathListViewer::SearchForText_AndSelect(host.List, "/nowhere.jpg", 0));
        // Matching case: the upper-case name does not select the lower-case one.
        QVERIFY(!PathListViewer::SearchForText_AndSelect(host.List, inner.toUpper(), 0));
    }

    void saveWritesTheLines() {
        ViewerHost host(kNoTable);
        host.List->setPlainText(lines_.join('\n'));
        const quorvela::testing::TempDir out;
        const QString target = QString::fromStdString((out.path() / "value_path_list.txt").string());
        QString proposed;
        QString filter;
        host.Viewer->SetAskSaveFile([&](const QString& name, const QString& f) {
            proposed = name;
            filter = f;
            return target;
        });
        QVERIFY(host.Viewer->Lb_SaveRicheditClick());
        QCOMPARE(proposed, QString("value_path_list.txt"));
        QVERIFY(filter.contains("*.txt"));
        const std::vector<std::string> saved = quorvela::common::ReadTextLines(target.toStdString());
        QCOMPARE(static_cast<int>(saved.size()), lines_.size());
        QCOMPARE(QString::fromStdString(saved[1]), lines_[1]);
        // Cancelled: nothing written, nothing said; an unwritable place: no file, and the user is told.
        QStringList errors;
        host.Viewer->ShowError = [&](const QString& message) { errors << message; };
        host.Viewer->SetAskSaveFile([](const QString&, const QString&) { return QString(); });
        QVERIFY(!host.Viewer->Lb_SaveRicheditClick());
        QVERIFY(errors.isEmpty());
        host.Viewer->SetAskSaveFile([](const QString&, const QString&) { return QString("/nonexistent/x.txt"); });
        QVERIFY(!host.Viewer->Lb_SaveRicheditClick());
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].startsWith("Unable to write to /nonexistent/x.txt"), qPrintable(errors[0]));
    }

    void editorStatesAndReload() {
        const quorvela::testing::TempDir dir;
        const auto file = dir.path() / "cam_equiv.txt";
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* memo = new QPlainTextEdit(&window);
        auto* bar = new QFrame(&window);
        layout->addWidget(memo);
        layout->addWidget(bar);
        EquivalentList list = {"stale"};
        int saved = 0;
        int help = 0;
        EquivalentEditorPanel panel(memo, bar, EquivalentEditor(file), list,
                                    {.Saved = [&] { ++saved; }, .Help = [&] { ++help; }, .ShowError = {}});
        const QColor cream(255, 251, 240);
        const auto state = [&] {
            return QString("%1%2%3%4%5")
                .arg(memo->isEnabled() ? "M" : "m")
                .arg(memo->palette().color(QPalette::Base) == cream ? "c" : "w")
                .arg(panel.LbButton1->isEnabled() ? "E" : "e")
                .arg(panel.LbButton2->isEnabled() ? "S" : "s")
                .arg(panel.LbButton3->isEnabled() ? "C" : "c");
        };
        QCOMPARE(state(), QString("mcEsc"));
        QCOMPARE(panel.LbButton1->text(), QString("Edit/show equivalent file"));
        QCOMPARE(panel.LbButton3->toolTip(), QString("Close disgard changes"));

        // Missing file: the two comment lines, a change already.
        panel.LbButton1->click();
        QCOMPARE(state(), QString("MwESc"));
        QVERIFY(memo->toPlainText().startsWith("; Lines started with a semicolon (;) are ignored bij Quorvela\n"));
        memo->appendPlainText(
            "[_START]\n[MAKE]Canon\n[MODEL]Canon PowerShot G2\n[REAL_LENS]7\n"
            "[35MM_EQUIVALENT]34.07\n[_END]");
        panel.LbButton2->click();
        QCOMPARE(state(), QString("mcEsc"));
        QCOMPARE(memo->toPlainText(), QString());
        QCOMPARE(saved, 1);
        QCOMPARE(list, EquivalentList{"[MAKE]Canon[MODEL]CanonPowerShotG2[REAL_LENS]7[35MM_EQUIVALENT]34.07"});

        // The file exists now: opened unchanged, a typed key makes it changed.
        panel.LbButton1->click();
        QCOMPARE(state(), QString("MwesC"));
        QTest::keyClicks(memo, "x");
        QCOMPARE(state(), QString("MweSC"));
        panel.AskSaveEdits = [] { return quorvela::viewer::UnsavedEdits::Discard; };
        panel.LbButton3->click();
        QCOMPARE(state(), QString("mcEsc"));
        QCOMPARE(saved, 1);
        QCOMPARE(quorvela::common::ReadTextLines(file).size(), std::size_t{8});

        panel.LbSpeedButton10->click();
        QCOMPARE(help, 1);
    }
};

QTEST_MAIN(ViewerWidgetTest)
#include "viewer_widget_test.moc"
