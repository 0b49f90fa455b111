// srf_tool's entry point: hands the arguments to RunTool and its UTF-8 output to the console.
// On Windows the arguments come from the wide command line and paths go to the core as GB2312.
#include <iostream>
#include <string>
#include <vector>

#include "tool/ToolCommands.h"

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include "phrases/TextEncoding.h"
#include "platform/TextConversion_win.h"

namespace {

std::string WideToUtf8(const std::wstring& wide) {
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::wstring Utf8ToWide(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

}  // namespace

int main() {
    int count = 0;
    LPWSTR* wideArgs = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int k = 1; wideArgs && k < count; ++k)
        args.push_back(WideToUtf8(wideArgs[k]));
    LocalFree(wideArgs);

    // The bytes go out as they are: no CR added before LF, and a console shows them as UTF-8.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const UINT consoleCodePage = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);

    tool::ToolPlatform platform;
    platform.pathFromArgument = [](const std::string& utf8) {
        return platform::ToGb2312(Utf8ToWide(utf8));
    };
    platform.messageToConsole = [](const std::string& gb2312) {
        return phrases::Gb2312ToUtf8(gb2312);
    };
    const int code = tool::RunTool(args, std::cout, std::cerr, platform);
    std::cerr.flush();
    if (consoleCodePage)
        SetConsoleOutputCP(consoleCodePage);
    return code;
}

#else

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return tool::RunTool(args, std::cout, std::cerr);
}

#endif
