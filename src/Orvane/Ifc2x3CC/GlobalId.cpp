#include "GlobalId.h"

#include <QUuid>

namespace Orvane {
namespace Ifc2x3CC {

std::string createGlobalId()
{
    static const char alphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$";
    const QByteArray bytes = QUuid::createUuid().toRfc4122();
    // 128 bits as 2 + 21 × 6 bits, most significant first.
    std::string out(22, '0');
    unsigned __int128 value = 0;
    for (char b : bytes) {
        value = (value << 8) | static_cast<unsigned char>(b);
    }
    for (int i = 21; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = alphabet[static_cast<unsigned>(value & 63)];
        value >>= 6;
    }
    return out;
}

} // namespace Ifc2x3CC
} // namespace Orvane
