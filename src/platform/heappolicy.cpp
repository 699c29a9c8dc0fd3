#include "platform/heappolicy.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void KeepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    // Either setting also stops the library from moving both limits by
    // itself as blocks come and go.
    mallopt(M_MMAP_THRESHOLD, int(HeapMappedBlockMin));
    mallopt(M_TRIM_THRESHOLD, int(HeapKeptFreeMax));
#endif
}
