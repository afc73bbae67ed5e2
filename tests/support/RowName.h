#pragma once

#include <gtest/gtest.h>

#include <string>

// Names a table test's cases after its rows' name field.
template <class Row> std::string rowName(const testing::TestParamInfo<Row> &info)
{
    return info.param.name;
}
