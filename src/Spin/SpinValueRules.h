#pragma once

#include <cstdint>
#include <string_view>

// The spin edit's number rules. The field stores no number: its text is the value.
namespace SpinValueRules {

// The text read as a signed 32-bit number: leading spaces, an optional sign, then decimal digits,
// or "$", "x", "X", "0x" or "0X" and hexadecimal digits (a 32-bit pattern, up to FFFFFFFF), and
// nothing after them. Any other text, the empty text among them, reads as minValue.
std::int32_t ReadValue(std::string_view text, std::int32_t minValue);

// Limits n to the bounds only when they differ. The tests run below-then-above, so with minValue
// above maxValue every n below minValue gives minValue and every other n gives maxValue.
std::int32_t ClampValue(std::int32_t n, std::int32_t minValue, std::int32_t maxValue);

// n + delta and n - delta in 32-bit two's complement: 2147483647 + 1 gives -2147483648.
std::int32_t AddWrapping(std::int32_t n, std::int32_t delta);
std::int32_t SubtractWrapping(std::int32_t n, std::int32_t delta);

// Whether a typed character may enter the field. Digits, signs and the decimal separator only
// while the editor is enabled; control characters except carriage return always, Backspace (8)
// only while the editor is enabled.
bool AcceptsChar(char32_t c, bool editorEnabled, char32_t decimalSeparator);

} // namespace SpinValueRules
