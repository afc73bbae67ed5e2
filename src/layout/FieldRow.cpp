#include "FieldRow.h"

#include "Item.h"

#include <algorithm>

namespace {

std::string conditionsOf(const std::vector<std::string> &conditions)
{
    std::string text;
    for (const std::string &condition : conditions)
        text += (text.empty() ? " (" : ", ") + condition;
    return text.empty() ? text : text + ")";
}

} // namespace

std::string FieldRow::shownValue() const
{
    switch (state) {
    case State::Group:
        return {};
    case State::Value:
        return value + conditionsOf(conditions);
    case State::Absent:
        return "absent";
    case State::Invalid:
        return "invalid: " + std::string(FieldValue::reasonName(reason));
    case State::TooLong:
        return std::to_string(length) + " bytes, too long to show";
    }
    return {};
}

std::string FieldRow::level() const
{
    const int number = std::max(item->level, 1); // a record with no 01 entry of its own
    return (number < 10 ? "0" : "") + std::to_string(number);
}

std::string FieldRow::tabSeparated() const
{
    return level() + '\t' + name + '\t' + std::to_string(offset) + '\t' + std::to_string(length) +
           '\t' + picture + '\t' + hex + '\t' + shownValue();
}
