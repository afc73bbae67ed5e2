#pragma once

#include "CopybookLayout.h"
#include "FieldDecoder.h"
#include "Framing.h"
#include "LayoutArguments.h"

#include <functional>
#include <memory>
#include <string_view>

class Encoding;
class RecordStore;

// qarvo-dump's copybook output: the layout's items, one record's fields, or every record as
// JSON Lines.
class LayoutOutput
{
public:
    using Write = std::function<void(std::string_view)>;

    // The options' part of --help.
    static std::string_view help();

    // Reads the copybook and lays out its record. Throws Failure, with the copybook's name and
    // the place of what it could not read.
    explicit LayoutOutput(const LayoutArguments &arguments);

    // Fixed-length records of the layout's largest extent.
    Framing framing() const;
    // "LEVEL NAME OFFSET LENGTH [PICTURE] [USAGE]" for each item, the record first.
    void writeLayout(const Write &write) const;
    // "NAME OFFSET LENGTH HEX VALUE" for each elementary item of record; whether every value
    // that counts decoded.
    bool writeFields(std::string_view record, std::shared_ptr<const Encoding> encoding,
                     const Write &write) const;
    // A JSON object a line for each record of store; whether every value that counts decoded.
    bool writeJson(const RecordStore &store, std::shared_ptr<const Encoding> encoding,
                   const Write &write) const;

private:
    CopybookLayout m_copybook;
};
