#include "gamecfg/CommaText.h"

#include <algorithm>

namespace kw {

namespace {

constexpr char kQuote = '"';
constexpr char kDelimiter = ',';

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// The quoted item starting at pos (on the opening quote); pos ends behind the closing quote, or at the end
// of a text whose quote is never closed.
std::string TakeQuoted(std::string_view text, std::size_t& pos) {
    std::string item;
    ++pos;
    while (pos < text.size()) {
        if (text[pos] != kQuote) {
            item += text[pos++];
        } else if (pos + 1 < text.size() && text[pos + 1] == kQuote) {
            item += kQuote;
            pos += 2;
        } else {
            ++pos;
            break;
        }
    }
    return item;
}

std::string TakePlain(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != kDelimiter) {
        ++pos;
    }
    return std::string(text.substr(start, pos - start));
}

void SkipBlanks(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && IsBlank(text[pos])) {
        ++pos;
    }
}

bool NeedsQuotes(const std::string& item) {
    return std::any_of(item.begin(), item.end(),
                       [](char c) { return IsBlank(c) || c == kQuote || c == kDelimiter; });
}

std::string Quoted(const std::string& item) {
    std::string quoted(1, kQuote);
    for (char c : item) {
        quoted += c;
        if (c == kQuote) {
            quoted += kQuote;
        }
    }
    return quoted + kQuote;
}

} // namespace

std::vector<std::string> ReadCommaText(std::string_view text) {
    std::vector<std::string> items;
    std::size_t pos = 0;
    SkipBlanks(text, pos);
    while (pos < text.size()) {
        items.push_back(text[pos] == kQuote ? TakeQuoted(text, pos) : TakePlain(text, pos));
        SkipBlanks(text, pos);
        if (pos < text.size() && text[pos] == kDelimiter) {
            // A comma that ends the text still closes an item: the empty one after it.
            if (pos + 1 == text.size()) {
                items.emplace_back();
            }
            ++pos;
            SkipBlanks(text, pos);
        }
    }
    return items;
}

std::string WriteCommaText(const std::vector<std::string>& items) {
    if (items.size() == 1 && items.front().empty()) {
        return Quoted({});
    }
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            text += kDelimiter;
        }
        text += NeedsQuotes(items[i]) ? Quoted(items[i]) : items[i];
    }
    return text;
}

} // namespace kw
