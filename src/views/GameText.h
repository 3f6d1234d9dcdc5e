#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

// The widget boundary of texts. Game values are windows-1251 bytes below the widgets (gamecfg/CodePage.h
// converts them); names, captions and grid cells are held as UTF-8. A character the code page cannot hold
// is refused, never replaced.
namespace kw {

QString GameTextToQt(std::string_view cp1251);

// Empty when the text holds a character that windows-1251 cannot hold.
std::optional<std::string> QtToGameText(const QString& text);

QString Utf8ToQt(std::string_view utf8);
std::string QtToUtf8(const QString& text);

} // namespace kw
