#include "interchange/ChartNumbers.h"

#include "interchange/NumberText.h"

#include <numeric>

namespace kw {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::optional<std::vector<double>> CellNumbers(std::string_view text) {
    std::vector<double> numbers;
    for (;;) {
        const std::size_t comma = text.find(',');
        const std::optional<double> number = ParseGameNumber(Trimmed(text.substr(0, comma)));
        if (!number) {
            return std::nullopt;
        }
        numbers.push_back(*number);
        if (comma == std::string_view::npos) {
            return numbers;
        }
        text.remove_prefix(comma + 1);
    }
}

std::optional<double> PickNumber(const std::vector<double>& numbers, int element) {
    if (numbers.empty()) {
        return std::nullopt;
    }
    if (element == kAverageElement) {
        return std::accumulate(numbers.begin(), numbers.end(), 0.0) / static_cast<double>(numbers.size());
    }
    if (numbers.size() == 1 && element >= 0) {
        return numbers.front();
    }
    if (element < 0 || static_cast<std::size_t>(element) >= numbers.size()) {
        return std::nullopt;
    }
    return numbers[static_cast<std::size_t>(element)];
}

std::optional<double> ChartNumber(std::string_view text, int element) {
    const std::optional<std::vector<double>> numbers = CellNumbers(text);
    return numbers ? PickNumber(*numbers, element) : std::nullopt;
}

} // namespace kw
