// The opening name store: every ECO line's code and name, the name packed
// with a fixed dictionary of frequent words, appended to one byte area that
// the opening file carries unchanged, and one opening table entry per line.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "book/eco_header.h"
#include "frame/io.h"
#include "frame/word_search.h"

constexpr int OPENING_WORD_COUNT = 245;

// The word dictionary of the opening file. A word's code is its position
// plus one; the viewer decodes names with the same table, so neither the
// words nor their order may ever change.
constexpr std::array<std::string_view, OPENING_WORD_COUNT> OPENING_WORDS = {
    "Accelerated",  "Accepted",     "Adorjan",      "Advance",        "Alapin",
    "Albin",        "Alekhine",     "Allgaier",     "Anderssen",      "Andersson",
    "Anglo-",       "Anti-",        "Antoshin",     "Archangel",      "Aronin",
    "Attack",       "Austrian",     "Averbakh",     "Barcza",         "Basman",
    "Bastrikov",    "Bellon",       "Benko",        "Benoni",         "Berger",
    "Berlin",       "Bernstein",    "Bird",         "Bishop",         "Blackburne",
    "Blackmar",     "Blumenfeld",   "Bogo-Indian",  "Bogolyubov",     "Boleslavsky",
    "Bondarevsky",  "Borisenko",    "Botvinnik",    "Bremen",         "Breyer",
    "Bronstein",    "Browne",       "Budapest",     "Byrne",          "Cambridge Springs",
    "Canal",        "Capablanca",   "Carls",        "Caro-Kann",      "Catalan",
    "Centre",       "Charousek",    "Chatard",      "Chekhover",      "Chigorin",
    "Classical",    "Closed",       "Cochrane",     "Colle",          "Counter",
    "Cozio",        "Cunningham",   "Czech",        "Danish",         "Declined",
    "Defense",      "Defensive",    "Deferred",     "Diemer",         "Double",
    "Dragon",       "Duras",        "Dutch",        "Elikases",       "English",
    "Englund",      "Euwe",         "Evans",        "Exchange",       "Fajarowicz",
    "Falkbeer",     "Fianchetto",   "Fischer",      "Flohr",          "Formation",
    "Four",         "French",       "Furman",       "Gambit",         "Game",
    "Geller",       "Gipslis",      "Giuoco",       "Gligoric",       "Goering",
    "Grob",         "Gruenfeld",    "Gurgenidze",   "Hanham",         "Hedgehog",
    "Holmov",       "Huebner",      "Hungarian",    "Ilyin-Genevsky", "Indian",
    "Ivkov",        "Jaenisch",     "Janowsky",     "Kalishnikov",    "Karlsbad",
    "Karpov",       "Kasparov",     "Kavalek",      "Keres",          "Kieseritsky",
    "King's",       "Kingside",     "Kmoch",        "Knight",         "Kopec",
    "Korchnoi",     "Kotov",        "Kramnik",      "Labourdonnais",  "Larsen",
    "Lasker",       "Latvian",      "Leningrad",    "Leonhardt",      "Levenfish",
    "Line",         "Lisitsin",     "Ljubojevic",   "Loewenthal",     "London",
    "MacCutcheon",  "Main Line",    "Makagonov",    "Manhattan",      "Mariotti",
    "Maroczy",      "Marshall",     "Max Lange",    "McDonnell",      "Meran",
    "Mieses",       "Mikenas",      "Milner-Barry", "Modern",         "Moeller",
    "Morphy",       "Muzio",        "Najdorf",      "Neo-",           "Nimzo-Indian",
    "NimzoIndian",  "Nimzovich",    "Noteboom",     "Opening",        "Opovcensky",
    "Orthodox",     "Pachman",      "Panno",        "Panov",          "Paulsen",
    "Pawn",         "Pelikan",      "Petrosian",    "Petrov",         "Philidor",
    "Piano",        "Pillsbury",    "Pirc",         "Polish",         "Polugaievsky",
    "Ponziani",     "Positional",   "Prins",        "Queen's",        "Queens",
    "Quinteros",    "Ragozin",      "Rauzer",       "Reshevsky",      "Reti",
    "Reversed",     "Richter",      "Robatsch",     "Romanishin",     "Rosenthal",
    "Rossolimo",    "Rubinstein",   "Russian",      "Ruy Lopez",      "Saemisch",
    "Scandinavian", "Scheveningen", "Schlechter",   "Schliemann",     "Scotch",
    "Seirawan",     "Semi-Slav",    "Shirov",       "Short",          "Sicilian",
    "Simagin",      "Slav",         "Smith-Morra",  "Smyslov",        "Sokolsky",
    "Sozin",        "Spanish",      "Spassky",      "Spielmann",      "Stahlberg",
    "Staunton",     "Steiner",      "Steinitz",     "Stonewall",      "Suttles",
    "Svenonius",    "Sveshnikov",   "Symmetrical",  "System",         "Taimanov",
    "Tarrasch",     "Tartakower",   "Teichmann",    "Three",          "Torre",
    "Trompovsky",   "Uhlmann",      "Ulvestad",     "Urusov",         "Variation",
    "Velmirovic",   "Veresov",      "Vienna",       "Wade",           "Winawer",
    "Wing",         "Yugoslav",     "Yusupov",      "Zaitsev",        "Zukertort",
};

