// The Exec line of a .desktop file turned into argument vectors, never into shell text: arguments are
// separated by spaces, may be double-quoted (inside quotes \" \` \$ \\ stand for the character), and
// the field codes are filled in: %f/%u one file (one command per file), %F/%U every file (one
// command), %i "--icon <Icon>", %c the name, %k the .desktop file, %% a percent sign; the old codes
// %d %D %n %N %v %m are dropped. A file name is inserted as it is and never read for codes again.
#pragma once

#include "DesktopEntry.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ws {

using Argv = std::vector<std::string>;

// The arguments of an Exec value (string escapes already undone); absent when a quote is not closed.
std::optional<Argv> splitExec(std::string_view exec);

// The commands that open files with the entry: one per file for %f/%u, one for %F/%U or no files, and
// one without the files when the line takes none. Empty when the line is malformed or names no
// program.
std::vector<Argv> expandExec(const DesktopEntry& entry, const std::vector<std::filesystem::path>& files);
// The line has a code for files (%f %F %u %U).
bool takesFiles(const DesktopEntry& entry);

// One argument as an Exec line writes it (before the string escapes): quoted when it holds anything
// but plain characters, with '%' doubled.
std::string quoteExecArgument(std::string_view argument);

} // namespace ws
