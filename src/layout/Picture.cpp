#include "Picture.h"

#include <array>
#include <cctype>
#include <stdexcept>
#include <vector>

namespace {

constexpr std::uint64_t kMostPositions = 0x7FFFFFFF;
constexpr std::size_t kMostEdit = 1024;
constexpr int kMostDigits = 38;

// The symbols of a picture, each with its repeat count. CR is 'C', DB is 'D'.
struct Run
{
    char symbol;
    std::uint64_t count;
};

std::vector<Run> runsOf(std::string_view text)
{
    static constexpr std::string_view kSymbols = "XA9SVPNGZ*,.+-CDB0/$";
    std::vector<Run> runs;
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < text.size();) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        if (kSymbols.find(c) == kSymbols.npos)
            throw std::invalid_argument(std::string("'") + text[i] + "' in PICTURE");
        ++i;
        if (c == 'C' || c == 'D') {
            const char second = i < text.size() ? static_cast<char>(std::toupper(text[i])) : 0;
            if (second != (c == 'C' ? 'R' : 'B'))
                throw std::invalid_argument(std::string("'") + c + "' in PICTURE");
            ++i;
        }
        std::uint64_t count = 1;
        if (i < text.size() && text[i] == '(') {
            const std::size_t close = text.find(')', i);
            const std::string_view number = text.substr(i + 1, close - i - 1);
            if (close == text.npos || number.empty() || number.size() > 10 ||
                number.find_first_not_of("0123456789") != number.npos)
                throw std::invalid_argument("bad repeat count in PICTURE");
            count = std::stoull(std::string(number));
            if (count == 0)
                throw std::invalid_argument("repeat count 0 in PICTURE");
            i = close + 1;
        }
        total += count;
        if (total > kMostPositions)
            throw std::invalid_argument("PICTURE too long");
        runs.push_back({c, count});
    }
    if (runs.empty())
        throw std::invalid_argument("empty PICTURE");
    return runs;
}

using Counts = std::array<std::uint64_t, 256>;

Counts countsOf(const std::vector<Run> &runs)
{
    Counts counts{};
    for (const Run &run : runs)
        counts[static_cast<unsigned char>(run.symbol)] += run.count;
    return counts;
}

bool onlyOf(const Counts &counts, std::string_view allowed)
{
    for (unsigned c = 0; c < 256; ++c) {
        if (counts[c] && allowed.find(static_cast<char>(c)) == allowed.npos)
            return false;
    }
    return true;
}

// value = digits * 10^-scale: the point is at V, else before leading Ps, else at the end.
int scaleOf(const std::vector<Run> &runs, const Counts &counts)
{
    bool pointSeen = counts['V'] == 0 && !runs.empty() && runs.front().symbol == 'P';
    if (runs.front().symbol == 'S' && runs.size() > 1 && runs[1].symbol == 'P' && !counts['V'])
        pointSeen = true;
    std::int64_t scale = 0;
    for (const Run &run : runs) {
        if (run.symbol == 'V')
            pointSeen = true;
        else if (pointSeen && (run.symbol == '9' || run.symbol == 'P'))
            scale += static_cast<std::int64_t>(run.count);
        else if (!pointSeen && run.symbol == 'P')
            scale -= static_cast<std::int64_t>(run.count);
    }
    return static_cast<int>(scale);
}

void checkDigits(std::uint64_t digits)
{
    if (digits == 0)
        throw std::invalid_argument("a numeric PICTURE needs a 9");
    if (digits > kMostDigits)
        throw std::invalid_argument("more than 38 digits in PICTURE");
}

Picture numeric(const std::vector<Run> &runs, const Counts &counts)
{
    if (counts['S'] > 1 || (counts['S'] && runs.front().symbol != 'S') || counts['V'] > 1)
        throw std::invalid_argument("S must come first and S and V only once in PICTURE");
    checkDigits(counts['9']);
    Picture picture;
    picture.category = Picture::Category::Numeric;
    picture.digits = static_cast<int>(counts['9']);
    picture.positions = static_cast<std::uint32_t>(counts['9']);
    picture.isSigned = counts['S'] != 0;
    picture.scale = scaleOf(runs, counts);
    return picture;
}

// A sign or currency symbol that floats takes one digit position less than it repeats.
Picture numericEdited(const std::vector<Run> &runs, const Counts &counts)
{
    if (counts['S'] || counts['V'] > 1 || counts['.'] > 1 || (counts['V'] && counts['.']))
        throw std::invalid_argument("S, or more than one point, in an edited PICTURE");
    Picture picture;
    picture.category = Picture::Category::NumericEdited;
    std::uint64_t digits = counts['9'] + counts['Z'] + counts['*'];
    for (const char floating : {'+', '-', '$'})
        digits += counts[static_cast<unsigned char>(floating)] > 1
                      ? counts[static_cast<unsigned char>(floating)] - 1
                      : 0;
    checkDigits(digits);
    for (const Run &run : runs) {
        if (picture.edit.size() + run.count > kMostEdit)
            throw std::invalid_argument("edited PICTURE too long");
        if (run.symbol == 'C' || run.symbol == 'D') {
            for (std::uint64_t i = 0; i < run.count; ++i)
                picture.edit += run.symbol == 'C' ? "Cc" : "Dd";
            continue;
        }
        picture.edit.append(run.count, run.symbol);
    }
    picture.digits = static_cast<int>(digits);
    for (const char c : picture.edit)
        picture.positions += c != 'V' && c != 'P';
    picture.isSigned = counts['+'] || counts['-'] || counts['C'] || counts['D'];
    return picture;
}

} // namespace

Picture Picture::parse(std::string_view text)
{
    const std::vector<Run> runs = runsOf(text);
    const Counts counts = countsOf(runs);
    std::uint64_t total = 0;
    for (const Run &run : runs)
        total += run.count * (run.symbol == 'C' || run.symbol == 'D' ? 2 : 1);
    if (counts['G'] || counts['N']) {
        if (!onlyOf(counts, "GNB"))
            throw std::invalid_argument("G or N mixed with other symbols in PICTURE");
        Picture picture;
        picture.category = Category::DoubleByte;
        picture.positions = static_cast<std::uint32_t>(total);
        picture.national = counts['N'] != 0;
        return picture;
    }
    if (counts['X'] || counts['A']) {
        if (!onlyOf(counts, "XA9B0/"))
            throw std::invalid_argument("X or A mixed with numeric symbols in PICTURE");
        Picture picture;
        picture.positions = static_cast<std::uint32_t>(total);
        return picture;
    }
    if (onlyOf(counts, "9SVP"))
        return numeric(runs, counts);
    return numericEdited(runs, counts);
}
