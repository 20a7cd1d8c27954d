#include "app/HeapPolicy.h"

#include <malloc.h>

void KeepFreedHeapForFrames()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}
