#include "bench/document/CountedHeap.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

std::atomic<int64_t> g_heapCurrent{0};
std::atomic<int64_t> g_heapPeak{0};

namespace {

void* CountedAlloc(size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    int64_t now = g_heapCurrent += static_cast<int64_t>(malloc_usable_size(p));
    int64_t peak = g_heapPeak.load();
    while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void CountedFree(void* p) {
    if (!p) return;
    g_heapCurrent -= static_cast<int64_t>(malloc_usable_size(p));
    std::free(p);
}

}  // namespace

void* operator new(size_t n) { return CountedAlloc(n); }
void* operator new[](size_t n) { return CountedAlloc(n); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, size_t) noexcept { CountedFree(p); }
