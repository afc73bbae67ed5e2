#pragma once

#include "CopybookReader.h"
#include "FieldDecoder.h"

#include <string>
#include <string_view>
#include <vector>

// What the user chose to lay records out with: the copybook, its record, how it is written and
// how fields are decoded. The viewer and qarvo-dump take it as the same options:
// --copybook CPY, --layout-record NAME, --copybook-format fixed|free, --binary big|little,
// --float hex|ieee, --nsymbol dbcs|national.
struct LayoutChoice
{
    struct ValueOption
    {
        std::string_view name;
        std::string_view needs; // for the message when the value is missing
    };
    static const std::vector<ValueOption> &valueOptions();

    std::string copybook;
    std::string record; // the 01 level's name; the copybook's first when empty
    CopybookReader::Format format = CopybookReader::Format::Reference;
    FieldDecoder::Options decoding;

    // One of valueOptions() with its value; throws std::invalid_argument, saying what fits,
    // for a value that does not.
    void take(std::string_view option, std::string_view value);
};
