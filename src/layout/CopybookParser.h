#pragma once

#include "Item.h"
#include "Token.h"

#include <memory>
#include <vector>

// Builds the item tree of a copybook's data description entries. Each 01 or 77 entry starts
// a record; entries before the first 01 form a record of their own with no name.
class CopybookParser
{
public:
    // Throws CopybookError at the first entry that cannot be read, naming what was expected.
    static std::vector<std::unique_ptr<Item>> parse(const std::vector<Token> &tokens);
};
