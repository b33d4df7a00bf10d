#pragma once
// The windows name the fonts they were laid out for: Arial and MS Sans Serif.
// Linux has neither; Liberation Sans (the package fonts-liberation2) has
// Arial's metrics, so the texts keep the width the windows were made for.

namespace qg {

// Maps the windows' font names to Liberation Sans first, then to look-alikes.
// Idempotent; called before the first window is built.
void PreferMetricCompatibleFonts();

}  // namespace qg
