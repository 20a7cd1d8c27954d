// The heap policy of the programs that draw frames, seen from what the C
// library's heap does with blocks the size of a software driver's frame
// buffers. Each case runs in a child process of its own, so that it starts
// from the library's own settings.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/HeapPolicy.h"

namespace
{

// With the policy if asked, takes a block of 3 MB and gives it back, then
// takes 10 MB in blocks of 100 kB and gives them back; writes whether the
// large block came from the heap (rather than a mapping of its own) and
// whether the freed 10 MB stayed in the heap (rather than going back to the
// system), and exits.
[[noreturn]] void MeasureFrameSizedBlocksAndExit(bool withPolicy)
{
    if (withPolicy)
        KeepFreedHeapForFrames();
    const size_t large = 3 * 1024 * 1024;
    const size_t mappedBefore = mallinfo2().hblks;
    char* block = static_cast<char*>(std::malloc(large));
    std::memset(block, 1, large);
    const bool fromHeap = mallinfo2().hblks == mappedBefore;
    std::free(block);

    std::vector<char*> blocks;
    blocks.reserve(100);
    for (int i = 0; i < 100; i++)
    {
        blocks.push_back(static_cast<char*>(std::malloc(100 * 1024)));
        std::memset(blocks.back(), 1, 100 * 1024);
    }
    const size_t heapHeld = mallinfo2().arena;
    for (char* b : blocks)
    {
        std::free(b);
    }
    const bool kept = mallinfo2().arena == heapHeld;
    std::fprintf(stderr, "large block from the heap: %s, freed memory kept: %s\n", fromHeap ? "yes" : "no",
                 kept ? "yes" : "no");
    std::exit(0);
}

} // namespace

TEST(HeapPolicyDeathTest, FrameSizedBlocksComeFromTheHeapAndStayInItOnlyWithThePolicy)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer has a heap of its own";
#else
    EXPECT_EXIT(MeasureFrameSizedBlocksAndExit(false), ::testing::ExitedWithCode(0),
                "^large block from the heap: no, freed memory kept: no\n$")
        << "the C library's own settings";
    EXPECT_EXIT(MeasureFrameSizedBlocksAndExit(true), ::testing::ExitedWithCode(0),
                "^large block from the heap: yes, freed memory kept: yes\n$")
        << "with the policy";
#endif
}
