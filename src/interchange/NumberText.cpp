#include "interchange/NumberText.h"

#include <charconv>
#include <cmath>

namespace kw {

std::optional<double> ParsePlainDecimal(std::string_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        ++pos;
    }
    int digits = 0;
    int significant = 0;
    bool point = false;
    bool leading = true;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            ++digits;
            leading = leading && c == '0';
            significant += leading ? 0 : 1;
        } else {
            return std::nullopt;
        }
    }
    // Zero itself has one significant digit.
    if (digits == 0 || std::max(significant, 1) > 15) {
        return std::nullopt;
    }
    // from_chars takes no "+".
    std::string_view magnitude = text;
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        magnitude.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(magnitude.data(), magnitude.data() + magnitude.size(), value);
    if (error != std::errc() || end != magnitude.data() + magnitude.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<double> ParseNumber(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string NumberText(double value) {
    if (value == 0) {
        return "0";
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

} // namespace kw