namespace name_store_detail {

// Every word must shrink when it becomes '$' and a code, and start with a
// capital, the only place the encoder looks for one.
constexpr bool wordsFitTheEncoding() {
    for (std::string_view word : OPENING_WORDS) {
        if (word.size() < 4 || word.size() > 17) return false;
        if (word[0] < 'A' || word[0] > 'Z') return false;
    }
    return true;
}

}  // namespace name_store_detail

static_assert(OPENING_WORDS.size() == 245);
static_assert(isSortedAndPrefixFree(OPENING_WORDS), "the word search halves a sorted table");
static_assert(name_store_detail::wordsFitTheEncoding());
static_assert(OPENING_WORDS[44] == "Cambridge Springs" && OPENING_WORDS[204] == "Sicilian");

constexpr std::int32_t NAME_SPACE_SIZE = 500000;
constexpr int MAX_OPENING_LINES = 10000;

// What the store keeps of one ECO line.
struct OpeningInfo {
    std::int32_t name = 0;  // offset of the line's NameRecord in the name space
    std::int32_t headerLine = 0;
    std::int32_t plies = 0;
    std::uint8_t ecoLetter = 0;
    std::uint8_t ecoNumber = 0;
};

// The name space and the opening table, both obtained once at start.
// A NameRecord is the ECO letter and number with bit 7 set, the encoded
// name and a 0 byte; it is known by its offset in the name space.
struct NameStore {
    std::unique_ptr<std::uint8_t[]> nameSpace;
    std::int32_t nameSpaceUsed = 0;
    std::int32_t lastRecord = 0;                  // offset of the NameRecord stored last
    std::unique_ptr<OpeningInfo[]> openingTable;  // MAX_OPENING_LINES entries
};

// Obtains the name space and the opening table; a failure ends the run.
void allocateNameSpace(Frame& frame, NameStore& store);

// The code (1 to 245) of the dictionary word with which `text` begins, or 0.
int findOpeningWord(const char* text);

// Encodes a 0-terminated name in place: each dictionary word becomes '$'
// and its code, a '$' of the text is dropped with a warning, and the spaces
// after a ':' go. The result is never longer than the name.
void encodeOpeningName(Frame& frame, char* name);

// Encodes the header's name and appends the line's NameRecord.
void storeOpeningName(Frame& frame, NameStore& store, EcoHeader& header);

// Enters the line's OpeningInfo, naming the NameRecord stored last, at
// `lineIndex` of the opening table.
void addOpeningInfo(NameStore& store, const EcoHeader& header, int lineIndex);
