#include "ConditionCheck.h"

#include "Item.h"

#include <algorithm>
#include <optional>

namespace {

bool isWord(std::string_view text, std::initializer_list<std::string_view> words)
{
    return std::ranges::any_of(
        words, [text](std::string_view word) { return Item::sameName(text, word); });
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// A number as a copybook writes it, digits apart from the sign and scale, for comparing.
struct Number
{
    bool negative = false;
    std::string whole;    // without leading zeros
    std::string fraction; // without trailing zeros

    static std::optional<Number> read(std::string_view text)
    {
        Number number;
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
            number.negative = text.front() == '-';
            text.remove_prefix(1);
        }
        const std::size_t point = text.find('.');
        number.whole = std::string(text.substr(0, point));
        number.fraction = point == text.npos ? std::string() : std::string(text.substr(point + 1));
        const auto digits = [](const std::string &part) {
            return part.find_first_not_of("0123456789") == std::string::npos;
        };
        if ((number.whole.empty() && number.fraction.empty()) || !digits(number.whole) ||
            !digits(number.fraction))
            return std::nullopt;
        number.whole.erase(0, number.whole.find_first_not_of('0') == std::string::npos
                                  ? number.whole.size()
                                  : number.whole.find_first_not_of('0'));
        while (!number.fraction.empty() && number.fraction.back() == '0')
            number.fraction.pop_back();
        if (number.whole.empty() && number.fraction.empty())
            number.negative = false;
        return number;
    }

    int compare(const Number &other) const
    {
        if (negative != other.negative)
            return negative ? -1 : 1;
        const int magnitude = compareMagnitude(other);
        return negative ? -magnitude : magnitude;
    }

private:
    int compareMagnitude(const Number &other) const
    {
        if (whole.size() != other.whole.size())
            return whole.size() < other.whole.size() ? -1 : 1;
        if (const int c = whole.compare(other.whole); c != 0)
            return c < 0 ? -1 : 1;
        const int c = fraction.compare(other.fraction);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
};

// The value's order against a bound: below, equal or above; nothing where they do not compare.
std::optional<int> against(const ConditionValue &bound, FieldValue decoded, std::string_view value,
                           std::string_view bytes)
{
    if (!bound.literal &&
        isWord(bound.text, {"HIGH-VALUE", "HIGH-VALUES", "LOW-VALUE", "LOW-VALUES"})) {
        const char fill = isWord(bound.text, {"HIGH-VALUE", "HIGH-VALUES"}) ? '\xFF' : '\0';
        return std::ranges::all_of(bytes, [fill](char byte) { return byte == fill; })
                   ? std::optional<int>(0)
                   : std::nullopt;
    }
    const bool zero = !bound.literal && isWord(bound.text, {"ZERO", "ZEROS", "ZEROES"});
    if (decoded.kind == FieldValue::Kind::Number) {
        const std::optional<Number> mine = Number::read(value);
        const std::optional<Number> theirs = Number::read(zero ? "0" : bound.text);
        if (!mine || !theirs || bound.literal)
            return std::nullopt;
        return mine->compare(*theirs);
    }
    if (decoded.kind != FieldValue::Kind::Text)
        return std::nullopt;
    std::string expected = bound.text;
    if (zero)
        expected = "0";
    else if (!bound.literal && isWord(bound.text, {"SPACE", "SPACES"}))
        expected.clear();
    else if (!bound.literal && isWord(bound.text, {"QUOTE", "QUOTES"}))
        expected = "\"";
    else if (!bound.literal)
        return std::nullopt;
    const std::string_view text = trimmed(value);
    if (bound.all || zero) {
        const std::string_view piece = trimmed(expected);
        if (piece.empty() || text.empty() || text.size() % piece.size() != 0)
            return std::nullopt;
        for (std::size_t at = 0; at < text.size(); at += piece.size()) {
            if (text.substr(at, piece.size()) != piece)
                return std::nullopt;
        }
        return 0;
    }
    const int c = text.compare(trimmed(expected));
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool inRange(const Condition::Range &range, FieldValue decoded, std::string_view value,
             std::string_view bytes)
{
    const std::optional<int> from = against(range.from, decoded, value, bytes);
    if (!range.thru)
        return from == 0;
    const std::optional<int> thru = against(*range.thru, decoded, value, bytes);
    return from && thru && *from >= 0 && *thru <= 0;
}

} // namespace

std::vector<std::string> ConditionCheck::holding(const Item &item, FieldValue decoded,
                                                 std::string_view value, std::string_view bytes)
{
    std::vector<std::string> names;
    if (!decoded.valid())
        return names;
    for (const Condition &condition : item.conditions) {
        if (std::ranges::any_of(condition.ranges, [&](const Condition::Range &range) {
                return inRange(range, decoded, value, bytes);
            }))
            names.push_back(condition.name);
    }
    return names;
}
