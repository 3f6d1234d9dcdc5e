#include "interchange/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kw {
namespace {

// Fifteen significant digits are what a double holds exactly as text: 0.1 + 0.2 reads "0.3".
constexpr int kSignificantDigits = 15;

// The digits of value rounded to kSignificantDigits, without trailing zeros, and the power of ten of the
// first one: 0.00012 gives "12" and -4.
std::pair<std::string, int> RoundedDigits(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, kSignificantDigits - 1);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = text.find('e');
    std::string digits;
    for (const char c : text.substr(0, e)) {
        if (c != '.') {
            digits += c;
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    return {digits, std::atoi(std::string(text.substr(e + 1)).c_str())};
}

} // namespace

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
    if (digits == 0 || std::max(significant, 1) > kSignificantDigits) {
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

std::optional<double> ParseGameNumber(std::string_view text) {
    if (!IsGameNumber(text)) {
        return std::nullopt;
    }
    if (text.ends_with('f')) {
        text.remove_suffix(1);
    }
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+')) {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<std::string> NumberText(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    if (value == 0) {
        return "0";
    }
    const auto [digits, exponent] = RoundedDigits(value);
    std::string text = value < 0 ? "-" : "";
    if (exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    } else if (static_cast<std::size_t>(exponent) + 1 >= digits.size()) {
        text += digits;
        text.append(static_cast<std::size_t>(exponent) + 1 - digits.size(), '0');
    } else {
        const auto whole = static_cast<std::size_t>(exponent) + 1;
        text += digits.substr(0, whole) + "." + digits.substr(whole);
    }
    if (text.size() > kMaxNumberTextLength) {
        return std::nullopt;
    }
    return text;
}

} // namespace kw
