// The bar beside a figure of the sensitivity table: its length the figure's
// share of the largest in its column, blue for a positive effect, red for a
// negative one, drawn from the left of a width x height cell area.
#pragma once

#include "platform/Canvas.h"

inline constexpr Colour kEffectUp = RGBColour(80, 120, 230);
inline constexpr Colour kEffectDown = RGBColour(220, 80, 70);

// `share` runs from -1 to 1 (beyond is held at the ends); 0 draws nothing.
void DrawEffectBar(Canvas& c, int width, int height, float share);
