#pragma once

#include "FieldValue.h"

#include <string>
#include <string_view>
#include <vector>

struct Item;

// Which of an item's 88 levels hold for one value of it: numbers compare as numbers, text as
// the text with its trailing blanks removed, HIGH-VALUE and LOW-VALUE by the bytes.
class ConditionCheck
{
public:
    // value: as the decoder wrote it, for a valid kind; bytes: the item's own.
    static std::vector<std::string> holding(const Item &item, FieldValue decoded,
                                            std::string_view value, std::string_view bytes);
};
