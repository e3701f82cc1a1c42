// Writes the benchmark's large SAMI file: make_large_smi <path> [captions (default 20000)].

#include <cstdio>
#include <cstdlib>

#include "bench/document/LargeSami.h"
#include "platform/core/FileUtils.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <path> [captions]\n", argv[0]);
        return 2;
    }
    int captions = argc > 2 ? std::atoi(argv[2]) : 20000;
    if (captions < 0) captions = 0;
    if (!WriteFileAtomic(argv[1], MakeLargeSami(captions))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
