// Where tesweb finds the suite's configuration file: the ".INI" file named on
// the command line, else TESSARA.INI beside the input, else TESSARA.INI
// beside the program; a run without any keeps the default settings.
#pragma once

#include "config/settings.h"
#include "frame/io.h"
#include "frame/startup.h"

// Finds the configuration file, reads its settings section into `settings`
// and says on the console where it came from.
void readSettingsFile(Frame& frame, const Startup& startup, Settings& settings);
