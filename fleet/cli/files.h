// The files a command reads: their names as the operator is told them, the
// settings file loaded, and the report of one that cannot be read.
#ifndef ZANTOR_FLEET_CLI_FILES_H
#define ZANTOR_FLEET_CLI_FILES_H

#include <string>

#include "doc/Lib_xml.h"
#include "fleet/cli/options.h"

// A file name as the operator typed it, as UTF-8 (a name that is not
// UTF-8 is taken for Windows-1252, the code page of the settings files).
std::string file_name_text(const std::string& file_name);

// Loads the settings file FILE into a document the output keeps; null when
// it cannot be read or its root is not SETUP (reported, status 2).
myXMLdocument* load_settings(const CommandSpec& command, const std::string& file, CommandOutput& output);

// Tells the operator on standard error that a file cannot be read, and why.
void report_unreadable(const CommandSpec& command, const std::string& file_name, const std::string& reason,
                       CommandOutput& output);

#endif
