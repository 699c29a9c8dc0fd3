#include "platform/heappolicy.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void keepLargeBlocksForReuse()
{
#if defined(__GLIBC__)
    // Both are set: setting one turns off the library's own adjustment of
    // the other.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}
