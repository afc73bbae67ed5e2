#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string_view>

class UserLocale;

enum class ByteClass : std::uint8_t { Single, Lead, Trail };

// The lead-byte set and multibyte flag, and the classification of bytes against them.
class ByteClasses
{
public:
    // Every byte single.
    ByteClasses() = default;
    // The set of the code page's lead bytes; multibyte exactly when that set is not empty.
    static ByteClasses forCodePage(int codePage);
    // The start-up rule: Western languages stay single-byte whatever their code page.
    static ByteClasses forLocale(const UserLocale &locale);

    // Filled once at start-up, before any window exists; read-only afterwards.
    static void setProcessWide(const ByteClasses &classes);
    static const ByteClasses &processWide();

    bool multibyte() const { return m_multibyte; }
    bool inLeadSet(std::uint8_t byte) const { return m_leadSet[byte]; }

    // Class of text[index] (0-based), decided from the start of text.
    // Costs the length of the run of lead-set bytes before index; use Scanner for whole strings.
    ByteClass classOf(std::string_view text, std::size_t index) const;

    // Classifies consecutive bytes in constant time each.
    class Scanner
    {
    public:
        explicit Scanner(const ByteClasses &classes) : m_classes(classes) {}
        // Starts as if an odd (true) or even run of lead-set bytes came just before.
        Scanner(const ByteClasses &classes, bool afterOddLeadRun)
            : m_classes(classes), m_oddLeadRun(afterOddLeadRun)
        {}

        ByteClass next(std::uint8_t byte)
        {
            if (!m_classes.m_multibyte)
                return ByteClass::Single;
            const bool trail = m_oddLeadRun;
            const bool inSet = m_classes.m_leadSet[byte];
            m_oddLeadRun = inSet && !m_oddLeadRun;
            if (trail)
                return ByteClass::Trail;
            return inSet ? ByteClass::Lead : ByteClass::Single;
        }
        bool afterOddLeadRun() const { return m_oddLeadRun; }

    private:
        const ByteClasses &m_classes;
        bool m_oddLeadRun = false;
    };

private:
    std::bitset<256> m_leadSet;
    bool m_multibyte = false;
};
