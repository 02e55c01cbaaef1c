// The constant tables of the cross table: player titles, the three-letter
// country codes with their display names (the flag images are named by the
// codes), and the Roman numerals of a tournament's category.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "frame/word_search.h"

// Title number n is entry n - 1; 0 stands for no title.
constexpr std::array<std::string_view, 10> TITLE_LIST = {
    "IM", "FM", "GM", "WM", "WG", "M", "CC-GM", "CC-SIM", "CC-LGM", "CC-LM",
};

// Code number n is entry n - 1; 0 stands for no country. Sorted by byte
// value for the halving search.
constexpr std::array<std::string_view, 165> COUNTRY_CODES = {
    "afg", "aho", "alb", "alg", "and", "ang", "ant", "arg", "arm", "aru", "aus", "aut", "aze",
    "bah", "ban", "bar", "bdi", "bel", "ber", "bih", "blr", "blz", "bol", "bot", "bra", "brn",
    "bru", "bul", "can", "chi", "chn", "cmr", "col", "com", "crc", "cro", "cub", "cym", "cyp",
    "cze", "den", "dom", "ecu", "egy", "eng", "eri", "esa", "esp", "est", "eth", "fai", "fij",
    "fin", "fra", "gam", "geo", "ger", "gha", "grd", "gre", "gua", "guy", "hai", "hkg", "hon",
    "hun", "ina", "ind", "iri", "irl", "irq", "isl", "isr", "ita", "jam", "jor", "jpn", "kaz",
    "ken", "kgz", "khm", "kor", "kuw", "lao", "lat", "lba", "lbr", "lib", "lie", "ltu", "lux",
    "mad", "mar", "mas", "mau", "mda", "mex", "mgl", "mkd", "mli", "mlt", "mnc", "moz", "mri",
    "mya", "nca", "ned", "nep", "ngr", "nir", "nor", "nzl", "omn", "pak", "pan", "par", "per",
    "phi", "png", "pol", "por", "prk", "pur", "qat", "que", "rom", "rsa", "rus", "sau", "sco",
    "sen", "sey", "sin", "sle", "slo", "smr", "sri", "sud", "sui", "sun", "sur", "svk", "swe",
    "syr", "tcd", "tha", "tjk", "tkm", "tri", "tun", "tur", "twn", "uae", "uga", "ukr", "uru",
    "usa", "uzb", "ven", "vie", "wal", "yem", "yug", "zam", "zim",
};

// Display names by code number; entry 0 is the text for no country.
constexpr std::array<std::string_view, 166> COUNTRY_NAMES = {
    "No Flag",
    "Afghanistan",
    "Netherlands Antilles",
    "Albania",
    "Algeria",
    "Andorra",
    "Angola",
    "Antigua",
    "Argentina",
    "Armenia",
    "Aruba",
    "Australia",
    "Austria",
    "Azerbaijan",
    "Bahamas",
    "Bangladesh",
    "Barbados",
    "Burundi",
    "Belgium",
    "Bermuda",
    "Bosnia and Herzegovina",
    "Belarus",
    "Belize",
    "Bolivia",
    "Botswana",
    "Brazil",
    "Bahrain",
    "Brunei",
    "Bulgaria",
    "Canada",
    "Chile",
    "China",
    "Cameroon",
    "Columbia",
    "Comoros",
    "Costa Rica",
    "Croatia",
    "Cuba",
    "Cayman Islands",
    "Cyprus",
    "Czech Republic",
    "Denmark",
    "Dominican Republic",
    "Ecuador",
    "Egypt",
    "United Kingdom",
    "Eritrea",
    "El Salvador",
    "Spain",
    "Estonia",
    "Ethiopia",
    "Faroe Islands",
    "Fiji",
    "Finland",
    "France",
    "Gambia",
    "Georgia",
    "Germany",
    "Ghana",
    "Grenada",
    "Greece",
    "Guatemala",
    "Guyana",
    "Haiti",
    "Hong Kong",
    "Honduras",
    "Hungary",
    "Indonesia",
    "India",
    "Iran",
    "Ireland",
    "Iraq",
    "Iceland",
    "Israel",
    "Italy",
    "Jamaica",
    "Jordan",
    "Japan",
    "Kazakhstan",
    "Kenya",
    "Kyrgyzstan",
    "Cambodia",
    "Korea",
    "Kuwait",
    "Lao",
    "Latvia",
    "Libya",
    "Liberia",
    "Lebanon",
    "Liechtenstein",
    "Lithuania",
    "Luxembourg",
    "Madagascar",
    "Morocco",
    "Malaysia",
    "Mauritania",
    "Moldova",
    "Mexico",
    "Mongolia",
    "Macedonia",
    "Mali",
    "Malta",
    "Monaco",
    "Mozambique",
    "Mauritius",
    "Myanmar",
    "Nicaragua",
    "Netherlands",
    "Nepal",
    "Nigeria",
    "Northern Ireland",
    "Norway",
    "New Zealand",
    "Oman",
    "Pakistan",
    "Panama",
    "Paraguay",
    "Peru",
    "Philippines",
    "Papua New Guinea",
    "Poland",
    "Portugal",
    "People's Republic of Korea",
    "Puerto Rico",
    "Qatar",
    "Quebec",
    "Romania",
    "South Africa",
    "Russia",
    "Saudi Arabia",
    "Scotland",
    "Senegal",
    "Seychelles",
    "Singapore",
    "Sierra Leone",
    "Slovenia",
    "San Marino",
    "Sri Lanka",
    "Sudan",
    "Switzerland",
    "U.S.S.R.",
    "Surinam",
    "Slovakia",
    "Sweden",
    "Syria",
    "Chad",
    "Thailand",
    "Tajikistan",
    "Turkmenistan",
    "Trinidad and Tobago",
    "Tunisia",
    "Turkey",
    "Taiwan",
    "United Arab Emirates",
    "Uganda",
    "Ukraine",
    "Uruguay",
    "United States",
    "Uzbekistan",
    "Venezuela",
    "Vietnam",
    "Wales",
    "Yemen",
    "Yugoslavia",
    "Zambia",
    "Zimbabwe",
};

// The numeral of category c (1 to 29) is entry c; category 0 has none.
constexpr std::array<std::string_view, 30> ROMAN_NUMERALS = {
    "",   "I",   "II",   "III",   "IV",   "V",   "VI",   "VII",   "VIII",   "IX",
    "X",  "XI",  "XII",  "XIII",  "XIV",  "XV",  "XVI",  "XVII",  "XVIII",  "XIX",
    "XX", "XXI", "XXII", "XXIII", "XXIV", "XXV", "XXVI", "XXVII", "XXVIII", "XXIX",
};

namespace detail {

constexpr bool countryCodesWellFormed() {
    for (std::string_view code : COUNTRY_CODES) {
        if (code.size() != 3) return false;
        for (char c : code) {
            if (c < 'a' || c > 'z') return false;
        }
    }
    return true;
}

}  // namespace detail

static_assert(detail::countryCodesWellFormed(), "country codes: three lower-case letters");
static_assert(isSortedAndPrefixFree(COUNTRY_CODES), "the country search halves a sorted table");

// The number of the title that `token` is, or 0. A title matches every token
// that begins with it, ignoring case (WGM is the title WG), except the
// one-letter title M, which must be the whole token: otherwise it would
// swallow the country codes that begin with M.
int matchTitle(const char* token);

// The number of the country whose code `token` is, in any case, or 0.
int findCountry(const char* token);
