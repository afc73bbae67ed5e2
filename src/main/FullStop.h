#pragma once

#include <string>
#include <string_view>

// The error box's closing rule: a "." is appended when the message's last character (a
// double-byte character taken whole) has a first byte in the ANSI code page above that of ".".
// Every non-ASCII character qualifies, as its first byte there is 0x80 or more.
std::string withFullStop(std::string_view message);
