#include "ui/settings_binder.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QToolButton>
#include <algorithm>

#include "ui/text_codec.h"

namespace quorvela::ui {

namespace {

using settings::IniSettings;

// The days of the period as the settings file and the run take them.
const QString kDayFormat = QStringLiteral("yyyy-MM-dd");

// The binding table: one row per key of the settings file, in the file's order (which is also
// the order the controls take their values in). Applying and collecting walk the same rows.
template <class Visitor>
void VisitBindings(const WindowWidgets& w, Visitor&& v) {
    v.Check(w.stepsCheck, &IniSettings::UseSteps);
    v.Check(w.subfoldersCheck, &IniSettings::IncludeSubfolders);
    v.Check(w.threeDCheck, &IniSettings::ThreeD);
    v.AlwaysOn(w.barGraphCheck, &IniSettings::BarGraph);  // the focal-length chart is always drawn as bars
    v.Check(w.alwaysCalculateCheck, &IniSettings::AlwaysCalculate);
    v.Check(w.fractionShutterCheck, &IniSettings::FractionShutter);
    v.Choice(w.pathListQuantity, &IniSettings::PathList);
    v.Text(w.lensLengthEdit, &IniSettings::RealLens);
    v.Text(w.equivalentEdit, &IniSettings::Equivalent);
    v.Text(w.makeEdit, &IniSettings::FilterMake);
    v.Text(w.modelEdit, &IniSettings::FilterModel);
    v.Check(w.filterCheck, &IniSettings::FilterOn);
    v.Check(w.realLengthButton, &IniSettings::RealLength);
    v.Text(w.makerNoteLabelEdit, &IniSettings::MakerTag);
    v.Text(w.makerNoteDataEdit, &IniSettings::MakerData);
    v.Check(w.makerNoteCheck, &IniSettings::MakerNote);
    v.Text(w.lensEdit, &IniSettings::FilterLens);
    v.Day(w.fromCheck, w.fromDate, &IniSettings::PeriodFrom);
    v.Day(w.toCheck, w.toDate, &IniSettings::PeriodTo);
    v.Utf8Text(w.coverageEdit, &IniSettings::Coverage);
    v.Number(w.minRatingSpin, &IniSettings::MinRating);
    v.Check(w.noRejectedCheck, &IniSettings::NoRejected);
    v.Text(w.labelEdit, &IniSettings::FilterLabel);
    v.Number(w.ignoreSpin, &IniSettings::IgnoreUpTo);
    v.Number(w.stepSpin, &IniSettings::StepSize);
    v.Check(w.rememberPhotosCheck, &IniSettings::RememberPhotos);
    v.Folder(&IniSettings::Path);
    v.Check(w.rawHeifCheck, &IniSettings::IncludeRawHeif);
    v.Entry(w.statisticsBox, &IniSettings::Labels);
    v.TreeWidth(&IniSettings::Tree);
    v.WindowPlace();  // WinStatusTop, WinStatusLeft, WinStatusWidth, WinStatusHeight, WinStatusMain
}

}  // namespace

void SetChoice(QButtonGroup* group, int index) {
    if (QAbstractButton* button = group->button(index)) {
        button->setChecked(true);
        return;
    }
    // No entry selected: the group has to let go of its checked button first.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(false);
    group->setExclusive(true);
}

struct SettingsBinder::Applier {
    SettingsBinder& b;
    const IniSettings& v;

