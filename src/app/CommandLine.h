// Splits the program's command line (GB2312 bytes) into arguments and picks the mode.
#pragma once

#include <string>
#include <string_view>

namespace app {

// Argument index of the command line: 0 is the program's name as typed, 1 the mode word, and so
// on. Blanks and control bytes separate arguments; double quotes group; an argument past the last
// one is an empty string.
std::string CommandLineArgument(std::string_view commandLine, int index);

enum class Mode { None, Install, Help, User };

// Exactly "install", "help" or "user", letter case significant; anything else is Mode::None.
Mode ModeFromArgument(std::string_view argument);

}  // namespace app
