// Resident memory from /proc/self/status; the peak is reset through /proc/self/clear_refs.
#include "MemoryCounter.h"

#include <malloc.h>

#include <fstream>
#include <string>

namespace bench {

namespace {

std::size_t StatusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string name;
    std::size_t kilobytes = 0;
    while (status >> name) {
        if (name == field + ":" && status >> kilobytes)
            return kilobytes * 1024;
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

}  // namespace

std::size_t StartResidentPeak() {
    ::malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    return StatusKilobytes("VmRSS");
}

std::size_t ResidentPeak() { return StatusKilobytes("VmHWM"); }

}  // namespace bench
