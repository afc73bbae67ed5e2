#include "CopybookParser.h"

#include "CopybookError.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>

namespace {

struct UsageWord
{
    std::string_view word;
    Usage usage;
};

constexpr std::array kUsageWords{
    UsageWord{"DISPLAY", Usage::Display},        UsageWord{"DISPLAY-1", Usage::Display1},
    UsageWord{"NATIONAL", Usage::National},      UsageWord{"COMP", Usage::Binary},
    UsageWord{"COMPUTATIONAL", Usage::Binary},   UsageWord{"COMP-4", Usage::Binary},
    UsageWord{"COMPUTATIONAL-4", Usage::Binary}, UsageWord{"BINARY", Usage::Binary},
    UsageWord{"COMP-5", Usage::Comp5},           UsageWord{"COMPUTATIONAL-5", Usage::Comp5},
    UsageWord{"COMP-3", Usage::Packed},          UsageWord{"COMPUTATIONAL-3", Usage::Packed},
    UsageWord{"PACKED-DECIMAL", Usage::Packed},  UsageWord{"COMP-1", Usage::Comp1},
    UsageWord{"COMPUTATIONAL-1", Usage::Comp1},  UsageWord{"COMP-2", Usage::Comp2},
    UsageWord{"COMPUTATIONAL-2", Usage::Comp2},  UsageWord{"INDEX", Usage::Index},
    UsageWord{"POINTER", Usage::Pointer},        UsageWord{"COMP-X", Usage::CompX},
    UsageWord{"COMPUTATIONAL-X", Usage::CompX},
};

// Words that begin a clause, so never a data name.
constexpr std::array<std::string_view, 20> kClauseWords{
    "PIC",       "PICTURE",  "USAGE",        "SIGN",      "LEADING", "TRAILING", "OCCURS",
    "REDEFINES", "SYNC",     "SYNCHRONIZED", "JUSTIFIED", "JUST",    "BLANK",    "VALUE",
    "VALUES",    "EXTERNAL", "GLOBAL",       "RENAMES",   "INDEXED", "IS",
};

std::optional<Usage> usageOf(const Token &token)
{
    for (const UsageWord &entry : kUsageWords) {
        if (token.isWord(entry.word))
            return entry.usage;
    }
    return std::nullopt;
}

bool isKeyword(const Token &token)
{
    return usageOf(token) || std::ranges::any_of(kClauseWords, [&](std::string_view word) {
               return token.isWord(word);
           });
}

bool isInteger(const Token &token)
{
    return token.kind == Token::Kind::Word && !token.text.empty() && token.text.size() <= 9 &&
           token.text.find_first_not_of("0123456789") == std::string::npos;
}

bool isName(const Token &token)
{
    const std::string &text = token.text;
    return token.kind == Token::Kind::Word && !isKeyword(token) && !text.empty() &&
           text.front() != '-' && text.back() != '-' &&
           std::ranges::any_of(text, [](char c) { return std::isalpha((unsigned char)c); }) &&
           std::ranges::all_of(
               text, [](char c) { return std::isalnum((unsigned char)c) || c == '-' || c == '_'; });
}

class Parser
{
public:
    explicit Parser(const std::vector<Token> &tokens) : m_tokens(tokens) {}

    std::vector<std::unique_ptr<Item>> parse()
    {
        while (m_at < m_tokens.size())
            entry();
        for (const auto &record : m_records)
            check(*record);
        return std::move(m_records);
    }

private:
    const Token *peek() const { return m_at < m_tokens.size() ? &m_tokens[m_at] : nullptr; }

    [[noreturn]] void expected(const std::string &what) const
    {
        if (const Token *token = peek())
            throw CopybookError("expected " + what + ", found '" + token->text + "'", token->line,
                                token->column, token->file);
        const Token &last = m_tokens.back();
        throw CopybookError("expected " + what + " before the end", last.line, last.column,
                            last.file);
    }

    const Token &take(const std::string &what)
    {
        if (!peek())
            expected(what);
        return m_tokens[m_at++];
    }

    bool accept(std::string_view word)
    {
        if (const Token *token = peek(); token && token->isWord(word)) {
            ++m_at;
            return true;
        }
        return false;
    }

    bool atEntryEnd() const { return !peek() || peek()->kind == Token::Kind::Period; }

    void entry()
    {
        const Token &first = *peek();
        if (first.kind == Token::Kind::Period || first.isWord("EJECT") || first.isWord("SKIP1") ||
            first.isWord("SKIP2") || first.isWord("SKIP3")) {
            ++m_at;
            return;
        }
        if (!isInteger(first))
            expected("a level number");
        const int level = std::stoi(first.text);
        if (!(level >= 1 && level <= 49) && level != 66 && level != 77 && level != 88)
            expected("a level number from 01 to 49, 66, 77 or 88");
        ++m_at;
        if (level == 88)
            return condition();
        auto item = std::make_unique<Item>();
        item->level = level;
        item->line = first.line;
        item->column = first.column;
        item->file = first.file;
        if (peek() && isName(*peek()))
            item->name = m_tokens[m_at++].text;
        if (level == 66)
            return renames(std::move(item));
        bool usageGiven = false;
        while (!atEntryEnd())
            clause(*item, usageGiven);
        if (peek())
            ++m_at;
        attach(std::move(item), usageGiven);
    }

