#include "CopyStatements.h"

#include "CopybookError.h"
#include "Item.h"

#include <algorithm>

namespace {

constexpr int kMostDepth = 16;
constexpr std::size_t kMostTokens = 4'000'000; // keeps members that copy each other bounded

struct Replacement
{
    enum class Part { Whole, Leading, Trailing, Tag };

    Part part = Part::Whole;
    std::vector<Token> from;
    std::vector<Token> to;
};

bool sameToken(const Token &a, const Token &b)
{
    if (a.kind != b.kind)
        return false;
    return a.kind == Token::Kind::Literal ? a.text == b.text : Item::sameName(a.text, b.text);
}

class Expander
{
public:
    Expander(const CopyStatements::Loader &load, int depth) : m_load(load), m_depth(depth) {}

    std::vector<Token> run(const std::vector<Token> &tokens)
    {
        m_tokens = &tokens;
        std::vector<Token> out;
        while (m_at < tokens.size()) {
            if (tokens[m_at].isWord("COPY"))
                copy(out);
            else
                out.push_back(tokens[m_at++]);
        }
        return out;
    }

private:
    const Token *peek() const { return m_at < m_tokens->size() ? &(*m_tokens)[m_at] : nullptr; }

    const Token &take(const char *what, const Token &near)
    {
        if (!peek())
            throw CopybookError(std::string("expected ") + what + " before the end", near.line,
                                near.column, near.file);
        return (*m_tokens)[m_at++];
    }

    bool accept(std::string_view word)
    {
        if (peek() && peek()->isWord(word)) {
            ++m_at;
            return true;
        }
        return false;
    }

    void copy(std::vector<Token> &out)
    {
        const Token &statement = (*m_tokens)[m_at++];
        const Token &name = take("a member name", statement);
        if (name.kind == Token::Kind::Period)
            throw CopybookError("expected a member name after COPY", name.line, name.column,
                                name.file);
        if (accept("OF") || accept("IN"))
            take("a library name", name);
        accept("SUPPRESS");
        std::vector<Replacement> replacements;
        if (accept("REPLACING")) {
            while (peek() && peek()->kind != Token::Kind::Period)
                replacements.push_back(replacement(statement));
        }
        const Token &end = take("a period after COPY", statement);
        if (end.kind != Token::Kind::Period)
            throw CopybookError("expected a period after COPY", end.line, end.column, end.file);
        if (m_depth >= kMostDepth)
            throw CopybookError("COPY nested more than 16 deep", statement.line, statement.column,
                                statement.file);
        const std::vector<Token> member = Expander(m_load, m_depth + 1).run(m_load(name));
        replace(member, replacements, out);
        if (out.size() > kMostTokens)
            throw CopybookError("COPY makes the copybook too long", statement.line,
                                statement.column, statement.file);
    }

    Replacement replacement(const Token &statement)
    {
        Replacement result;
        if (accept("LEADING"))
            result.part = Replacement::Part::Leading;
        else if (accept("TRAILING"))
            result.part = Replacement::Part::Trailing;
        result.from = operand(statement);
        if (!accept("BY")) {
            const Token &place = peek() ? *peek() : statement;
            throw CopybookError("expected BY in REPLACING", place.line, place.column, place.file);
        }
        result.to = operand(statement);
        if (result.from.empty())
            throw CopybookError("REPLACING needs something to replace", statement.line,
                                statement.column, statement.file);
        const std::string &first = result.from.front().text;
        if (result.part == Replacement::Part::Whole && result.from.size() == 1 &&
            first.size() > 2 && first.front() == ':' && first.back() == ':')
            result.part = Replacement::Part::Tag;
        if (result.part != Replacement::Part::Whole &&
            (result.from.size() != 1 || result.to.size() > 1))
            throw CopybookError("a partial REPLACING takes one word each side", statement.line,
                                statement.column, statement.file);
        return result;
    }

    std::vector<Token> operand(const Token &statement)
    {
        const Token &first = take("a REPLACING operand", statement);
        if (!first.isWord("=="))
            return {first};
        std::vector<Token> text;
        while (true) {
            const Token &token = take("the closing ==", first);
            if (token.isWord("=="))
                return text;
            text.push_back(token);
        }
    }

    static void replace(const std::vector<Token> &member,
                        const std::vector<Replacement> &replacements, std::vector<Token> &out)
    {
        for (std::size_t at = 0; at < member.size();) {
            const auto whole = std::ranges::find_if(replacements, [&](const Replacement &r) {
                return r.part == Replacement::Part::Whole && matches(member, at, r.from);
            });
            if (whole != replacements.end()) {
                for (Token token : whole->to) {
                    token.line = member[at].line;
                    token.column = member[at].column;
                    out.push_back(std::move(token));
                }
                at += whole->from.size();
                continue;
            }
            Token token = member[at++];
            for (const Replacement &r : replacements)
                partial(r, token);
            out.push_back(std::move(token));
        }
    }

    static bool matches(const std::vector<Token> &member, std::size_t at,
                        const std::vector<Token> &from)
    {
        if (member.size() - at < from.size())
            return false;
        return std::equal(from.begin(), from.end(), member.begin() + static_cast<long>(at),
                          sameToken);
    }

    static void partial(const Replacement &r, Token &token)
    {
        if (r.part == Replacement::Part::Whole || token.kind != Token::Kind::Word)
            return;
        const std::string &from = r.from.front().text;
        const std::string to = r.to.empty() ? "" : r.to.front().text;
        std::string &text = token.text;
        if (r.part == Replacement::Part::Tag) {
            for (std::size_t at = text.find(from); at != text.npos;
                 at = text.find(from, at + to.size()))
                text.replace(at, from.size(), to);
        } else if (text.size() > from.size()) {
            const std::size_t at =
                r.part == Replacement::Part::Leading ? 0 : text.size() - from.size();
            if (Item::sameName(std::string_view(text).substr(at, from.size()), from))
                text.replace(at, from.size(), to);
        }
    }

    const CopyStatements::Loader &m_load;
    int m_depth;
    const std::vector<Token> *m_tokens = nullptr;
    std::size_t m_at = 0;
};

} // namespace

std::vector<Token> CopyStatements::expand(const std::vector<Token> &tokens, const Loader &load)
{
    return Expander(load, 0).run(tokens);
}
