// Feeds arbitrary bytes to the network message decoder. Whatever it accepts
// must encode back to the very same bytes (the format has one spelling for
// every message) and decode again. The sanitizers catch a read past the end;
// libFuzzer's memory limit catches an allocation the bytes do not justify.

#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "net/Message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Message message;
    std::string error;
    if (!DecodeMessage(data, size, message, error))
    {
        if (error.empty())
            std::abort();
        return 0;
    }
    const std::vector<uint8_t> bytes = EncodeMessage(message);
    if (bytes.size() != size || !std::equal(bytes.begin(), bytes.end(), data))
        std::abort();
    Message again;
    if (!DecodeMessage(bytes.data(), bytes.size(), again, error))
        std::abort();
    return 0;
}
