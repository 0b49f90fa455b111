// The process's resident memory, for peak figures that count every page the program touched,
// whether it came from the heap or straight from the system.
#pragma once

#include <cstddef>

namespace bench {

// Gives the heap's free pages back to the system and starts a new peak; returns the bytes
// resident now.
std::size_t StartResidentPeak();
// The most bytes resident since StartResidentPeak.
std::size_t ResidentPeak();

}  // namespace bench
