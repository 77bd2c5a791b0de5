#pragma once
// The app frame's entry for programs that show it (the app, the tour, the UI tests).

class QGuiApplication;
class QQmlApplicationEngine;
class QQuickItem;
class QString;

namespace kalvorin {
class KalvorinAppDelegate;
class MobileAppState;
} // namespace kalvorin

namespace kalvorin::ui {

// Makes `state` the `AppState` singleton of every QML engine created afterwards, and brings the
// Kalvorin.Frame module into the program. Call before loading any QML that imports it.
void installAppState(MobileAppState* state);

// The look every program that shows the screens shares: right to left, Arabic locale and
// platform texts (Qt's own messages read in Arabic, as on the phone), the bundled faces, the
// Basic controls style and a dark platform palette. Call once, after the application exists.
void prepareApplication(QGuiApplication& app);

// What the user does with a desktop notification reaches the window of `engine`: the window
// comes to the front, and a ticket the notification names opens in the shell's navigation, as a
// tapped row's does. Call once the engine has loaded the window.
void followNotificationActivation(KalvorinAppDelegate& delegate, QQmlApplicationEngine& engine);

// The item named `name` at or below `item`, searching the item tree (screens made by a Loader
// hang there, not always in the object tree); null when there is none. For the tour and tests.
QQuickItem* findItem(QQuickItem* item, const QString& name);

} // namespace kalvorin::ui