    void condition()
    {
        if (m_stack.empty())
            expected("a data item before the 88 level");
        if (!peek() || !isName(*peek()))
            expected("a condition name");
        Condition condition{m_tokens[m_at++].text, {}};
        if (!accept("VALUE") && !accept("VALUES"))
            expected("VALUE");
        values(&condition);
        endEntry();
        m_stack.back()->conditions.push_back(std::move(condition));
    }

    void renames(std::unique_ptr<Item> item)
    {
        if (m_records.empty())
            expected("a record before the 66 level");
        if (item->name.empty())
            expected("a name for the 66 level");
        if (!accept("RENAMES"))
            expected("RENAMES");
        item->renamesFrom = name();
        if (accept("THRU") || accept("THROUGH"))
            item->renamesThru = name();
        endEntry();
        item->parent = m_records.back().get();
        m_records.back()->children.push_back(std::move(item));
    }

    void endEntry()
    {
        if (peek() && peek()->kind != Token::Kind::Period)
            expected("a period");
        ++m_at;
    }

    std::string name()
    {
        if (!peek() || !isName(*peek()))
            expected("a data name");
        return m_tokens[m_at++].text;
    }

    void clause(Item &item, bool &usageGiven)
    {
        const Token &token = *peek();
        if (const std::optional<Usage> usage = usageOf(token)) {
            ++m_at;
            item.usage = *usage;
            usageGiven = true;
        } else if (accept("USAGE")) {
            accept("IS");
            const std::optional<Usage> named = peek() ? usageOf(*peek()) : std::nullopt;
            if (!named)
                expected("a usage");
            ++m_at;
            item.usage = *named;
            usageGiven = true;
        } else if (accept("PIC") || accept("PICTURE")) {
            picture(item);
        } else if (accept("SIGN") || token.isWord("LEADING") || token.isWord("TRAILING")) {
            sign(item);
        } else if (accept("OCCURS")) {
            occurs(item);
        } else if (accept("REDEFINES")) {
            item.redefines = name();
        } else if (accept("SYNC") || accept("SYNCHRONIZED")) {
            item.sync = true;
            accept("LEFT") || accept("RIGHT");
        } else if (accept("JUSTIFIED") || accept("JUST")) {
            accept("RIGHT");
        } else if (accept("BLANK")) {
            accept("WHEN");
            if (!accept("ZERO") && !accept("ZEROS") && !accept("ZEROES"))
                expected("ZERO after BLANK WHEN");
        } else if (accept("VALUE") || accept("VALUES")) {
            values();
        } else if (!accept("EXTERNAL") && !accept("GLOBAL")) {
            throw CopybookError("unknown clause '" + token.text + "'", token.line, token.column,
                                token.file);
        }
    }

    void picture(Item &item)
    {
        accept("IS");
        const Token &token = take("a PICTURE string");
        if (token.kind != Token::Kind::Word)
            throw CopybookError("expected a PICTURE string", token.line, token.column, token.file);
        try {
            item.picture = Picture::parse(token.text);
        } catch (const std::invalid_argument &error) {
            throw CopybookError(error.what(), token.line, token.column, token.file);
        }
        item.pictureText = token.text;
    }

    void sign(Item &item)
    {
        accept("IS");
        if (accept("LEADING"))
            item.signLeading = true;
        else if (!accept("TRAILING"))
            expected("LEADING or TRAILING");
        if (accept("SEPARATE")) {
            item.signSeparate = true;
            accept("CHARACTER");
        }
    }

    std::uint32_t count()
    {
        if (!peek() || !isInteger(*peek()))
            expected("a whole number");
        return static_cast<std::uint32_t>(std::stoul(m_tokens[m_at++].text));
    }

    void occurs(Item &item)
    {
        const Token &place = m_tokens[m_at - 1]; // OCCURS itself
        item.occursMax = count();
        const bool ranged = accept("TO");
        if (ranged) {
            item.occursMin = item.occursMax;
            item.occursMax = count();
        } else {
            item.occursMin = item.occursMax;
        }
        accept("TIMES");
        if (accept("DEPENDING")) {
            accept("ON");
            item.dependingOn.push_back(name());
            while (accept("OF") || accept("IN"))
                item.dependingOn.push_back(name());
        }
        if (item.occursMax == 0 || item.occursMin > item.occursMax)
            throw CopybookError("OCCURS needs a count from 1, or m TO n with m <= n", place.line,
                                place.column, place.file);
        if (ranged != !item.dependingOn.empty())
            throw CopybookError("OCCURS m TO n goes with DEPENDING ON", place.line, place.column,
                                place.file);
        while (accept("ASCENDING") || accept("DESCENDING")) {
            accept("KEY");
            accept("IS");
            names();
        }
        if (accept("INDEXED")) {
            accept("BY");
            names();
        }
    }

