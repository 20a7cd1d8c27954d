// Feeds arbitrary bytes to the saved-game reader. The first byte chooses how:
// odd, the rest is a whole file (the first line and everything after it);
// even, the rest is the body of a file whose first line is made to fit it
// (length and checksum), so that the mutations reach the records and their
// checks rather than stopping at the checksum. Whatever the reader accepts
// must encode again into a file that reads back into the same bytes. The
// sanitizers catch the rest; the reader must also never hang.

// XXH64 compiled in from the header: no library to carry at run time.
#define XXH_INLINE_ALL
#include <xxhash.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "save/SnapshotCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
    {
        return 0;
    }
    std::vector<uint8_t> file;
    if (data[0] & 1)
    {
        file.assign(data + 1, data + size);
    }
    else
    {
        char line[96];
        std::snprintf(line, sizeof line, "korvane-save 1 map1 %zu %016" PRIx64 "\n", size - 1,
                      uint64_t(XXH64(data + 1, size - 1, 0)));
        file.assign(line, line + std::strlen(line));
        file.insert(file.end(), data + 1, data + size);
    }
    Snapshot snapshot;
    std::string error;
    if (DecodeSnapshot(file, snapshot, error))
    {
        const std::vector<uint8_t> again = EncodeSnapshot(snapshot);
        Snapshot back;
        if (!DecodeSnapshot(again, back, error) || EncodeSnapshot(back) != again)
        {
            __builtin_trap();
        }
    }
    else if (error.empty())
    {
        __builtin_trap();
    }
    return 0;
}
