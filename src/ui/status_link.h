#pragma once

#include <QLabel>
#include <QString>

class QStatusBar;

namespace quorvela::ui {

// A link at the status bar's right that leaves the bar's messages a third of its width, room for
// the run's summary: a longer text loses its middle, and the whole text is the link's hint.
class StatusLink final : public QLabel {
  public:
    explicit StatusLink(QStatusBar* bar);

    // Shows `text` as the link; an empty text hides it.
    void SetLink(const QString& text);
    [[nodiscard]] const QString& FullText() const { return text_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Fit();

    QStatusBar* bar_;
    QString text_;
};

}  // namespace quorvela::ui
