// Benchmarks of the caption document on a large code page 949 SAMI file (20,000 captions):
// Open, GetText, Apply and Save. Open also reports the peak of extra heap memory it needed.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "bench/document/CountedHeap.h"
#include "bench/document/LargeSami.h"
#include "document/QzCaption.h"
#include "platform/core/FileUtils.h"
#include "platform/core/StringList.h"

namespace {

constexpr int Captions = 20000;

// The generated file, written once into a temporary folder that is removed at exit. The path is
// never destroyed, so the exit handler can still read it.
const std::string& LargeFile() {
    static const std::string* path = [] {
        char tmpl[] = "/tmp/morvane-bench.XXXXXX";
        auto* p = new std::string(mkdtemp(tmpl) ? std::string(tmpl) + "/large.smi" : std::string());
        if (p->empty() || !WriteFileAtomic(*p, MakeLargeSami(Captions))) {
            std::fprintf(stderr, "cannot write the benchmark file\n");
            std::exit(1);
        }
        std::atexit([] {
            std::string dir = ExtractFileDir(LargeFile());
            DeleteFile(dir + "/large.smi");
            DeleteFile(dir + "/saved.smi");
            rmdir(dir.c_str());
        });
        return p;
    }();
    return *path;
}

void BM_Open(benchmark::State& state) {
    const std::string& file = LargeFile();
    const double size = static_cast<double>(FileSize64(file));
    int64_t peakExtra = 0;
    int entries = 0;
    for (auto _ : state) {
        TQzCaption doc;
        int64_t before = g_heapCurrent.load();
        g_heapPeak = before;
        bool ok = doc.Open(file);
        peakExtra = std::max<int64_t>(peakExtra, g_heapPeak.load() - before);
        entries = doc.List().Count();
        benchmark::DoNotOptimize(ok);
    }
    state.counters["entries"] = entries;
    state.counters["file_MB"] = size / (1 << 20);
    state.counters["peak_extra_MB"] = static_cast<double>(peakExtra) / (1 << 20);
    state.counters["peak_extra_x_file"] = static_cast<double>(peakExtra) / size;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

void BM_GetText(benchmark::State& state) {
    TQzCaption doc;
    doc.Open(LargeFile());
    for (auto _ : state) benchmark::DoNotOptimize(doc.GetText());
}
BENCHMARK(BM_GetText)->Unit(benchmark::kMillisecond);

void BM_Apply(benchmark::State& state) {
    TQzCaption doc;
    doc.Open(LargeFile());
    TStringList lines;
    lines.SetText(doc.GetText());
    for (auto _ : state) {
        doc.Apply(lines);
        benchmark::DoNotOptimize(doc.List().Count());
    }
}
BENCHMARK(BM_Apply)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state) {
    TQzCaption doc;
    doc.Open(LargeFile());
    const std::string out = ExtractFilePath(LargeFile()) + "saved.smi";
    for (auto _ : state) benchmark::DoNotOptimize(doc.Save(out));
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
