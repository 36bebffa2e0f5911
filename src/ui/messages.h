#pragma once

#include <QString>

class QWidget;

namespace quorvela::ui {

// How the window tells the user something: a modal box with one OK button, waited for.
// Tests put a recorder in its place.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const QString& text) = 0;
    // Closes a box that is showing, as when the window is closed from outside during it.
    virtual void DismissShowing() {}
};

// A question with Yes and No in a box titled with the program's name, wide enough for its
// title; true for Yes.
bool AskYesNo(QWidget* parent, const QString& question);

class MessageBoxSink final : public MessageSink {
  public:
    explicit MessageBoxSink(QWidget* parent) : parent_(parent) {}
    void ShowMessage(const QString& text) override;
    void DismissShowing() override;

  private:
    QWidget* parent_;
    QWidget* showing_ = nullptr;
};

}  // namespace quorvela::ui
