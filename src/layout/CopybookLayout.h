#pragma once

#include "Copybook.h"
#include "FieldDecoder.h"
#include "Layout.h"
#include "LayoutChoice.h"

#include <memory>

class Encoding;

// A chosen copybook, read, with its record laid out.
class CopybookLayout
{
public:
    // Throws std::runtime_error saying what could not be read, and where: the copybook's
    // name, line and column.
    explicit CopybookLayout(LayoutChoice choice);

    const LayoutChoice &choice() const { return m_choice; }
    const Item &record() const { return m_layout->record(); }
    const Layout &layout() const { return *m_layout; }
    // "ORDER-RECORD", or "FILLER" for a record with no name.
    std::string recordName() const;
    // The decoder of fields in encoding, as the choice decodes them.
    FieldDecoder decoder(std::shared_ptr<const Encoding> encoding) const;

private:
    LayoutChoice m_choice;
    Copybook m_copybook;
    std::unique_ptr<Layout> m_layout;
};
