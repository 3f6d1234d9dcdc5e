#include "gamecfg/ColourText.h"

#include "gamecfg/NumberForm.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

namespace kw {
namespace {

constexpr std::size_t kRgbCount = 3;
constexpr int kLeastDecimals = 3;
// Beyond this a double only adds noise, and no picker is that precise.
constexpr int kMostDecimals = 15;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Where one component's number lies in the text.
struct TSpan {
    std::size_t Begin;
    std::size_t End;
};

// The numbers of a colour, each without the blanks around it; empty when the text is not a colour.
std::vector<TSpan> ComponentSpans(std::string_view text) {
    std::vector<TSpan> spans;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        std::size_t begin = start;
        std::size_t end = comma;
        while (begin < end && IsBlank(text[begin])) {
            ++begin;
        }
        while (end > begin && IsBlank(text[end - 1])) {
            --end;
        }
        if (!IsGameNumber(text.substr(begin, end - begin))) {
            return {};
        }
        spans.push_back({begin, end});
        if (comma == text.size()) {
            break;
        }
        start = comma + 1;
    }
    return spans.size() >= kRgbCount ? spans : std::vector<TSpan>{};
}

// A number in the game's form without its "+" and "f", which from_chars does not take.
double NumberOf(std::string_view number) {
    if (number.front() == '+') {
        number.remove_prefix(1);
    }
    if (number.back() == 'f') {
        number.remove_suffix(1);
    }
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value;
}

int DecimalsOf(std::string_view number) {
    const std::size_t point = number.find('.');
    if (point == std::string_view::npos) {
        return 0;
    }
    const std::size_t end = number.back() == 'f' ? number.size() - 1 : number.size();
    return static_cast<int>(end - point - 1);
}

// The value in the old component's manner: its "f", and its leading "." where the value allows.
std::string Respelled(double value, std::string_view old, int decimals) {
    std::array<char, 64> buffer{};
    // Adding zero turns a negative zero into a plain one.
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value + 0.0,
                                      std::chars_format::fixed, decimals);
    std::string text(buffer.data(), result.ptr);
    const bool bareOld = old.find('.') == (old.front() == '+' || old.front() == '-' ? 1U : 0U);
    if (bareOld && text.size() > 1 && text.starts_with("0.")) {
        text.erase(0, 1);
    }
    if (old.back() == 'f') {
        text += 'f';
    }
    return text;
}

std::string_view SpanText(std::string_view text, const TSpan& span) {
    return text.substr(span.Begin, span.End - span.Begin);
}

} // namespace

std::optional<TColourRgb> ReadColourText(std::string_view text) {
    const std::vector<TSpan> spans = ComponentSpans(text);
    if (spans.empty()) {
        return std::nullopt;
    }
    const auto component = [&](std::size_t i) { return NumberOf(SpanText(text, spans[i])); };
    return TColourRgb{component(0), component(1), component(2)};
}

std::optional<std::string> WriteColourText(std::string_view text, const TColourRgb& colour) {
    const std::vector<TSpan> spans = ComponentSpans(text);
    if (spans.empty()) {
        return std::nullopt;
    }
    int decimals = kLeastDecimals;
    for (std::size_t i = 0; i < kRgbCount; ++i) {
        decimals = std::max(decimals, DecimalsOf(SpanText(text, spans[i])));
    }
    decimals = std::min(decimals, kMostDecimals);
    const double values[kRgbCount] = {colour.Red, colour.Green, colour.Blue};
    std::string written;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < kRgbCount; ++i) {
        const std::string_view old = SpanText(text, spans[i]);
        written.append(text.substr(copied, spans[i].Begin - copied));
        written += Respelled(values[i], old, decimals);
        copied = spans[i].End;
    }
    written.append(text.substr(copied));
    return written;
}

bool IsColourKey(std::string_view key) {
    static constexpr std::string_view kKeys[] = {"sky_color",  "clouds_color", "fog_color",
                                                 "rain_color", "ambient",      "sun_color"};
    return std::find(std::begin(kKeys), std::end(kKeys), key) != std::end(kKeys);
}

} // namespace kw