    void Check(QAbstractButton* box, bool IniSettings::*key) const { box->setChecked(v.*key); }
    void AlwaysOn(QAbstractButton* box, bool IniSettings::*) const { box->setChecked(true); }
    void Choice(QButtonGroup* group, int IniSettings::*key) const {
        SetChoice(group, v.*key);
        if (group->button(v.*key) == nullptr && b.hooks_.PathListCleared) b.hooks_.PathListCleared();
    }
    void Text(QLineEdit* edit, std::string IniSettings::*key) const { edit->setText(FromCp1252(v.*key)); }
    void Utf8Text(QLineEdit* edit, std::string IniSettings::*key) const { edit->setText(FromUtf8(v.*key)); }
    // A day that is no date leaves that end of the period open, as an empty one does.
    void Day(QAbstractButton* box, QDateEdit* date, std::string IniSettings::*key) const {
        const QDate day = QDate::fromString(FromUtf8(v.*key), kDayFormat);
        box->setChecked(day.isValid());
        if (day.isValid()) date->setDate(day);
    }
    void Number(QSpinBox* spin, int IniSettings::*key) const { spin->setValue(v.*key); }
    void Folder(std::string IniSettings::*key) const { b.savedFolder_ = FromUtf8(v.*key); }
    void Entry(QComboBox* box, int IniSettings::*key) const {
        box->setCurrentIndex(v.*key >= 0 && v.*key < box->count() ? v.*key : -1);
    }
    void TreeWidth(int IniSettings::*key) const {
        b.pendingTreeWidth_ = std::max(v.*key, kMinimumTreeWidth);
        if (b.treeLaidIn_) b.LayInTreeWidth();
    }
    void WindowPlace() const;
};

void SettingsBinder::Applier::WindowPlace() const {
    QMainWindow& window = b.window_;
    switch (v.WindowState) {
        case 1: {
            window.setWindowState(Qt::WindowNoState);
            Bounds bounds{v.WindowLeft, v.WindowTop, v.WindowWidth, v.WindowHeight};
            if (const QScreen* screen = QGuiApplication::primaryScreen()) {
                const QRect desktop = screen->availableVirtualGeometry();
                bounds = FitOnDesktop(bounds, {desktop.x(), desktop.y(), desktop.width(), desktop.height()},
                                      window.minimumSizeHint().width(), window.minimumSizeHint().height());
            }
            window.move(bounds.Left, bounds.Top);
            window.resize(bounds.Width, bounds.Height);
            break;
        }
        case 2:
            window.setWindowState(Qt::WindowMinimized);
            break;
        case 3:
            window.setWindowState(Qt::WindowMaximized);
            break;
        default:
            break;
    }
}

struct SettingsBinder::Collector {
    const SettingsBinder& b;
    IniSettings& v;

    void Check(const QAbstractButton* box, bool IniSettings::*key) const { v.*key = box->isChecked(); }
    void AlwaysOn(const QAbstractButton*, bool IniSettings::*key) const { v.*key = true; }
    void Choice(const QButtonGroup* group, int IniSettings::*key) const { v.*key = group->checkedId(); }
    void Text(const QLineEdit* edit, std::string IniSettings::*key) const { v.*key = ToCp1252(edit->text()); }
    void Utf8Text(const QLineEdit* edit, std::string IniSettings::*key) const { v.*key = ToUtf8(edit->text()); }
    void Day(const QAbstractButton* box, const QDateEdit* date, std::string IniSettings::*key) const {
        v.*key = box->isChecked() ? ToUtf8(date->date().toString(kDayFormat)) : std::string();
    }
    void Number(const QSpinBox* spin, int IniSettings::*key) const { v.*key = spin->value(); }
    void Folder(std::string IniSettings::*key) const { v.*key = ToUtf8(b.hooks_.SelectedFolder()); }
    void Entry(const QComboBox* box, int IniSettings::*key) const { v.*key = box->currentIndex(); }
    void TreeWidth(int IniSettings::*key) const { v.*key = b.TreeWidth(); }
    void WindowPlace() const;
};

void SettingsBinder::Collector::WindowPlace() const {
    const QMainWindow& window = b.window_;
    // A maximized or minimized window keeps the bounds it returns to, so a later normal start
    // opens where the user last had it.
    const bool away = window.isMaximized() || window.isMinimized();
    const QRect bounds = away ? window.normalGeometry() : window.geometry();
    const QPoint corner = away ? bounds.topLeft() : window.pos();
    v.WindowTop = corner.y();
    v.WindowLeft = corner.x();
    v.WindowWidth = bounds.width();
    v.WindowHeight = bounds.height();
    v.WindowState = window.isMinimized() ? 2 : window.isMaximized() ? 3 : 1;
}

SettingsBinder::SettingsBinder(QMainWindow& window, const WindowWidgets& widgets, Hooks hooks)
    : window_(window), w_(widgets), hooks_(std::move(hooks)) {}

void SettingsBinder::Apply(const IniSettings& values) {
    VisitBindings(w_, Applier{*this, values});
}

IniSettings SettingsBinder::Collect() const {
    IniSettings values;
    VisitBindings(w_, Collector{*this, values});
    return values;
}

int SettingsBinder::TreeWidth() const {
    return treeLaidIn_ ? w_.treePanel->width() : pendingTreeWidth_;
}

void SettingsBinder::LayInTreeWidth() {
    w_.splitter->setSizes({pendingTreeWidth_, std::max(w_.splitter->width() - pendingTreeWidth_, 1)});
    treeLaidIn_ = true;
}

}  // namespace quorvela::ui
