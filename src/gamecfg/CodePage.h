#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kw {

// The game's files are single-byte windows-1251 text. Values stay bytes inside
// the program and are converted only where Unicode is needed (widgets, XML,
// the headless tool's output).

// Every byte maps to a character (the one unassigned byte 0x98 to U+0098), so
// converting there and back is lossless.
std::string Cp1251ToUtf8(std::string_view bytes);

// Empty optional when the text holds a character the code page cannot hold or
// is not valid UTF-8; never substitutes a replacement character.
std::optional<std::string> Utf8ToCp1251(std::string_view utf8);

// The first character (as UTF-8) that windows-1251 cannot hold, or empty when
// every character fits; for refusal messages.
std::string FirstUnencodable(std::string_view utf8);

bool IsValidUtf8(std::string_view bytes);

// Appends the code point as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

} // namespace kw
