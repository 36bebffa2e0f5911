// The Lens tab after a run: named lenses first and the others apart or left out, and the focal
// lengths and use of the selected lens beside the lens chart.
#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <fstream>

#include "exif_writer.h"
#include "ui/lens_panel.h"
#include "window_fixture.h"

using namespace quorvela::ui::testing;
using quorvela::Quantity;
namespace fs = std::filesystem;
namespace samples = quorvela::samples;

namespace {

// A crop camera's photos: real length, its 35 mm equivalent, the lens (none named for the last).
struct Photo {
    std::uint16_t focal;
    std::uint16_t equivalent;
    const char* lens;
};
constexpr Photo kPhotos[] = {{24, 38, "EF24-70mm f/2.8L II USM"},
                             {24, 38, "EF24-70mm f/2.8L II USM"},
                             {50, 80, "EF24-70mm f/2.8L II USM"},
                             {70, 112, "EF24-70mm f/2.8L II USM"},
                             {50, 80, "EF50mm f/1.8"},
                             {50, 80, "EF50mm f/1.8"},
                             {35, 56, nullptr}};
// The lens chart's points: the zoom, the prime, the empty slot, the photo without a lens name.
constexpr int kZoom = 0;
constexpr int kPrime = 1;
constexpr int kUnknown = 3;
const QString kUnknownLabel = QString::fromUtf8("unknown lens \u2014 Canon EOS 7D");

// A window run once over the photos, every length its own bar, showing the Lens tab.
struct LensWindow {
    explicit LensWindow(bool realLength = false) {
        fs::create_directories(photos);
        for (std::size_t i = 0; i < std::size(kPhotos); ++i) {
            samples::Tiff tiff;
            tiff.ifd0.Ascii(0x010F, "Canon").Ascii(0x0110, "Canon EOS 7D");
            samples::Ifd exif(false);
            exif.Rational(0x920A, {{kPhotos[i].focal, 1}}).Short(0xA405, {kPhotos[i].equivalent});
            if (kPhotos[i].lens != nullptr) exif.Ascii(0xA434, kPhotos[i].lens);
            tiff.ifd0.Link(0x8769, std::move(exif));
            const samples::Bytes bytes = samples::Jpeg().Soi().Exif(tiff).Eoi().Build();
            std::ofstream(photos / (std::to_string(i) + ".jpg"), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
        w.Show();
        w.Check("ChBoxSteps")->setChecked(false);
        w.Tool("LbSetforRealLength")->setChecked(realLength);
        QTRY_VERIFY(w->SelectFolder(QString::fromStdString(photos.string())));
        ran = w.RunAndWait();
        w.Tabs()->setCurrentWidget(w.OwnTab(4));
    }
    void Click(int point) {
        QTest::mouseClick(w.Chart(4), Qt::LeftButton, {}, w.Charts().PointRect(Quantity::Lens, point).center());
    }
    QStringList Focal() const {
        QStringList points;
        for (const auto& [label, value] : w.Charts().LensFocalShown().Points) {
            points << QString::fromStdString(label) + "=" + QString::number(value);
        }
        return points;
    }
    QString Use() const { return w.Label("LabelLensUse")->text(); }

    TempDir folder;
    fs::path photos = folder.path() / "photos";
    WindowUnderTest w{folder.path()};
    bool ran = false;
};

}  // namespace

class LensTabTest : public QObject {
    Q_OBJECT

  private slots:
    void aSelectedLensShowsItsFocalLengthsAndUse_data() {
        QTest::addColumn<bool>("realLength");
        QTest::addColumn<int>("point");
        QTest::addColumn<bool>("byKeys");
        QTest::addColumn<QStringList>("focal");
        QTest::addColumn<QString>("use");
        const QString zoomUse = QString::fromUtf8(
            "EF24-70mm f/2.8L II USM: 4 photos \u2014 50 % at 24 mm (the wide end), 25 % at 70 mm (the long end), "
            "25 % between");
        QTest::newRow("zoom, 35 mm") << false << kZoom << false << QStringList{"38=2", "80=1", "112=1"} << zoomUse;
        QTest::newRow("zoom, real length") << true << kZoom << false << QStringList{"24=2", "50=1", "70=1"} << zoomUse;
        QTest::newRow("prime, by keys") << false << kPrime << true << QStringList{"80=2"} << "EF50mm f/1.8: 2 photos";
        QTest::newRow("unknown, by keys over the slot")
            << false << kUnknown << true << QStringList{"56=1"} << kUnknownLabel + ": 1 photo";
    }
    void aSelectedLensShowsItsFocalLengthsAndUse() {
        QFETCH(bool, realLength);
        QFETCH(int, point);
        QFETCH(bool, byKeys);
        QFETCH(QStringList, focal);
        QFETCH(QString, use);
        LensWindow r(realLength);
        QVERIFY(r.ran);
        QVERIFY(r.Focal().isEmpty());
        QCOMPARE(r.Use(), QString(quorvela::ui::kLensFocalHint));
        if (byKeys) {
            r.w.Chart(4)->setFocus();
            r.w.Charts().SelectPoint(Quantity::Lens, kZoom);
            // Right from the zoom: the prime, then over the slot to the unknown lens.
            for (int i = 0; i < (point == kUnknown ? 2 : point); ++i) QTest::keyClick(r.w.Chart(4), Qt::Key_Right);
        } else {
            r.Click(point);
        }
        QCOMPARE(r.w.Charts().SelectedPoint(Quantity::Lens), point);
        QCOMPARE(r.w.Tabs()->currentWidget(), r.w.OwnTab(4));  // a selection lists no photos
        QCOMPARE(r.Focal(), focal);
        QCOMPARE(r.Use(), use);
        QCOMPARE(r.w.Charts().LensFocalShown().Title.starts_with("focal length, 35 mm"), !realLength);
        r.w.Check("ChB3D")->setChecked(true);  // the display options reach it as they reach the lens chart
        QVERIFY(r.w.Charts().LensFocalShown().View3D);
    }

    void theOthersStandApartOrAreLeftOutWithTheirSelection() {
        LensWindow r;
        QVERIFY(r.ran);
        const QStringList named{"EF24-70mm f/2.8L II USM=4", "EF50mm f/1.8=2"};
        QCOMPARE(r.w.Points(4), named + QStringList({"=nan", kUnknownLabel + "=1"}));
        QCheckBox* others = r.w.Check("ChB_UnnamedLenses");
        r.Click(kPrime);
        others->setChecked(false);  // no run needed
        QCOMPARE(r.w.Points(4), named);
        QCOMPARE(r.w.Charts().SelectedPoint(Quantity::Lens), kPrime);
        QCOMPARE(r.Focal(), QStringList{"80=2"});
        others->setChecked(true);
        r.Click(kUnknown);
        others->setChecked(false);  // the lens is left out, and its answer with it
        QCOMPARE(r.w.Charts().SelectedPoint(Quantity::Lens), -1);
        QVERIFY(r.Focal().isEmpty());
        QCOMPARE(r.Use(), QString(quorvela::ui::kLensFocalHint));
    }
};

QTEST_MAIN(LensTabTest)
#include "lens_tab_test.moc"
