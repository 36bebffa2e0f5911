// The control-state rules of the window, without a window.
#include <QRect>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "settings/program_folder.h"
#include "ui/control_rules.h"
#include "ui/crop_factor_rules.h"
#include "ui/help_topics.h"
#include "ui/photo_answers.h"

using namespace quorvela::ui;
using quorvela::PerQuantity;
using quorvela::Quantity;
namespace fs = std::filesystem;

Q_DECLARE_METATYPE(std::string)

class RulesTest : public QObject {
    Q_OBJECT

  private slots:
    // The window's test has named lenses and others; each group alone needs no empty slot.
    void lensBars_data() {
        QTest::addColumn<QStringList>("categories");
        QTest::addColumn<QString>("bars");  // the rows of the bars, "-" for the empty slot
        QTest::newRow("no named lens") << QStringList{"unknown lens", "built-in lens"} << "0 1";
        QTest::newRow("no other lens") << QStringList{"EF50mm f/1.8", "EF-S18-55mm"} << "0 1";
    }
    void lensBars() {
        QFETCH(QStringList, categories);
        QFETCH(QString, bars);
        std::vector<std::string> texts;
        for (const QString& c : categories) texts.push_back(c.toStdString());
        QStringList shown;
        for (const auto& row : LensBars(texts, true)) shown << (row ? QString::number(*row) : QString("-"));
        QCOMPARE(shown.join(' '), bars);
    }

    void barPhotosHeading_data() {
        using quorvela::Quantity;
        QTest::addColumn<int>("quantity");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("heading");
        QTest::newRow("aperture with F") << int(Quantity::Aperture) << "F5.6" << 3 << "3 photos at F5.6";
        QTest::newRow("thousands") << int(Quantity::Iso) << "100" << 12345 << "12,345 photos at ISO 100";
        QTest::newRow("aperture without F") << int(Quantity::Aperture) << "5.6" << 3 << "3 photos at F5.6";
        QTest::newRow("shutter") << int(Quantity::Shutter) << "1/125" << 2 << "2 photos at 1/125 s";
        QTest::newRow("no focal length") << int(Quantity::FocalLength) << "-1" << 4
                                         << "4 photos without a focal length";
        QTest::newRow("no ISO") << int(Quantity::Iso) << "0" << 4 << "4 photos without an ISO value";
    }
    void barPhotosHeading() {
        QFETCH(int, quantity);
        QFETCH(QString, label);
        QFETCH(int, count);
        QFETCH(QString, heading);
        const std::string text = BarPhotosHeading(static_cast<quorvela::Quantity>(quantity), label.toStdString(),
                                                  static_cast<std::size_t>(count));
        QCOMPARE(QString::fromStdString(text), heading);
    }

    void modeDisplay_data() {
        QTest::addColumn<bool>("realLength");
        QTest::addColumn<bool>("alwaysCalculate");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("manualFactorVisible");
        QTest::newRow("35mm equivalent") << false << false << "35mm equivalent" << true;
        QTest::newRow("always calculate") << false << true << "Calculate 35mm" << true;
        QTest::newRow("real length") << true << false << "Real lens length" << false;
        QTest::newRow("real length wins") << true << true << "Real lens length" << false;
    }
    void modeDisplay() {
        QFETCH(bool, realLength);
        QFETCH(bool, alwaysCalculate);
        QFETCH(QString, caption);
        QFETCH(bool, manualFactorVisible);
        const ModeDisplay display = DisplayFor({realLength, alwaysCalculate});
        QCOMPARE(QString::fromUtf8(display.Caption.data(), display.Caption.size()), caption);
        QCOMPARE(display.ManualFactorVisible, manualFactorVisible);
    }

