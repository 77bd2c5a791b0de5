#pragma once

class QCoreApplication;

namespace kalvorin {

// Ctrl+C in a terminal (SIGINT) and the session ending (SIGTERM) quit the event loop like closing
// the window does: settings and cookies are written as usual and the process ends with status 0.
void quitOnTerminationSignals(QCoreApplication& app);

} // namespace kalvorin
