#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kw {

// A colour as the weather files write one: three or more numbers in the game's form (IsGameNumber) separated
// by commas, with blanks or TABs around them: "0.333, 0.341, 0.431" or "0.04,\t0.04,\t0.06, 0.8, 1". The
// first three are red, green and blue, mostly within 0..1 though the game takes more; any further ones
// (alpha, intensity) are the game's business.
struct TColourRgb {
    double Red;
    double Green;
    double Blue;
};

// The first three components; nothing when the text is not a colour.
std::optional<TColourRgb> ReadColourText(std::string_view text);

// The text with its first three components replaced by the colour, in the notation the text used: every
// byte around and between them stays, and so do the further components. The three take as many decimals as
// the most precise of them had, at least three, and each keeps its own "f" suffix and a leading "." without
// the zero. Nothing when the text is not a colour.
std::optional<std::string> WriteColourText(std::string_view text, const TColourRgb& colour);

// Whether a weather key's value is a colour.
bool IsColourKey(std::string_view key);

} // namespace kw
