// The texts of the error box and of the last-resort box.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

// Adds "." when the message's last character (a double-byte character counting as one) is
// greater than ".".
std::string WithFullStop(std::string_view message);

// "Exception <kind> in module <module> at <address>.\n<message>" with "." after an unfinished
// message, then the system's code of the failure, if any, as " (system error N)".
std::string LastResortText(std::string_view kind, std::string_view module, std::uintptr_t address,
                           std::string_view message, int systemCode = 0);

}  // namespace app
