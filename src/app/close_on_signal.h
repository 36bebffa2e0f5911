#pragma once

class QWidget;

namespace quorvela::app {

// From now on SIGTERM and SIGINT (a session's logout, Ctrl-C in the terminal) close `window`
// as the user's close does, so its settings are written. A second signal while the window is
// still closing ends the program at once.
void CloseOnSignal(QWidget& window);

}  // namespace quorvela::app
