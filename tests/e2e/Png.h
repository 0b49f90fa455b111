// Writes 32-bit BGRA pixels as an uncompressed PNG, enough for screenshots of the tests.
#pragma once

#include <filesystem>

namespace driver {

void WritePng(const std::filesystem::path& file, int width, int height, const unsigned char* bgra);

}  // namespace driver
