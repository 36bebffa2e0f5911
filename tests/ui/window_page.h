#pragma once

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QString>
#include <QStringList>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QWidget>
#include <array>

#include "charts/chart_set.h"
#include "common/quantity.h"
#include "ui/settings_binder.h"

namespace quorvela::ui::testing {

// The chart at `index` of the charts' order (0 = focal length … 4 = lens), as the window's
// object names number them.
inline Quantity ChartAt(int index) {
    return QuantityAt(index).value();
}

// The main window as a test sees it: its controls found by their object names, which are the
// names the product gives them ("StartAnalyzing", "ChB_Subs", "TabSheet7", ...). A name that
// is not there ends the test program with that name.
class WindowPage {
  public:
    explicit WindowPage(QWidget* window = nullptr) : window_(window) {}
    void SetWindow(QWidget* window) { window_ = window; }

    // The control of that name and type.
    template <class T>
    [[nodiscard]] T* Find(const char* name) const {
        T* found = window_->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) qFatal("the window has no %s named %s", T::staticMetaObject.className(), name);
        return found;
    }

    [[nodiscard]] QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
    [[nodiscard]] QToolButton* Tool(const char* name) const { return Find<QToolButton>(name); }
    [[nodiscard]] QCheckBox* Check(const char* name) const { return Find<QCheckBox>(name); }
    [[nodiscard]] QSpinBox* Spin(const char* name) const { return Find<QSpinBox>(name); }
    [[nodiscard]] QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(name); }
    [[nodiscard]] QLabel* Label(const char* name) const { return Find<QLabel>(name); }
    [[nodiscard]] QComboBox* Combo(const char* name) const { return Find<QComboBox>(name); }
    [[nodiscard]] QProgressBar* Progress(const char* name) const { return Find<QProgressBar>(name); }
    [[nodiscard]] QPlainTextEdit* Text(const char* name) const { return Find<QPlainTextEdit>(name); }
    // A panel, a tab page or any other control by its name.
    [[nodiscard]] QWidget* Widget(const char* name) const { return Find<QWidget>(name); }

    [[nodiscard]] QTabWidget* Tabs() const { return Find<QTabWidget>("PageControl1"); }
    [[nodiscard]] QTreeView* Tree() const { return Find<QTreeView>("ShellTreeView1"); }
    [[nodiscard]] QSplitter* Splitter() const { return Find<QSplitter>("Splitter1"); }
    [[nodiscard]] QStatusBar* StatusBar() const { return Find<QStatusBar>("StatusBar1"); }
    [[nodiscard]] QLabel* StatusPanel() const { return Label("StatusPanel"); }

    // The path-list quantity: the checked entry of "RadioGroup1" (-1 for none), and checking one.
    [[nodiscard]] int PathListIndex() const { return Find<QButtonGroup>("RadioGroup1Buttons")->checkedId(); }
    void SetPathListIndex(int index) const { SetChoice(Find<QButtonGroup>("RadioGroup1Buttons"), index); }

    // The usage charts: 0 = focal length ("Chart5") … 3 = shutter speed ("Chart8"), 4 = lens ("ChartLens").
    [[nodiscard]] charts::ChartSet& Charts() const {
        auto* set = dynamic_cast<charts::ChartSet*>(Find<QObject>("ChartSet"));
        if (set == nullptr) qFatal("the window's ChartSet is not a ChartSet");
        return *set;
    }
    [[nodiscard]] QWidget* Chart(int index) const {
        static constexpr const char* kNames[] = {"Chart5", "Chart6", "Chart7", "Chart8", "ChartLens", "ChartRating"};
        return Widget(kNames[index]);
    }
    // The tab each chart has to itself: "Lens Length", "ISO", "Aperture", "Shutter Speed", "Lens", "Rating".
    [[nodiscard]] QWidget* OwnTab(int index) const {
        static constexpr const char* kNames[] = {"TabSheet2", "TabSheet3",    "TabSheet4",
                                                 "TabSheet6", "TabSheetLens", "TabSheetRating"};
        return Widget(kNames[index]);
    }
    // "Fit graph" and "Save" under each chart.
    [[nodiscard]] QToolButton* FitButton(int index) const {
        static constexpr const char* kNames[] = {"LbSpeedButton1", "LbSpeedButton2", "LbSpeedButton3",
                                                 "LbSpeedButton4"};
        return Tool(kNames[index]);
    }
    [[nodiscard]] QToolButton* SaveButton(int index) const {
        static constexpr const char* kNames[] = {"LbSaveDate", "LbSpeedButton5", "LbSpeedButton6", "LbSpeedButton7"};
        return Tool(kNames[index]);
    }
    [[nodiscard]] std::array<QToolButton*, 4> SaveButtons() const {
        return {SaveButton(0), SaveButton(1), SaveButton(2), SaveButton(3)};
    }
    // The points of one chart as "label=count" texts.
    [[nodiscard]] QStringList Points(int chart) const {
        QStringList points;
        for (const auto& [label, value] : Charts().ShownBy(ChartAt(chart)).Points) {
            points << QString::fromStdString(label) + "=" + QString::number(value);
        }
        return points;
    }

  private:
    QWidget* window_;
};

}  // namespace quorvela::ui::testing