    void doubleClickCycle_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("next");
        QTest::newRow("35mm to real") << "35mm equivalent"
                                      << "Real lens length";
        QTest::newRow("real to calculate") << "Real lens length"
                                           << "Calculate 35mm";
        QTest::newRow("calculate to 35mm") << "Calculate 35mm"
                                           << "35mm equivalent";
    }
    void doubleClickCycle() {
        QFETCH(QString, caption);
        QFETCH(QString, next);
        const std::optional<LensMode> mode = NextMode(caption.toStdString());
        QVERIFY(mode.has_value());
        const ModeDisplay display = DisplayFor(*mode);
        QCOMPARE(QString::fromUtf8(display.Caption.data(), display.Caption.size()), next);
    }

    void threeDoubleClicksComeBack() {
        std::string caption(kModeCalculate);
        for (int i = 0; i < 3; ++i) caption = std::string(DisplayFor(*NextMode(caption)).Caption);
        QCOMPARE(caption, std::string(kModeCalculate));
    }

    void otherCaptionsChangeNothing_data() {
        QTest::addColumn<QString>("caption");
        QTest::newRow("lower case") << "35mm Equivalent";
        QTest::newRow("blank after") << "Real lens length ";
        QTest::newRow("empty") << "";
    }
    void otherCaptionsChangeNothing() {
        QFETCH(QString, caption);
        QVERIFY(!NextMode(caption.toStdString()).has_value());
    }

    void decimalKeys_data() {
        QTest::addColumn<QChar>("key");
        QTest::addColumn<char>("separator");
        QTest::addColumn<bool>("kept");
        QTest::newRow("comma under point") << QChar(',') << '.' << false;
        QTest::newRow("point under point") << QChar('.') << '.' << true;
        QTest::newRow("point under comma") << QChar('.') << ',' << false;
        QTest::newRow("comma under comma") << QChar(',') << ',' << true;
        QTest::newRow("digit") << QChar('7') << '.' << true;
        QTest::newRow("letter") << QChar('x') << ',' << true;
    }
    void decimalKeys() {
        QFETCH(QChar, key);
        QFETCH(char, separator);
        QFETCH(bool, kept);
        QCOMPARE(KeepDecimalKey(key.unicode(), separator), kept);
    }

    void pointsPerPageWrap_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("becomes");  // -1: stands
        QTest::newRow("step down from 0") << -10 << 100;
        QTest::newRow("step up from 100") << 110 << 0;
        QTest::newRow("0 stands") << 0 << -1;
        QTest::newRow("50 stands") << 50 << -1;
        QTest::newRow("100 stands") << 100 << -1;
    }
    void pointsPerPageWrap() {
        QFETCH(int, value);
        QFETCH(int, becomes);
        const std::optional<int> wrapped = WrappedPointsPerPage(value);
        QCOMPARE(wrapped.value_or(-1), becomes);
    }

    void statisticsModes() {
        QCOMPARE(kStatisticsModes.size(), std::size_t{6});
        QCOMPARE(std::string(kStatisticsModes[0]), std::string("Statistics off"));
        QCOMPARE(std::string(kStatisticsModes[5]), std::string("Show all statistics"));
    }

    void overviewGrid_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::newRow("odd sizes leave a strip") << 641 << 313 << 320 << 156;
        QTest::newRow("even sizes") << 800 << 600 << 400 << 300;
        QTest::newRow("tiny") << 1 << 1 << 0 << 0;
    }
    void overviewGrid() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, w);
        QFETCH(int, h);
        const auto grid = OverviewGrid(width, height);
        QCOMPARE(grid[0], (GridCell{0, 0, w, h}));
        QCOMPARE(grid[1], (GridCell{w, 0, w, h}));
        QCOMPARE(grid[2], (GridCell{0, h, w, h}));
        QCOMPARE(grid[3], (GridCell{w, h, w, h}));
    }

    void resetButtonsAfterZoom() {
        ViewStates views{};
        views[Quantity::Iso] = {true, true, 0};
        const ResetButtons buttons = AfterZoom(views);
        QVERIFY(buttons.Overview);
        QCOMPARE(buttons.Fit, (PerQuantity<bool>{{false, true, false, false, false, false}}));
    }

    void resetButtonsAfterUndo() {
        ViewStates views{};
        // The chart being reset still reads as zoomed while its listeners run.
        views[Quantity::Aperture] = {true, false, 0};
        QCOMPARE(AfterUndoZoom(views), (ResetButtons{true, {false, false, true, false}}));
        QCOMPARE(AfterUndoZoom(ViewStates{}), (ResetButtons{false, {false, false, false, false, false}}));
    }

    void resetButtonsAfterScroll() {
        ViewStates views{};
        views[Quantity::FocalLength].FirstShown = 3;
        views[Quantity::Shutter] = {false, true, 0};  // panned up or down only
        QCOMPARE(AfterScroll(views), (ResetButtons{true, {true, false, false, true}}));
    }

    void savedBoundsOnTheDesktop_data() {
        QTest::addColumn<QRect>("saved");
        QTest::addColumn<QRect>("shown");
        QTest::newRow("inside stays") << QRect(100, 50, 700, 500) << QRect(100, 50, 700, 500);
        QTest::newRow("partly off stays") << QRect(1000, 600, 700, 500) << QRect(1000, 600, 700, 500);
        QTest::newRow("off to the right is centred") << QRect(3000, 50, 700, 500) << QRect(290, 150, 700, 500);
        QTest::newRow("above the top is centred") << QRect(100, -400, 700, 500) << QRect(290, 150, 700, 500);
        QTest::newRow("too large shrinks") << QRect(0, 0, 5000, 4000) << QRect(0, 0, 1280, 800);
        QTest::newRow("negative size grows") << QRect(10, 10, -5, 0) << QRect(10, 10, 400, 300);
    }
    void savedBoundsOnTheDesktop() {
        QFETCH(QRect, saved);
        QFETCH(QRect, shown);
        const Bounds fit =
            FitOnDesktop({saved.x(), saved.y(), saved.width(), saved.height()}, {0, 0, 1280, 800}, 400, 300);
        QCOMPARE(QRect(fit.Left, fit.Top, fit.Width, fit.Height), shown);
    }

    void helpPages() {
        QCOMPARE(std::string(HelpPageFor(kHelpTopicProgram)), std::string("index.html"));
        QCOMPARE(std::string(HelpPageFor(kHelpTopicCameraTable)), std::string("camera-table.html"));
        QCOMPARE(std::string(HelpPageFor(42)), std::string("index.html"));
    }

    void helpFolderIsTheFirstWithTheFrontPage() {
        const fs::path base = fs::temp_directory_path() / "quorvela-help-test";
        fs::remove_all(base);
        fs::create_directories(base / "empty");
        fs::create_directories(base / "full");
        std::ofstream(base / "full" / "index.html") << "<html></html>";
        QCOMPARE(FindHelpFolder({base / "missing", base / "empty", base / "full"}), base / "full");
        QVERIFY(FindHelpFolder({base / "empty"}).empty());
        fs::remove_all(base);
    }

    void shippedHelpHasEveryTopicPage() {
        const fs::path help = fs::path(QUORVELA_SOURCE_DIR) / "docs" / "help";
        for (const auto page :
             {HelpPageFor(kHelpTopicProgram), HelpPageFor(kHelpTopicCameraTable), kHomePage, kSupportPage}) {
            QVERIFY2(fs::is_regular_file(help / page), std::string(page).c_str());
        }
    }

    void writableProgramFolderStays() {
        const fs::path folder = fs::temp_directory_path();
        QCOMPARE(quorvela::settings::WritableProgramFolder(folder), folder);
    }

    void unwritableProgramFolderMovesToTheUsersConfiguration() {
        const fs::path base = fs::temp_directory_path() / "quorvela-config-test";
        fs::remove_all(base);
        fs::create_directories(base / "config");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((base / "config").string()));
        // A folder that does not exist cannot be written to, also for root.
        QCOMPARE(quorvela::settings::WritableProgramFolder(base / "no-such-folder"), base / "config" / "quorvela");
        QVERIFY(fs::is_directory(base / "config" / "quorvela"));
        qunsetenv("XDG_CONFIG_HOME");
        fs::remove_all(base);
    }

    // A crop factor typed into the crop-factor dialog: the number kept, or the reason it is not.
    void cropFactor_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("factor");   // 0: refused
        QTest::addColumn<QString>("reason");  // a part of the reason given
        QTest::newRow("point") << "1.6" << 1.6 << "";
        QTest::newRow("comma") << "1,6" << 1.6 << "";
        QTest::newRow("blanks around") << " 2 " << 2.0 << "";
        QTest::newRow("large format") << "0.1" << 0.1 << "";
        QTest::newRow("smallest sensors") << "20" << 20.0 << "";
        QTest::newRow("empty") << "" << 0.0 << "enter its crop factor";
        QTest::newRow("blanks only") << "   " << 0.0 << "enter its crop factor";
        QTest::newRow("word") << "APS-C" << 0.0 << "\"APS-C\" is not a number";
        QTest::newRow("two points") << "1.6.2" << 0.0 << "is not a number";
        QTest::newRow("point and comma") << "1,600.5" << 0.0 << "is not a number";
        QTest::newRow("exponent") << "1e1" << 0.0 << "is not a number";
        QTest::newRow("space inside") << "1 6" << 0.0 << "is not a number";
        QTest::newRow("zero") << "0" << 0.0 << "more than 0";
        QTest::newRow("negative") << "-1.5" << 0.0 << "more than 0";
        QTest::newRow("too small") << "0.05" << 0.0 << "too small";
        QTest::newRow("a focal length typed instead") << "35" << 0.0 << "35 is too large";
    }
    void cropFactor() {
        QFETCH(QString, typed);
        QFETCH(double, factor);
        QFETCH(QString, reason);
        const CropFactorReading reading = ReadCropFactor(typed.toStdString());
        if (factor > 0) {
            QVERIFY(reading.Factor.has_value());
            QCOMPARE(*reading.Factor, factor);
            QCOMPARE(QString::fromStdString(reading.Problem), QString());
        } else {
            QVERIFY(!reading.Factor.has_value());
            QVERIFY2(QString::fromStdString(reading.Problem).contains(reason), reading.Problem.c_str());
        }
    }

    // The dialog's OK: ticked rows need a factor, unticked ones are left out, none ticked is refused.
    void cropFactorRows() {
        const CropFactorChoices kept = ReadCropFactors({{"A one", true, "1,5"}, {"B two", false, ""}});
        QCOMPARE(kept.Problem, std::string());
        QCOMPARE(kept.Factors.size(), std::size_t{2});
        QCOMPARE(*kept.Factors[0], 1.5);
        QVERIFY(!kept.Factors[1].has_value());

        const CropFactorChoices refused = ReadCropFactors({{"A one", true, "1.5"}, {"B two", true, "x"}});
        QCOMPARE(refused.ProblemRow, 1);
        QVERIFY(refused.Factors.empty());  // nothing is kept while one row is wrong
        QVERIFY(QString::fromStdString(refused.Problem).startsWith("B two: "));

        const CropFactorChoices none = ReadCropFactors({{"A one", false, "1.5"}});
        QCOMPARE(none.ProblemRow, -1);
        QVERIFY(QString::fromStdString(none.Problem).contains("Tick at least one camera"));
    }
};

QTEST_APPLESS_MAIN(RulesTest)
#include "rules_test.moc"
