// Any bytes: parsing must not crash, and whatever it accepts must come back
// unchanged through a write and a second parse.
#include "files/ConfigFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const ConfigReadResult first = ParseConfig(bytes);
    if (!first.ok) {
        if (first.error.isEmpty() || first.line < 0)
            std::abort();
        return 0;
    }
    const QByteArray written = WriteConfig(first.data);
    const ConfigReadResult second = ParseConfig(written);
    if (!second.ok || second.data != first.data) {
        std::fprintf(stderr, "round trip failed: %s\n", qPrintable(second.error));
        std::abort();
    }
    // Written output is canonical: writing it again gives the same bytes.
    if (WriteConfig(second.data) != written)
        std::abort();
    return 0;
}
