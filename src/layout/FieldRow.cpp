#include "FieldRow.h"

std::string FieldRow::shownValue() const
{
    switch (state) {
    case State::Group:
        return {};
    case State::Value:
        return value;
    case State::Absent:
        return "absent";
    case State::Invalid:
        return "invalid: " + std::string(FieldValue::reasonName(reason));
    case State::TooLong:
        return std::to_string(length) + " bytes, too long to show";
    }
    return {};
}
