// No text of the window is cut off at the screen sizes photographers use: each caption's width
// is compared with the room its control gives it, on every tab, with the filter panel open.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include "window_fixture.h"

using namespace quorvela::ui;
using namespace quorvela::ui::testing;

namespace {

// "name: text (needs N px, has M)" for a control whose text does not fit; empty when it fits.
QString Clipped(const QWidget* widget, const QString& text, int needs, int has) {
    if (needs <= has) return {};
    return QString("%1: \"%2\" needs %3 px, has %4").arg(widget->objectName(), text).arg(needs).arg(has);
}

QString LabelClipped(const QLabel* label) {
    if (label->text().isEmpty() || label->textFormat() == Qt::RichText || Qt::mightBeRichText(label->text())) return {};
    const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), 0);
    if (label->wordWrap()) {
        return Clipped(label, label->text(), label->heightForWidth(label->width()), label->height());
    }
    return Clipped(label, label->text(), label->fontMetrics().horizontalAdvance(label->text()), room.width());
}

QString ComboClipped(const QComboBox* box) {
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = box->isEditable();
    const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
    return Clipped(box, box->currentText(), box->fontMetrics().horizontalAdvance(box->currentText()), field.width());
}

// Every text of the window's visible controls that does not fit.
QStringList ClippedTexts(QWidget* window) {
    QStringList clipped;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->width() <= 0) continue;
        QString problem;
        if (const auto* label = qobject_cast<QLabel*>(widget)) {
            problem = LabelClipped(label);
        } else if (const auto* box = qobject_cast<QComboBox*>(widget)) {
            problem = ComboClipped(box);
        } else if (const auto* button = qobject_cast<QAbstractButton*>(widget); button && !button->text().isEmpty()) {
            // The box of the RAW and HEIF photos picks a shorter caption by design.
            if (button->objectName() == "IncludeRawHeif") continue;
            problem = Clipped(button, button->text(), button->sizeHint().width(), button->width());
        } else if (const auto* tabs = qobject_cast<QTabBar*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i) {
                const QString text = tabs->tabText(i);
                const QString tab =
                    Clipped(tabs, text, tabs->fontMetrics().horizontalAdvance(text), tabs->tabRect(i).width() - 8);
                if (!tab.isEmpty()) clipped << tab;
            }
        }
        if (!problem.isEmpty()) clipped << problem;
    }
    clipped.removeDuplicates();
    return clipped;
}

}  // namespace

class ClippingTest : public QObject {
    Q_OBJECT

  private slots:
    void noTextIsCutOff_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1366 x 768") << QSize(1366, 768);
        QTest::newRow("1920 x 1080") << QSize(1920, 1080);
    }
    void noTextIsCutOff() {
        QFETCH(QSize, size);
        TempDir folder;
        WindowUnderTest w(folder.path());
        w->setWindowState(Qt::WindowNoState);
        w->resize(size);
        w.Show();
        QCOMPARE(w->size(), size);
        QTRY_VERIFY(w->SelectFolder(QUORVELA_BIN_DIR "/demo"));
        QVERIFY(w.RunAndWait());
        w.Check("Cb_Custom")->setChecked(true);
        w.Check("ChBoxSteps")->setChecked(true);
        // A prime in steps: the longest coverage sentence, telling the shaded bar's count too.
        w.Edit("EditCoverage")->setText("40");
        w.Combo("ComboBoxValue")->setCurrentIndex(4);
        QStringList clipped;
        for (int tab = 0; tab < w.Tabs()->count(); ++tab) {
            w.Tabs()->setCurrentIndex(tab);
            QApplication::processEvents();
            for (const QString& text : ClippedTexts(w.window.get())) clipped << w.Tabs()->tabText(tab) + ": " + text;
        }
        clipped.removeDuplicates();
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join('\n')));
    }
};

QTEST_MAIN(ClippingTest)
#include "clipping_test.moc"
