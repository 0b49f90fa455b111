// Fuzzes the splitting of the command line into arguments.
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "app/CommandLine.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line = fuzz::Bytes(data, size);
    // Quotes only group and a NUL ends the line, so neither is ever part of an argument; the
    // arguments together are never longer than the line.
    std::size_t total = 0;
    int index = 0;
    for (; index < 256; ++index) {
        const std::string argument = app::CommandLineArgument(line, index);
        if (argument.empty())
            break;
        Check(argument.find('"') == std::string::npos);
        Check(argument.find('\0') == std::string::npos);
        total += argument.size();
        Check(total <= size);
        app::ModeFromArgument(argument);
    }
    if (index < 256) {
        Check(app::CommandLineArgument(line, index + 1).empty());
        Check(app::CommandLineArgument(line, 1 << 30).empty());
    }
    Check(app::CommandLineArgument(line, -1).empty());
    return 0;
}
