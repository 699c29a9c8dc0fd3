#pragma once
// How the C library's heap treats the large blocks the program frees: a
// stored waveform's samples (2 MB a channel for a million points), a data
// table's texts, an export's buffer. By default the heap hands such memory
// back to the system when it is freed and takes fresh pages at the next
// request, so that most files opened after another paid for up to 1,500
// zeroed pages (over a millisecond of a 1,000,000-point file's opening, the
// read's largest part). Kept instead, the next file's samples go into memory
// already at hand.

#include <cstddef>

// Blocks up to this size come from the heap (larger ones are mapped apart
// and go back to the system when freed).
inline constexpr std::size_t HeapMappedBlockMin = 16 * 1024 * 1024;
// Freed memory at the heap's end is handed back to the system only beyond
// this much: what a program keeps for its next files, at most.
inline constexpr std::size_t HeapKeptFreeMax = 32 * 1024 * 1024;

// Sets the policy above for the process (a no-op where the C library has no
// such settings). Call it once, at the program's start.
void KeepFreedMemoryForReuse();
