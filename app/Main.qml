import Kalvorin.Frame

// The application's window (Kalvorin.Frame's AppWindow): 390 × 844, dark, right to left,
// holding the root view.
AppWindow {
}
