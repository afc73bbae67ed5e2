#include "CopybookReader.h"

#include "CopybookError.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::size_t kIndicator = 6; // column 7
constexpr std::size_t kCodeStart = 7; // column 8
constexpr std::size_t kCodeEnd = 72;  // past column 72
constexpr std::size_t kTab = 8;

std::string upper(std::string_view text)
{
    std::string result(text);
    for (char &c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

std::string expandTabs(std::string_view line)
{
    std::string expanded;
    for (const char c : line) {
        if (c == '\t')
            expanded.append(kTab - expanded.size() % kTab, ' ');
        else
            expanded += c;
    }
    return expanded;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\f' || c == '\v';
}

// Line by line; a literal left open at a reference line's end waits for a continuation line.
class Scanner
{
public:
    Scanner(CopybookReader::Format format, const std::string *file) : m_format(format), m_file(file)
    {}

    void line(std::string_view raw, int number)
    {
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        const std::string text = raw.find('\t') == raw.npos ? std::string(raw) : expandTabs(raw);
        m_line = number;
        if (m_format == CopybookReader::Format::Free)
            freeLine(text);
        else
            referenceLine(text);
    }

    std::vector<Token> finish()
    {
        if (m_quote)
            unclosed();
        return std::move(m_tokens);
    }

private:
    void freeLine(const std::string &text)
    {
        if (m_quote)
            unclosed();
        if (!directive(text, 0))
            scan(text, 0);
        if (m_quote)
            unclosed();
    }

    void referenceLine(const std::string &text)
    {
        const char indicator = text.size() > kIndicator ? text[kIndicator] : ' ';
        const std::string code =
            text.size() > kCodeStart ? text.substr(kCodeStart, kCodeEnd - kCodeStart) : "";
        switch (indicator) {
        case '*':
        case '/':
        case 'D':
        case 'd':
            return;
        case '-':
            continuation(code);
            return;
        case ' ':
            break;
        default:
            throw CopybookError(std::string("unexpected '") + indicator + "' in column 7", m_line,
                                static_cast<int>(kIndicator + 1), m_file);
        }
        if (m_quote)
            unclosed();
        if (directive(code, kCodeStart))
            return;
        scan(code, kCodeStart);
        if (m_quote) // the literal runs on to column 72
            m_tokens.back().text.append(kCodeEnd - kCodeStart - code.size(), ' ');
    }

    // A continued literal goes on after the quote that opens the line; a continued word is
    // joined to the last one.
    void continuation(const std::string &code)
    {
        const std::size_t first = code.find_first_not_of(' ');
        if (first == code.npos)
            return;
        if (m_quote) {
            if (code[first] != m_quote)
                throw CopybookError(std::string("expected ") + m_quote + " to continue the literal",
                                    m_line, static_cast<int>(kCodeStart + first + 1), m_file);
            scan(code.substr(first + 1), kCodeStart + first + 1);
            if (m_quote)
                m_tokens.back().text.append(kCodeEnd - kCodeStart - code.size(), ' ');
            return;
        }
        m_joinWord = !m_tokens.empty() && m_tokens.back().kind == Token::Kind::Word;
        scan(code, kCodeStart);
    }

    // ">>SOURCE [FORMAT] [IS] FREE|FIXED" switches the format for the lines after it.
    bool directive(const std::string &code, std::size_t column)
    {
        const std::size_t first = code.find_first_not_of(' ');
        if (first == code.npos || code.compare(first, 2, ">>") != 0)
            return false;
        std::vector<std::string> words;
        std::size_t at = first + 2;
        while (at < code.size()) {
            const std::size_t end = std::min(code.find(' ', at), code.size());
            if (end > at)
                words.push_back(upper(code.substr(at, end - at)));
            at = end + 1;
        }
        std::erase_if(words, [](const std::string &w) { return w == "FORMAT" || w == "IS"; });
        const int place = static_cast<int>(column + first + 1);
        if (words.size() != 2 || words[0] != "SOURCE")
            throw CopybookError("unknown directive '" + code.substr(first) + "'", m_line, place,
                                m_file);
        if (words[1] == "FREE")
            m_format = CopybookReader::Format::Free;
        else if (words[1] == "FIXED")
            m_format = CopybookReader::Format::Reference;
        else
            throw CopybookError("expected FREE or FIXED after >>SOURCE", m_line, place, m_file);
        return true;
    }

    void scan(std::string_view code, std::size_t column)
    {
        std::size_t at = 0;
        if (m_quote)
            at = literalBody(code, 0);
        while (at < code.size()) {
            const char c = code[at];
            if (isBlank(c)) {
                ++at;
                m_joinWord = false;
            } else if (code.substr(at, 2) == "*>") {
                break;
            } else if (c == '\'' || c == '"') {
                m_quote = c;
                m_tokens.push_back(
                    {Token::Kind::Literal, "", m_line, static_cast<int>(column + at + 1)});
                at = literalBody(code, at + 1);
            } else {
                at = chunk(code, at, column);
            }
        }
    }

    // From at inside a literal to past its closing quote, or to the end of code.
    std::size_t literalBody(std::string_view code, std::size_t at)
    {
        std::string &text = m_tokens.back().text;
        while (at < code.size()) {
            if (code[at] != m_quote) {
                text += code[at++];
            } else if (at + 1 < code.size() && code[at + 1] == m_quote) {
                text += m_quote;
                at += 2;
            } else {
                m_quote = 0;
                return at + 1;
            }
        }
        return at;
    }

    // A run of characters up to a blank or a quote. A prefix such as X in X'F1' belongs to the
    // literal; a period, comma or semicolon that ends the run is a separator; "==" stands alone.
    std::size_t chunk(std::string_view code, std::size_t at, std::size_t column)
    {
        std::size_t end = at;
        while (end < code.size() && !isBlank(code[end]) && code[end] != '\'' && code[end] != '"' &&
               code.substr(end, 2) != "*>")
            ++end;
        std::string_view run = code.substr(at, end - at);
        if (end < code.size() && (code[end] == '\'' || code[end] == '"') && run.size() <= 2 &&
            std::ranges::all_of(run, [](char c) { return std::isalpha((unsigned char)c); }))
            return end; // the prefix is dropped; the literal follows
        int place = static_cast<int>(column + at + 1);
        while (run.starts_with("==")) {
            push(Token::Kind::Word, "==", place);
            run.remove_prefix(2);
            place += 2;
        }
        bool closesPseudo = false;
        bool period = false;
        while (!run.empty()) {
            if (run.ends_with("==")) {
                closesPseudo = true;
                run.remove_suffix(2);
            } else if (run.back() == '.') {
                period = true;
                run.remove_suffix(1);
            } else if (run.back() == ',' || run.back() == ';') {
                run.remove_suffix(1);
            } else {
                break;
            }
        }
        if (!run.empty())
            push(Token::Kind::Word, std::string(run), place);
        if (closesPseudo)
            push(Token::Kind::Word, "==", place + static_cast<int>(run.size()));
        if (period)
            push(Token::Kind::Period, ".", static_cast<int>(column + end));
        return end;
    }

    void push(Token::Kind kind, std::string text, int column)
    {
        if (kind == Token::Kind::Word && m_joinWord) {
            m_tokens.back().text += text;
            m_joinWord = false;
            return;
        }
        m_joinWord = false;
        m_tokens.push_back({kind, std::move(text), m_line, column, m_file});
    }

    [[noreturn]] void unclosed() const
    {
        const Token &literal = m_tokens.back();
        throw CopybookError("literal is not closed", literal.line, literal.column, literal.file);
    }

    CopybookReader::Format m_format;
    const std::string *m_file;
    std::vector<Token> m_tokens;
    int m_line = 0;
    char m_quote = 0; // of the literal still open
    bool m_joinWord = false;
};

} // namespace

bool Token::isWord(std::string_view upperText) const
{
    if (kind != Kind::Word || text.size() != upperText.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != upperText[i])
            return false;
    }
    return true;
}

std::vector<Token> CopybookReader::read(std::string_view text, Format format,
                                        const std::string *file)
{
    Scanner scanner(format, file);
    int number = 0;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        scanner.line(text.substr(start, end - start), ++number);
        start = end + 1;
    }
    return scanner.finish();
}
