// The computer's name on POSIX systems: its host name.
#include "platform/ComputerName.h"

#include <unistd.h>

namespace platform {

std::string ComputerName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return "?";
    return name;
}

}  // namespace platform
