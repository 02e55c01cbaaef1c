#include "transform/tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return text;
}

TEST(FindCountry, FindsEveryCodeInAnyCase) {
    for (std::size_t i = 0; i < COUNTRY_CODES.size(); ++i) {
        std::string code(COUNTRY_CODES[i]);
        int number = static_cast<int>(i + 1);
        EXPECT_EQ(number, findCountry(code.c_str())) << code;
        EXPECT_EQ(number, findCountry(upper(code).c_str())) << code;
        std::string mixed = upper(code.substr(0, 1)) + code.substr(1, 1) + upper(code.substr(2));
        EXPECT_EQ(number, findCountry(mixed.c_str())) << code;
    }
}

TEST(FindCountry, FindsNoOtherThreeCharacterText) {
    // Every printable three-character text: found exactly when it is a code.
    auto letter = [](int c) {
        return c >= 'a' && c <= 'z' ? c - 'a' : c >= 'A' && c <= 'Z' ? c - 'A' : -1;
    };
    std::vector<bool> isCode(26 * 26 * 26);
    for (std::string_view code : COUNTRY_CODES) {
        isCode[static_cast<std::size_t>(letter(code[0]) * 676 + letter(code[1]) * 26 +
                                        letter(code[2]))] = true;
    }
    int found = 0;
    char token[4] = {};
    for (int a = 32; a < 127; ++a) {
        for (int b = 32; b < 127; ++b) {
            for (int c = 32; c < 127; ++c) {
                token[0] = static_cast<char>(a);
                token[1] = static_cast<char>(b);
                token[2] = static_cast<char>(c);
                bool letters = letter(a) >= 0 && letter(b) >= 0 && letter(c) >= 0;
                bool expected =
                    letters &&
                    isCode[static_cast<std::size_t>(letter(a) * 676 + letter(b) * 26 + letter(c))];
                int number = findCountry(token);
                if (number != 0) ++found;
                if (expected != (number != 0)) ADD_FAILURE() << "token '" << token << "'";
            }
        }
    }
    EXPECT_EQ(165 * 8, found);  // every code in its eight spellings of case
    for (const char* token : {"\xe9\xe9\xe9", "ge\xd2", "zzz", "aaa", "zim\xff"}) {
        EXPECT_EQ(0, findCountry(token)) << token;
    }
}

TEST(FindCountry, OnlyThreeCharacterTokensAreCodes) {
    for (const char* token : {"GERMANY", "de", "", "gerx", "ge", "2435"}) {
        EXPECT_EQ(0, findCountry(token)) << token;
    }
    EXPECT_EQ(57, findCountry("Ger"));
}

TEST(CountryNames, AreIndexedByCodeNumber) {
    EXPECT_EQ("No Flag", COUNTRY_NAMES[0]);
    EXPECT_EQ("Germany", COUNTRY_NAMES[static_cast<std::size_t>(findCountry("GER"))]);
    EXPECT_EQ("United Kingdom", COUNTRY_NAMES[static_cast<std::size_t>(findCountry("ENG"))]);
    EXPECT_EQ("U.S.S.R.", COUNTRY_NAMES[static_cast<std::size_t>(findCountry("SUN"))]);
    EXPECT_EQ("Columbia", COUNTRY_NAMES[static_cast<std::size_t>(findCountry("COL"))]);
    EXPECT_EQ("Northern Ireland", COUNTRY_NAMES[static_cast<std::size_t>(findCountry("NIR"))]);
    EXPECT_EQ("People's Republic of Korea",
              COUNTRY_NAMES[static_cast<std::size_t>(findCountry("prk"))]);
    EXPECT_EQ("Zimbabwe", COUNTRY_NAMES[165]);
    EXPECT_EQ("Afghanistan", COUNTRY_NAMES[1]);
}

TEST(MatchTitle, ComparesOverTheTitlesLength) {
    struct Case {
        const char* token;
        int title;
    } cases[] = {
        {"IM", 1},     {"FM", 2},     {"GM", 3},     {"gm", 3},     {"Gm", 3},   {"WM", 4},
        {"WG", 5},     {"WGM", 5},    {"wgm", 5},    {"M", 6},      {"m", 6},    {"CC-GM", 7},
        {"CC-SIM", 8}, {"cc-sim", 8}, {"CC-LGM", 9}, {"CC-LM", 10}, {"IMX", 1},  {"GMs", 3},
        {"WIM", 0},    {"WFM", 0},    {"CC-S", 0},   {"CC", 0},     {"", 0},     {"G", 0},
        {"MA", 0},     {"Mr", 0},     {"mad", 0},    {"Meier", 0},  {"2580", 0}, {"CC-", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.title, matchTitle(c.token)) << c.token;
}

TEST(MatchTitle, LeavesTheCodesThatBeginWithMToTheCountries) {
    const char* codes[] = {"mad", "mar", "mas", "mau", "mda", "mex", "mgl",
                           "mkd", "mli", "mlt", "mnc", "moz", "mri", "mya"};
    for (const char* code : codes) {
        EXPECT_EQ(0, matchTitle(code)) << code;
        EXPECT_EQ(0, matchTitle(upper(code).c_str())) << code;
        EXPECT_NE(0, findCountry(code)) << code;
    }
}

TEST(RomanNumerals, AreTheStandardNumeralsOfOneTo29) {
    // Built from the rule: tens, then the units with their subtractive forms.
    const char* units[] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
    for (int category = 1; category <= 29; ++category) {
        std::string expected =
            std::string(static_cast<std::size_t>(category / 10), 'X') + units[category % 10];
        EXPECT_EQ(expected, ROMAN_NUMERALS[static_cast<std::size_t>(category)]) << category;
    }
    EXPECT_EQ("", ROMAN_NUMERALS[0]);
    EXPECT_EQ("XII", ROMAN_NUMERALS[12]);
    EXPECT_EQ("XXIX", ROMAN_NUMERALS[29]);
}

}  // namespace
