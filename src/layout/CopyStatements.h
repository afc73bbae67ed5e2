#pragma once

#include "Token.h"

#include <functional>
#include <string>
#include <vector>

// COPY name [OF|IN library] [SUPPRESS] [REPLACING a BY b ...]: the member's tokens in place of
// the statement, with its replacements made. a and b are ==pseudo-text==, a word or a literal;
// LEADING or TRAILING before a, or a written as ":TAG:", replaces part of a word.
class CopyStatements
{
public:
    // The tokens of the member called name; throws CopybookError when there is none.
    using Loader = std::function<std::vector<Token>(const Token &name)>;

    // Throws CopybookError, also for members that copy themselves.
    static std::vector<Token> expand(const std::vector<Token> &tokens, const Loader &load);
};
