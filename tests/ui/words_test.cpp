// The words the window writes from plain rules: the coverage field read as a photographer writes
// a lens, and the caption under a saved chart.
#include <QTest>

#include "ui/chart_caption.h"
#include "ui/coverage_field.h"

using namespace quorvela::ui;

class WordsTest : public QObject {
    Q_OBJECT

  private slots:
    void coverageField_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("read");  // "from-to", "prime N", "none" or the problem
        QTest::newRow("range") << "24-70"
                               << "24-70";
        QTest::newRow("range in mm") << "24-70mm"
                                     << "24-70";
        QTest::newRow("en dash and blank mm") << "24\u201370 mm"
                                              << "24-70";
        QTest::newRow("em dash") << "24\u201470"
                                 << "24-70";
        QTest::newRow("mm on both ends") << "24 mm - 70 MM"
                                         << "24-70";
        QTest::newRow("prime") << "50"
                               << "prime 50";
        QTest::newRow("prime in mm") << "50mm"
                                     << "prime 50";
        QTest::newRow("decimal comma") << "4,5-9"
                                       << "4.5-9";
        QTest::newRow("every photo") << "0-2000"
                                     << "0-2000";
        QTest::newRow("blanks only") << "   "
                                     << "none";
        QTest::newRow("reversed") << "70-24" << QString::fromUtf8(kCoverageReversed.data());
        QTest::newRow("zero prime") << "0" << QString::fromUtf8(kCoverageZero.data());
        QTest::newRow("words") << "wide" << QString::fromUtf8(kCoverageHint.data());
        QTest::newRow("open range") << "24-" << QString::fromUtf8(kCoverageHint.data());
        QTest::newRow("two points") << "2.4.5" << QString::fromUtf8(kCoverageHint.data());
        QTest::newRow("other unit") << "24-70cm" << QString::fromUtf8(kCoverageHint.data());
    }
    void coverageField() {
        QFETCH(QString, typed);
        QFETCH(QString, read);
        const CoverageField field = ReadCoverageField(typed.toStdString());
        QString got = QString::fromStdString(field.Problem);
        if (field.Range) {
            got = field.Range->Prime ? "prime " + QString::number(field.Range->From)
                                     : QString::number(field.Range->From) + "-" + QString::number(field.Range->To);
        } else if (got.isEmpty()) {
            got = "none";
        }
        QCOMPARE(got, read);
    }

    void stepSpan_data() {
        QTest::addColumn<int>("bar");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("ignore");
        QTest::addColumn<QString>("lengths");
        QTest::newRow("halfway goes up to the bar") << 50 << 10 << 28 << "45-54";
        QTest::newRow("the first step above ignore") << 30 << 10 << 28 << "29-34";
        QTest::newRow("a length kept whole") << 24 << 10 << 28 << "24-24";
        QTest::newRow("an odd step") << 49 << 7 << 28 << "46-52";
        QTest::newRow("steps of one") << 50 << 1 << 28 << "50-50";
    }
    void stepSpan() {
        QFETCH(int, bar);
        QFETCH(int, step);
        QFETCH(int, ignore);
        QFETCH(QString, lengths);
        const LengthSpan span = StepSpan(bar, step, ignore);
        QCOMPARE(QString::number(span.From) + "-" + QString::number(span.To), lengths);
    }

    void coverageWords_data() {
        QTest::addColumn<QString>("range");
        QTest::addColumn<bool>("realLength");
        QTest::addColumn<int>("covered");
        QTest::addColumn<int>("bars");  // shaded bars; 0: no steps
        QTest::addColumn<int>("barPhotos");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("prime in steps") << "50" << false << 90 << 1 << 140
                                        << "50 mm (35 mm equivalent) covers 90 of 3,400 photos (2.6 %). The shaded bar "
                                           "holds 140 photos: with steps of 10 mm, it counts 45 to 54 mm.";
        QTest::newRow("range in steps") << "24-70" << false << 1200 << 5 << 1300
                                        << QString::fromUtf8(
                                               "24\u201370 mm (35 mm equivalent) covers 1,200 of 3,400 "
                                               "photos (35.3 %). The shaded bars hold 1,300 photos: with "
                                               "steps of 10 mm, they count 25 to 74 mm.");
        QTest::newRow("real length, no steps")
            << "24-70" << true << 1200 << 0 << 0
            << QString::fromUtf8("24\u201370 mm (real length) covers 1,200 of 3,400 photos (35.3 %)");
        QTest::newRow("bars agree") << "50" << false << 90 << 1 << 90
                                    << "50 mm (35 mm equivalent) covers 90 of 3,400 photos (2.6 %)";
    }
    void coverageWords() {
        QFETCH(QString, range);
        QFETCH(bool, realLength);
        QFETCH(int, covered);
        QFETCH(int, bars);
        QFETCH(int, barPhotos);
        QFETCH(QString, sentence);
        const CoverageField field = ReadCoverageField(range.toStdString());
        QVERIFY(field.Range);
        std::optional<ShadedBars> shaded;
        if (bars > 0) {
            const auto from = static_cast<int>(field.Range->From);
            const auto to = static_cast<int>(field.Range->To);
            shaded =
                ShadedBars{bars, barPhotos, {StepSpan((from + 9) / 10 * 10, 10, 0).From, StepSpan(to, 10, 0).To}, 10};
        }
        QCOMPARE(QString::fromStdString(CoverageWords(*field.Range, {covered, 3400}, realLength, shaded)), sentence);
    }

    void chartCaption_data() {
        QTest::addColumn<bool>("realLength");
        QTest::addColumn<bool>("filterOn");
        QTest::addColumn<QStringList>("fields");  // make, model, mn label, mn data, lens, from, to (Windows-1252)
        QTest::addColumn<QString>("coverage");
        QTest::addColumn<int>("photos");
        QTest::addColumn<QString>("caption");
        const QStringList none{"", "", "", "", "", "", ""};
        const QString dot = QString::fromUtf8(" \u00b7 ");
        QTest::newRow("plain") << false << false << none << "" << 3400
                               << "/p" + dot + "35 mm equivalent" + dot + "no filter" + dot + "3,400 photos" + dot +
                                      "2026-12-08";
        QTest::newRow("real length, one photo")
            << true << false << none << "" << 1
            << "/p" + dot + "real length" + dot + "no filter" + dot + "1 photo" + dot + "2026-12-08";
        QTest::newRow("filter on, nothing set")
            << false << true << none << "" << 2
            << "/p" + dot + "35 mm equivalent" + dot + "no filter" + dot + "2 photos" + dot + "2026-12-08";
        QTest::newRow("fields off are not shown")
            << false << false << QStringList{"Canon", "", "", "", "", "", ""} << "" << 2
            << "/p" + dot + "35 mm equivalent" + dot + "no filter" + dot + "2 photos" + dot + "2026-12-08";
        QTest::newRow("only the fields set")
            << false << true << QStringList{"Canon", "", "", "", "24-70", "2024-01-01", "2024-06-30"} << "" << 2
            << "/p" + dot + "35 mm equivalent" + dot +
                   "filter: make Canon, lens 24-70, period 2024-01-01 to 2024-06-30" + dot + "2 photos" + dot +
                   "2026-12-08";
        QTest::newRow("maker note needs both")
            << false << true << QStringList{"", "", "Quality", "", "", "", ""} << "" << 2
            << "/p" + dot + "35 mm equivalent" + dot + "no filter" + dot + "2 photos" + dot + "2026-12-08";
        QTest::newRow("maker note, open period")
            << false << true << QStringList{"", "", "Quality", "Fine", "", "", "2024-06-30"} << "" << 2
            << "/p" + dot + "35 mm equivalent" + dot + "filter: maker note Quality = Fine, period up to 2024-06-30" +
                   dot + "2 photos" + dot + "2026-12-08";
        QTest::newRow("code page") << false << true
                                   << QStringList{"", QString::fromLatin1("Caf\xe9"), "", "", "", "2024-01-01", ""}
                                   << "" << 2
                                   << "/p" + dot + "35 mm equivalent" + dot +
                                          QString::fromUtf8("filter: model Caf\u00e9, period from 2024-01-01") + dot +
                                          "2 photos" + dot + "2026-12-08";
        QTest::newRow("coverage") << false << false << none << "24-70 mm covers 1 of 2 photos (50 %)" << 2
                                  << "/p" + dot + "35 mm equivalent" + dot + "no filter" + dot +
                                         "24-70 mm covers 1 of 2 photos (50 %)" + dot + "2 photos" + dot + "2026-12-08";
    }
    void chartCaption() {
        QFETCH(bool, realLength);
        QFETCH(bool, filterOn);
        QFETCH(QStringList, fields);
        QFETCH(QString, coverage);
        QFETCH(int, photos);
        QFETCH(QString, caption);
        quorvela::analysis::AnalysisSettings settings;
        settings.RootFolder = "/p";
        settings.Lens.RealLength = realLength;
        settings.FilterOn = filterOn;
        std::vector<std::string> f;
        for (const QString& field : fields) f.push_back(field.toLatin1().toStdString());
        settings.Filter = {f[0], f[1], f[2], f[3], f[4], f[5], f[6]};

        QCOMPARE(QString::fromStdString(ChartCaption(settings, photos, coverage.toStdString(), "2026-12-08")), caption);
    }

    void chartCaptionOfTheRatingFilters() {
        quorvela::analysis::AnalysisSettings settings;
        settings.RootFolder = "/p";
        settings.FilterOn = true;
        settings.Filter.NoRejected = true;
        settings.Filter.Label = "Rot \u00fcber";  // UTF-8 as XMP gives it, not the code page
        QCOMPARE(QString::fromStdString(ChartCaption(settings, 1, {}, "2026-12-08")),
                 QString::fromUtf8("/p \u00b7 35 mm equivalent \u00b7 filter: no rejected photos, label Rot \u00fcber "
                                   "\u00b7 1 photo \u00b7 2026-12-08"));
        // A least number of stars leaves the rejected photos out already.
        settings.Filter.MinRating = 3;
        QCOMPARE(QString::fromStdString(FilterWords(settings)),
                 QString::fromUtf8("at least 3 stars, label Rot \u00fcber"));
    }
};

QTEST_APPLESS_MAIN(WordsTest)
#include "words_test.moc"
