#include "ByteClasses.h"

#include "CodePage.h"
#include "UserLocale.h"

namespace {
ByteClasses g_processWide;
}

ByteClasses ByteClasses::forCodePage(int codePage)
{
    ByteClasses classes;
    for (const auto &range : CodePage::leadByteRanges(codePage)) {
        for (int byte = range.low; byte <= range.high; ++byte)
            classes.m_leadSet.set(static_cast<std::size_t>(byte));
    }
    classes.m_multibyte = classes.m_leadSet.any();
    return classes;
}

ByteClasses ByteClasses::forLocale(const UserLocale &locale)
{
    if (locale.isWestern())
        return ByteClasses();
    return forCodePage(locale.ansiCodePage());
}

void ByteClasses::setProcessWide(const ByteClasses &classes)
{
    g_processWide = classes;
}

const ByteClasses &ByteClasses::processWide()
{
    return g_processWide;
}

ByteClass ByteClasses::classOf(std::string_view text, std::size_t index) const
{
    if (!m_multibyte)
        return ByteClass::Single;
    std::size_t run = 0;
    while (run < index && inLeadSet(static_cast<std::uint8_t>(text[index - run - 1])))
        ++run;
    if (run % 2 == 1)
        return ByteClass::Trail;
    return inLeadSet(static_cast<std::uint8_t>(text[index])) ? ByteClass::Lead : ByteClass::Single;
}
