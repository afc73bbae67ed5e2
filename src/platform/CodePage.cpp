#include "CodePage.h"

std::vector<CodePage::ByteRange> CodePage::leadByteRanges(int codePage)
{
    switch (codePage) {
    case 932:
        return {{0x81, 0x9F}, {0xE0, 0xFC}};
    case 936:
    case 949:
    case 950:
        return {{0x81, 0xFE}};
    default:
        return {};
    }
}
