#pragma once
// The app frame's entry for programs that show it (the app, the tour, the UI tests).

namespace kalvorin {
class MobileAppState;
}

namespace kalvorin::ui {

// Makes `state` the `AppState` singleton of every QML engine created afterwards, and brings the
// Kalvorin.Frame module into the program. Call before loading any QML that imports it.
void installAppState(MobileAppState* state);

} // namespace kalvorin::ui
