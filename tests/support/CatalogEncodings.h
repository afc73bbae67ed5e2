#pragma once

#include "EncodingCatalog.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <span>
#include <string>
#include <vector>

// The names of the catalog's encodings, for a test of each.
inline std::vector<std::string> catalogNames()
{
    std::vector<std::string> names;
    for (const auto &entry : EncodingCatalog::entries())
        names.push_back(entry.name);
    return names;
}

// An encoding's name as a test's name: its letters and digits.
inline std::string encodingTestName(const testing::TestParamInfo<std::string> &info)
{
    std::string name = info.param;
    std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
    return name;
}

// Random bytes, every other one on average taken from palette: bytes that begin, continue or
// break the encodings' sequences.
inline std::string hostileRecord(std::mt19937 &random, std::size_t length,
                                 std::span<const int> palette)
{
    std::string record;
    for (std::size_t i = 0; i < length; ++i)
        record += char(random() % 2 ? random() % 256 : palette[random() % palette.size()]);
    return record;
}
