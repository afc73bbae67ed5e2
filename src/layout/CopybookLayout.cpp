#include "CopybookLayout.h"

#include <stdexcept>

CopybookLayout::CopybookLayout(LayoutChoice choice)
    : m_choice(std::move(choice)), m_copybook(Copybook::load(m_choice.copybook, m_choice.format))
{
    const Item *record = nullptr;
    try {
        record = &m_copybook.record(m_choice.record);
    } catch (const std::invalid_argument &error) {
        throw std::runtime_error(m_choice.copybook + ": " + error.what());
    }
    m_layout = std::make_unique<Layout>(*record);
}

std::string CopybookLayout::recordName() const
{
    return record().name.empty() ? "FILLER" : record().name;
}

FieldDecoder CopybookLayout::decoder(std::shared_ptr<const Encoding> encoding) const
{
    return FieldDecoder(std::move(encoding), m_choice.decoding);
}
