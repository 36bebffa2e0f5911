#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace quorvela::charts::testing {

// One QApplication for the whole test program, on the offscreen platform unless one is set.
// It is torn down after the last test, before static destructors run.
QApplication& App();

inline void SendMouse(QWidget& w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint pos) {
    QMouseEvent event(type, QPointF(pos), w.mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

// Press, move in two steps, release: what a hand on the mouse does.
inline void Drag(QWidget& w, Qt::MouseButton button, QPoint from, QPoint to) {
    SendMouse(w, QEvent::MouseButtonPress, button, button, from);
    SendMouse(w, QEvent::MouseMove, Qt::NoButton, button, (from + to) / 2);
    SendMouse(w, QEvent::MouseMove, Qt::NoButton, button, to);
    SendMouse(w, QEvent::MouseButtonRelease, button, Qt::NoButton, to);
}

}  // namespace quorvela::charts::testing
