#include "ui/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace quorvela::ui {

void MessageBoxSink::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, parent_);
    // Some messages separate their lines with bare carriage returns.
    box.setText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QChar('\r'), QChar('\n')));
    QWidget* previous = showing_;
    showing_ = &box;
    box.exec();
    showing_ = previous;
}

void MessageBoxSink::DismissShowing() {
    if (auto* box = qobject_cast<QMessageBox*>(showing_)) box->done(QMessageBox::Ok);
}

}  // namespace quorvela::ui
