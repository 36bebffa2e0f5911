#include "ui/status_link.h"

#include <QEvent>
#include <QStatusBar>
#include <algorithm>

namespace quorvela::ui {

namespace {

constexpr int kMargin = 8;  // the label's own frame and the gap before the size grip

}  // namespace

StatusLink::StatusLink(QStatusBar* bar) : QLabel(bar), bar_(bar) {
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    hide();
    bar_->installEventFilter(this);
}

void StatusLink::SetLink(const QString& text) {
    text_ = text;
    setToolTip(text_);
    Fit();
    setVisible(!text_.isEmpty());
}

bool StatusLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bar_ && event->type() == QEvent::Resize && !text_.isEmpty()) Fit();
    return QLabel::eventFilter(watched, event);
}

void StatusLink::Fit() {
    if (text_.isEmpty()) {
        clear();
        return;
    }
    const int room = std::max(bar_->width() * 2 / 3, kMargin * 4);
    // The end says what the link does; the middle can go.
    const QString shown = fontMetrics().elidedText(text_, Qt::ElideMiddle, room - kMargin);
    setText("<a href=\"#crop\">" + shown.toHtmlEscaped() + "</a>");
    setMaximumWidth(room);
}

}  // namespace quorvela::ui
