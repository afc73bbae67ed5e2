#pragma once

#include "FieldDecoder.h"
#include "JsonLinesWriter.h"
#include "Layout.h"

#include <string>
#include <string_view>

// The JSON line of a record of a flat layout with no DEPENDING ON, written field by field as
// decode() reads each value: what the JSON Lines writer, however it is made, must agree with.
inline std::string decodedJsonLine(const Layout &layout, const FieldDecoder &decoder,
                                   std::string_view record)
{
    std::string line = "{";
    std::string value;
    for (const Placement &placement : layout.largest()) {
        if (placement.item->isGroup())
            continue;
        value.clear();
        const FieldValue decoded = decoder.decode(record.substr(placement.offset, placement.length),
                                                  *placement.item, value);
        line += (line.size() > 1 ? ",\"" : "\"") + placement.item->name + "\":";
        if (!decoded.valid() || decoded.kind == FieldValue::Kind::Null) {
            line += "null";
        } else if (decoded.kind == FieldValue::Kind::Number) {
            line += value;
        } else {
            line += '"';
            JsonLinesWriter::appendEscaped(value, line);
            line += '"';
        }
    }
    return line + "}\n";
}
