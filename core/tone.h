#pragma once

// The palette's colours by name, for rules that choose a colour without depending on the screens'
// theme: a model role or a rule returns a Tone, and the theme turns it into the colour
// (`KalvorinTheme.tone(model.tint)`).

namespace kalvorin {

enum class Tone : int { Teal, Green, Gold, Orange, Red, Blue, Muted };

} // namespace kalvorin
