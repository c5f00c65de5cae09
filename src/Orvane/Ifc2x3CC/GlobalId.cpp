#include "GlobalId.h"

#include <random>

namespace Orvane {
namespace Ifc2x3CC {

std::string createGlobalId()
{
    static const char alphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$";
    // A random (version 4) UUID. The generator is seeded once per thread
    // from the system's entropy: asking the system for every identifier
    // costs more than writing the set it names.
    thread_local std::mt19937_64 generator = [] {
        std::random_device entropy;
        std::seed_seq seed{entropy(), entropy(), entropy(), entropy(), entropy(), entropy(), entropy(), entropy()};
        return std::mt19937_64(seed);
    }();
    using Bits = unsigned __int128;
    Bits value = Bits(generator()) << 64 | generator();
    value = (value & ~(Bits(0xF) << 76)) | Bits(0x4) << 76; // version 4
    value = (value & ~(Bits(0x3) << 62)) | Bits(0x2) << 62; // RFC 4122 variant
    // 128 bits as 2 + 21 × 6 bits, most significant first.
    std::string out(22, '0');
    for (int i = 21; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = alphabet[static_cast<unsigned>(value & 63)];
        value >>= 6;
    }
    return out;
}

} // namespace Ifc2x3CC
} // namespace Orvane
