// Reading a tournament report file (TRF-16, the fixed-column format that
// pairing programs write and FIDE asks for) into one event: the players
// (record 001) with every round, the event name (012), the city (022), the
// dates (042, 052) and the number of rounds (XXR). Other records are passed
// over.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tournament/tournament.h"

// True when the first line that holds more than blanks begins with three
// digits and a blank, as every TRF record does (a UTF-8 byte-order mark
// before it aside). `text` may be just the start of a file.
bool looksLikeTrf(std::string_view text);

// How much of a file's start looksLikeTrf needs: false while the first
// line that holds more than blanks is not complete enough to tell.
bool trfDecidable(std::string_view start);

// Reads a whole TRF file into `event`. Each fault gets a message in
// `messages` ("LINE: what", without the program and file). False when the
// event has to be left out: a record too short for its fields, a result
// code or colour not in the list, an opponent who is no player, two
// players whose entries for a round do not agree. A player whose stated
// points differ from those of the rounds gets a message, but the event
// stays.
bool readTrf(std::string_view text, Event& event, std::vector<std::string>& messages);
