// libFuzzer target over the IFC reader: any bytes may come in; the reader
// must not crash, hang, leak or hit undefined behaviour, and what it opens
// must save and open again (see ReaderCheck.h).
#include "ReaderCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string failure = ReaderCheck::run(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!failure.empty()) {
        std::fprintf(stderr, "ReaderFuzzer: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
