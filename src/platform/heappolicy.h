#pragma once
// How the program's heap treats large blocks. A long capture is held in a
// few arrays of megabytes, made anew at each opening or transfer while the
// previous ones still stand. Left to itself the C library hands such blocks
// back to the system when they are freed (or trims the heap's top), so that
// every other opening touches its arrays as fresh pages, one fault per page:
// 1,400 faults for a file of a million points. The policy keeps blocks of
// up to 32 MB in the heap and up to 64 MB of freed memory at its top, so the
// next opening reuses it.
void keepLargeBlocksForReuse();
