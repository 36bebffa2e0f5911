#include "ui/messages.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>
#include <QSpacerItem>
#include <QStyle>

namespace quorvela::ui {

namespace {

// A box as narrow as a short text leaves its title no room beside the window's icon and its
// three buttons, and the window manager cuts the title. Title bars are mostly bold.
int TitleBarWidth(const QMessageBox& box) {
    QFont font = box.font();
    font.setBold(true);
    const int titleBarHeight = box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    const int frame = box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &box);
    return QFontMetrics(font).horizontalAdvance(box.windowTitle()) + 4 * titleBarHeight + 2 * frame;
}

void WidenForTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) return;
    // The box sizes itself to its layout when shown: a spacer across the bottom sets its least width.
    const QMargins margins = grid->contentsMargins();
    const int width = TitleBarWidth(box) - margins.left() - margins.right();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

}  // namespace

bool AskYesNo(QWidget* parent, const QString& question) {
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), question,
                    QMessageBox::Yes | QMessageBox::No, parent);
    WidenForTitle(box);
    return box.exec() == QMessageBox::Yes;
}

void MessageBoxSink::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, parent_);
    // Some messages separate their lines with bare carriage returns.
    box.setText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QChar('\r'), QChar('\n')));
    WidenForTitle(box);
    QWidget* previous = showing_;
    showing_ = &box;
    box.exec();
    showing_ = previous;
}

void MessageBoxSink::DismissShowing() {
    if (auto* box = qobject_cast<QMessageBox*>(showing_)) box->done(QMessageBox::Ok);
}

}  // namespace quorvela::ui
