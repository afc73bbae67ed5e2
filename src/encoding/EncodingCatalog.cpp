#include "EncodingCatalog.h"

#include "ByteClasses.h"
#include "DoubleByteEncoding.h"
#include "EucJpEncoding.h"
#include "Gb18030Encoding.h"
#include "LeadByteEncoding.h"
#include "ShiftedEbcdicEncoding.h"
#include "SingleByteEncoding.h"
#include "UserLocale.h"
#include "Utf8Encoding.h"

#include <algorithm>
#include <cctype>

namespace {

using Make = std::function<std::shared_ptr<const Encoding>()>;

std::string folded(std::string_view name)
{
    std::string key;
    for (const char c : name) {
        if (c != '-' && c != '_' && c != ' ' && c != '.')
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return key;
}

Make leadBytePage(std::string name, int codePage)
{
    return [name, codePage] {
        return std::make_shared<const LeadByteEncoding>(name, ByteClasses::forCodePage(codePage),
                                                        codePage);
    };
}

Make doubleBytePage(std::string name, std::string charset,
                    std::vector<DoubleByteEncoding::Range> trails, std::uint8_t lastSingle = 0x7F)
{
    return [=] {
        const DoubleByteEncoding::Layout layout{{{0x00, lastSingle}}, {{0x81, 0xFE}}, trails};
        return std::make_shared<const DoubleByteEncoding>(name, charset, layout);
    };
}

Make singleBytePage(std::string name, std::string charset)
{
    return [=] {
        return std::make_shared<const SingleByteEncoding>(name, charset);
    };
}

Make shiftedPage(std::string name, std::string charset)
{
    return [=] {
        return std::make_shared<const ShiftedEbcdicEncoding>(name, charset);
    };
}

void addIsoPages(std::vector<EncodingCatalog::Entry> &entries)
{
    for (const int part : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16}) {
        const std::string name = "ISO-8859-" + std::to_string(part);
        entries.push_back(
            {name, "Western", {"iso8859-" + std::to_string(part)}, singleBytePage(name, name)});
    }
}

std::vector<EncodingCatalog::Entry> makeEntries()
{
    std::vector<EncodingCatalog::Entry> entries{
        {"Shift_JIS",
         "Japanese",
         {"sjis", "cp932", "ms932", "windows-31j", "932", "ms_kanji", "x-sjis"},
         leadBytePage("Shift_JIS", 932)},
        {"EUC-JP",
         "Japanese",
         {"eucjp", "ujis", "x-euc-jp"},
         [] {
             return std::make_shared<const EucJpEncoding>();
         }},
        {"UTF-8",
         "Unicode",
         {"utf8"},
         [] {
             return std::make_shared<const Utf8Encoding>();
         }},
        {"GB18030",
         "Chinese",
         {"gb-18030"},
         [] {
             return std::make_shared<const Gb18030Encoding>();
         }},
        {"GBK",
         "Chinese",
         {"cp936", "936", "ms936", "windows-936"},
         doubleBytePage("GBK", "CP936", {{0x40, 0x7E}, {0x80, 0xFE}}, 0x80)},
        {"Big5",
         "Chinese",
         {"cp950", "950", "ms950", "windows-950"},
         doubleBytePage("Big5", "CP950", {{0x40, 0x7E}, {0xA1, 0xFE}})},
        {"UHC",
         "Korean",
         {"cp949", "949", "ms949", "windows-949", "euc-kr", "ks_c_5601-1987"},
         doubleBytePage("UHC", "CP949", {{0x41, 0x5A}, {0x61, 0x7A}, {0x81, 0xFE}})},
        {"Windows-1252",
         "Western",
         {"cp1252", "1252", "ms-ansi"},
         leadBytePage("Windows-1252", 1252)},
    };
    addIsoPages(entries);
    const std::vector<EncodingCatalog::Entry> ebcdic{
        {"IBM-037",
         "EBCDIC",
         {"ibm037", "cp037", "037", "37", "ebcdic-cp-us"},
         singleBytePage("IBM-037", "IBM037")},
        {"IBM-1047", "EBCDIC", {"cp1047", "1047"}, singleBytePage("IBM-1047", "IBM1047")},
        {"IBM-290", "EBCDIC", {"cp290", "290"}, singleBytePage("IBM-290", "IBM290")},
        // The single-byte mode of CCSID 939 is page 1027.
        {"IBM-1027", "EBCDIC", {"cp1027", "1027"}, singleBytePage("IBM-1027", "IBM939")},
        {"IBM-930", "EBCDIC", {"cp930", "930", "ccsid930"}, shiftedPage("IBM-930", "IBM930")},
        {"IBM-939", "EBCDIC", {"cp939", "939", "ccsid939"}, shiftedPage("IBM-939", "IBM939")},
    };
    entries.insert(entries.end(), ebcdic.begin(), ebcdic.end());
    return entries;
}

} // namespace

const std::vector<EncodingCatalog::Entry> &EncodingCatalog::entries()
{
    static const std::vector<Entry> kEntries = makeEntries();
    return kEntries;
}

const EncodingCatalog::Entry *EncodingCatalog::find(std::string_view name)
{
    const std::string key = folded(name);
    for (const Entry &entry : entries()) {
        if (folded(entry.name) == key ||
            std::ranges::any_of(entry.aliases,
                                [&](const std::string &alias) { return folded(alias) == key; }))
            return &entry;
    }
    return nullptr;
}

std::shared_ptr<const Encoding> EncodingCatalog::make(std::string_view name)
{
    const Entry *entry = find(name);
    return entry ? entry->make() : nullptr;
}

std::shared_ptr<const Encoding> EncodingCatalog::forLocale(const UserLocale &locale)
{
    const int codePage = locale.ansiCodePage();
    return std::make_shared<const LeadByteEncoding>(codePageName(codePage) + " (locale)",
                                                    ByteClasses::forLocale(locale), codePage);
}

std::string EncodingCatalog::codePageName(int codePage)
{
    switch (codePage) {
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "UHC";
    case 950:
        return "Big5";
    default:
        return "Windows-" + std::to_string(codePage);
    }
}
