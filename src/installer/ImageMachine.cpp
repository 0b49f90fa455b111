#include "installer/ImageMachine.h"

namespace installer {

namespace {

constexpr std::size_t kNewHeaderOffset = 0x3C;  // e_lfanew in the MZ header
constexpr std::string_view kPeSignature{"PE\0\0", 4};

std::uint32_t Little(std::string_view bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t k = size; k-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + k]);
    return value;
}

}  // namespace

std::optional<std::uint16_t> ImageMachine(std::string_view bytes) {
    if (bytes.size() < kNewHeaderOffset + 4 || !bytes.starts_with("MZ"))
        return std::nullopt;
    // Compared as a count of bytes left, so that an offset near 4 GB cannot wrap a 32-bit sum.
    const std::uint32_t peHeader = Little(bytes, kNewHeaderOffset, 4);
    if (peHeader > bytes.size() || bytes.size() - peHeader < kPeSignature.size() + 2)
        return std::nullopt;
    if (bytes.substr(peHeader, kPeSignature.size()) != kPeSignature)
        return std::nullopt;
    return static_cast<std::uint16_t>(Little(bytes, peHeader + kPeSignature.size(), 2));
}

int MachineBits(std::uint16_t machine) {
    switch (machine) {
    case kMachineI386:
        return 32;
    case kMachineAmd64:
        return 64;
    default:
        return 0;
    }
}

}  // namespace installer
