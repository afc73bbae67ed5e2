#include "UserLocale.h"

#include <gtest/gtest.h>

struct LocaleRow
{
    const char *name;
    const char *language;
    int codePage;
    bool western;
};

void PrintTo(const LocaleRow &row, std::ostream *out)
{
    *out << '"' << row.name << '"';
}

class UserLocaleTest : public testing::TestWithParam<LocaleRow>
{};

TEST_P(UserLocaleTest, MapsNameToLanguageAndCodePage)
{
    const LocaleRow row = GetParam();

    const UserLocale locale(row.name);

    EXPECT_EQ(locale.language(), row.language);
    EXPECT_EQ(locale.ansiCodePage(), row.codePage);
    EXPECT_EQ(locale.isWestern(), row.western);
}

INSTANTIATE_TEST_SUITE_P(
    Names, UserLocaleTest,
    testing::Values(
        LocaleRow{"ja_JP.UTF-8", "ja", 932, false}, LocaleRow{"ja_JP.SJIS", "ja", 932, false},
        LocaleRow{"ja", "ja", 932, false}, LocaleRow{"zh_CN.UTF-8", "zh", 936, false},
        LocaleRow{"zh_TW.UTF-8", "zh", 950, false}, LocaleRow{"ko_KR.EUC-KR", "ko", 949, false},
        LocaleRow{"de_DE.UTF-8@euro", "de", 1252, true}, LocaleRow{"C", "en", 1252, true},
        LocaleRow{"POSIX", "en", 1252, true}, LocaleRow{"", "en", 1252, true},
        LocaleRow{"ru_RU.UTF-8", "ru", 1251, false}, LocaleRow{"xx_YY", "xx", 1252, true}),
    [](const testing::TestParamInfo<LocaleRow> &info) {
        std::string name = info.param.name[0] ? info.param.name : "Empty";
        for (char &c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

struct LanguageIdRow
{
    const char *name;
    const char *locale;
    std::uint16_t languageId;
};

void PrintTo(const LanguageIdRow &row, std::ostream *out)
{
    *out << '"' << row.locale << '"';
}

class UserLocaleLanguageId : public testing::TestWithParam<LanguageIdRow>
{};

TEST_P(UserLocaleLanguageId, CarriesTheSubLanguageOfTheTerritory)
{
    EXPECT_EQ(UserLocale(GetParam().locale).languageId(), GetParam().languageId);
}

const LanguageIdRow kLanguageIdRows[] = {
    {"Japanese", "ja_JP.UTF-8", 0x0411},  {"C", "C", 0x0409},
    {"Posix", "POSIX", 0x0409},           {"British", "en_GB.UTF-8", 0x0809},
    {"Austrian", "de_AT@euro", 0x0C07},   {"Taiwanese", "zh_TW.Big5", 0x0404},
    {"ChineseAlone", "zh", 0x0804},       {"GermanOfAnUnlistedTerritory", "de_BE.UTF-8", 0x0407},
    {"UnknownLanguage", "xx_YY", 0x0000},
};

INSTANTIATE_TEST_SUITE_P(Names, UserLocaleLanguageId, testing::ValuesIn(kLanguageIdRows),
                         [](const testing::TestParamInfo<LanguageIdRow> &info) {
                             return info.param.name;
                         });
