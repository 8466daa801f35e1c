// Colours as the settings file keeps them: "#rrggbb", two hexadecimal digits per component,
// opaque. "#00b140" is {0, 0.694, 0.251, 1}; a colour written and read back is the same colour
// when its components are multiples of 1/255 (the colours a colour dialog gives).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Toolkit.h"

namespace tk {

// "#rrggbb" of the colour's red, green and blue, each rounded to the nearest 1/255 and kept
// within 0 and 1 (a component that is not a number is 0); alpha is not written.
//   {1, 0, 0, 1} -> "#ff0000"   {0.1, 0.1, 0.12, 1} -> "#1a1a1f"
std::string ColorToHex(const Color& color);

// The opaque colour of "#rrggbb" (upper- or lower-case digits); nullopt for anything else:
// "", "00ff00", "#0f0", "#00ff0", "#00ff00 ", "#gg0000".
std::optional<Color> ColorFromHex(std::string_view text);

}  // namespace tk