    void names()
    {
        name();
        while (peek() && isName(*peek()))
            ++m_at;
    }

    // Literals, figurative constants and numbers, each maybe with THRU and another; kept in
    // condition when one is given.
    void values(Condition *condition = nullptr)
    {
        accept("IS") || accept("ARE");
        do {
            Condition::Range range{value(), std::nullopt};
            if (accept("THRU") || accept("THROUGH"))
                range.thru = value();
            if (condition)
                condition->ranges.push_back(std::move(range));
        } while (peek() && (peek()->kind == Token::Kind::Literal ||
                            (peek()->kind == Token::Kind::Word && !isKeyword(*peek()))));
    }

    ConditionValue value()
    {
        const bool all = accept("ALL");
        const Token &token = take("a value");
        if (token.kind == Token::Kind::Period || isKeyword(token))
            throw CopybookError("expected a value, found '" + token.text + "'", token.line,
                                token.column, token.file);
        return {token.text, token.kind == Token::Kind::Literal, all};
    }

    void attach(std::unique_ptr<Item> item, bool usageGiven)
    {
        if (item->level == 1 || item->level == 77) {
            if (item->occurs())
                throw CopybookError("OCCURS on a level " + std::to_string(item->level), item->line,
                                    item->column, item->file);
            settleDoubleByte(*item);
            m_stack.assign(1, item.get());
            m_records.push_back(std::move(item));
            return;
        }
        if (m_stack.empty() || m_stack.front()->level == 77) {
            auto root = std::make_unique<Item>();
            root->line = item->line;
            root->column = item->column;
            root->file = item->file;
            m_stack.assign(1, root.get());
            m_records.push_back(std::move(root));
        }
        while (m_stack.size() > 1 && m_stack.back()->level >= item->level)
            m_stack.pop_back();
        Item *parent = m_stack.back();
        if (!usageGiven)
            item->usage = parent->usage;
        settleDoubleByte(*item);
        item->parent = parent;
        m_stack.push_back(item.get());
        parent->children.push_back(std::move(item));
    }

    // G is always double-byte; N only until --nsymbol says otherwise.
    static void settleDoubleByte(Item &item)
    {
        if (item.picture && item.picture->category == Picture::Category::DoubleByte &&
            !item.picture->national && item.usage == Usage::Display)
            item.usage = Usage::Display1;
    }

    void check(const Item &item) const
    {
        const auto fail = [&item](const std::string &what) {
            const std::string name = item.name.empty() ? "FILLER" : item.name;
            throw CopybookError(name + ": " + what, item.line, item.column, item.file);
        };
        if (item.level == 66)
            return;
        const bool noPicture = item.usage == Usage::Comp1 || item.usage == Usage::Comp2 ||
                               item.usage == Usage::Index || item.usage == Usage::Pointer;
        if (item.isGroup()) {
            if (item.picture)
                fail("a group has no PICTURE");
            for (const auto &child : item.children)
                check(*child);
            return;
        }
        if (noPicture && item.picture)
            fail("this USAGE takes no PICTURE");
        if (!noPicture && !item.picture)
            fail("an elementary item needs a PICTURE");
        if (item.picture)
            checkUsage(*item.picture, item.usage, fail);
    }

    template <typename Fail> static void checkUsage(const Picture &picture, Usage usage, Fail fail)
    {
        using Category = Picture::Category;
        switch (usage) {
        case Usage::Binary:
        case Usage::Comp5:
        case Usage::Packed:
            if (picture.category != Category::Numeric)
                fail("binary and packed items need a numeric PICTURE");
            break;
        case Usage::CompX:
            if (picture.category != Category::Numeric &&
                (picture.category != Category::Alphanumeric))
                fail("COMP-X needs PICTURE X or 9");
            break;
        case Usage::Display1:
            if (picture.category != Category::DoubleByte)
                fail("DISPLAY-1 needs PICTURE G or N");
            break;
        case Usage::National:
            if (picture.category != Category::DoubleByte || !picture.national)
                fail("NATIONAL needs PICTURE N");
            break;
        default:
            break;
        }
    }

    const std::vector<Token> &m_tokens;
    std::size_t m_at = 0;
    std::vector<std::unique_ptr<Item>> m_records;
    std::vector<Item *> m_stack; // the open entries, the record first
};

} // namespace

std::vector<std::unique_ptr<Item>> CopybookParser::parse(const std::vector<Token> &tokens)
{
    return Parser(tokens).parse();
}
