#include "app/CommandLine.h"

namespace app {

namespace {

bool IsSeparator(unsigned char byte) { return byte <= 0x20; }

// Moves past separators and empty quoted pairs, so that "" is no argument at all.
size_t SkipSeparators(std::string_view line, size_t at) {
    for (;;) {
        while (at < line.size() && line[at] != '\0' && IsSeparator(line[at]))
            ++at;
        if (at + 1 < line.size() && line[at] == '"' && line[at + 1] == '"') {
            at += 2;
            continue;
        }
        return at;
    }
}

// Collects one argument starting at at; returns it and moves at past it.
std::string TakeArgument(std::string_view line, size_t& at) {
    std::string argument;
    while (at < line.size() && !IsSeparator(line[at])) {
        if (line[at] == '"') {
            ++at;
            while (at < line.size() && line[at] != '"' && line[at] != '\0')
                argument += line[at++];
            if (at < line.size() && line[at] == '"')
                ++at;
        } else {
            argument += line[at++];
        }
    }
    return argument;
}

}  // namespace

std::string CommandLineArgument(std::string_view commandLine, int index) {
    size_t at = 0;
    for (int i = 0;; ++i) {
        at = SkipSeparators(commandLine, at);
        if (at >= commandLine.size() || commandLine[at] == '\0')
            return {};
        std::string argument = TakeArgument(commandLine, at);
        if (i == index)
            return argument;
    }
}

Mode ModeFromArgument(std::string_view argument) {
    if (argument == "install")
        return Mode::Install;
    if (argument == "help")
        return Mode::Help;
    if (argument == "user")
        return Mode::User;
    return Mode::None;
}

}  // namespace app
