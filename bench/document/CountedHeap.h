#pragma once
// Heap accounting for the benchmark programs: every operator new of a program that links
// CountedHeap.cpp is counted by its usable size.

#include <atomic>
#include <cstdint>

// Bytes live on the heap now, and the highest value since it was last set.
extern std::atomic<int64_t> g_heapCurrent;
extern std::atomic<int64_t> g_heapPeak;
