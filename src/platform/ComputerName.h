// This computer's name as the system gives it, UTF-8: how the user knows a computer among those
// that synchronise.
#pragma once

#include <string>

namespace platform {

std::string ComputerName();

}  // namespace platform
