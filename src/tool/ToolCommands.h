// srf_tool's commands (compile, check, export, import, convert, dump) over the portable core, as
// one function that the program's main only wraps, so that tests call it directly.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tool {

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitLeftOut = 1;  // check: some phrase is left out of the compiled file
constexpr int kExitUsage = 2;    // unknown command, option or missing argument
constexpr int kExitError = 3;    // a file could not be read or written, or is malformed
// The data directory needs attention (srf_pub.dat in UTF-8 or UTF-16 or with bytes after a NUL,
// an incomplete srf_pub.zc): check and compile report it, commands that would write srf_pub.dat
// refuse. Wins over kExitLeftOut.
constexpr int kExitAttention = 4;

// What differs between the systems the tool runs on. Arguments arrive as UTF-8 (as given on
// Linux; converted from the wide command line on Windows); output leaves as UTF-8.
struct ToolPlatform {
    // A path argument in the form the file layer takes (GB2312 on Windows). Identity when unset.
    std::function<std::string(const std::string&)> pathFromArgument;
    // A message of the file layer, which quotes paths in that form, as UTF-8. Identity when unset.
    std::function<std::string(const std::string&)> messageToConsole;
};

// Runs the command in args (without the program's name); returns the exit code. Results go to
// out, errors to err, both as UTF-8.
int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            const ToolPlatform& platform = {});

}  // namespace tool
