// Speed of the editor's search.
// Targets: the pathological pattern under 10 ms; a search over 100,000 lines under 100 ms; a
// backward whole-word search on a 40,000-byte line under 10 ms.

#include "editor/model/Odregexpunit.h"
#include "editor/model/QzPadModel.h"
#include "editor/model/QzPadScan.h"
#include "editor/model/QzPadSearch.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> MakeLines(int count) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        // Caption-like lines: markup, ASCII words and Hangul syllables; none holds the needle.
        std::string line = "<SYNC Start=" + std::to_string(i * 1000) + "><P Class=KRCC>";
        line += "Line " + std::to_string(i) + " of the text ";
        line += "\xB0\xA1\xB3\xAA\xB4\xD9 \xB6\xF3\xB8\xB6<br>words and more words";
        lines.push_back(std::move(line));
    }
    return lines;
}

// Ten ".*" followed by "x", searched for in `line`.
void FindPathological(benchmark::State& state, const std::string& line) {
    std::string pattern;
    for (int i = 0; i < 10; ++i)
        pattern += ".*";
    pattern += "x";
    odregexp::TCompiledPattern compiled;
    odregexp::MakePattern(pattern, 1, compiled);
    for (auto _ : state) {
        int len = 0;
        benchmark::DoNotOptimize(odregexp::Find(line, 1, compiled, len, false));
    }
}

// The pattern on a 5,000-byte line without an x.
void PathologicalPattern(benchmark::State& state) {
    FindPathological(state, std::string(5000, 'a'));
}
BENCHMARK(PathologicalPattern)->Unit(benchmark::kMillisecond);

// The same pattern where the one x stands first, so that no shortcut applies and the whole line
// goes through the bottom-up match of all eleven elements.
void PathologicalPatternFullMatch(benchmark::State& state) {
    FindPathological(state, "x" + std::string(4999, 'a'));
}
BENCHMARK(PathologicalPatternFullMatch)->Unit(benchmark::kMillisecond);

// Every line searched once, as a forward Find over the whole text does when nothing matches.
void SearchLines(benchmark::State& state, const std::string& pattern, TQzFindOptions options) {
    const std::vector<std::string> lines = MakeLines(100000);
    const TCharSet delims = DefaultDelimSet();
    odregexp::TCompiledPattern compiled;
    CompileSearchText(pattern, options, compiled);
    for (auto _ : state) {
        int found = 0;
        for (const std::string& line : lines) {
            int len = 0;
            found += ScanCompiled(line, compiled, 1, delims, len, options) != 0;
        }
        benchmark::DoNotOptimize(found);
    }
}

void LiteralOver100000Lines(benchmark::State& state) { SearchLines(state, "needle", {}); }
BENCHMARK(LiteralOver100000Lines)->Unit(benchmark::kMillisecond);

void PatternOver100000Lines(benchmark::State& state) {
    SearchLines(state, "w[a-z]*d.*z", {qzfoRegular});
}
BENCHMARK(PatternOver100000Lines)->Unit(benchmark::kMillisecond);

void WholeWordBackwardOver100000Lines(benchmark::State& state) {
    const std::vector<std::string> lines = MakeLines(100000);
    const TCharSet delims = DefaultDelimSet();
    const TQzFindOptions options{qzfoWholeWord, qzfoBackward};
    odregexp::TCompiledPattern compiled;
    CompileSearchText("word", options, compiled);
    for (auto _ : state) {
        int found = 0;
        for (const std::string& line : lines) {
            int len = 0;
            found += ScanCompiled(line, compiled, static_cast<int>(line.size()) + 1, delims, len, options) != 0;
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(WholeWordBackwardOver100000Lines)->Unit(benchmark::kMillisecond);

// A backward whole-word search on one 40,000-byte line of "a", as the find dialog runs it from
// the line's end: every match is rejected as a word, so the search has to look further back each
// time.
void WholeWordBackwardOnALongLine(benchmark::State& state, const std::string& pattern) {
    const std::string line(40000, 'a');
    const TCharSet delims = DefaultDelimSet();
    const TQzFindOptions options{qzfoWholeWord, qzfoBackward, qzfoRegular};
    odregexp::TCompiledPattern compiled;
    CompileSearchText(pattern, options, compiled);
    for (auto _ : state) {
        int len = 0;
        benchmark::DoNotOptimize(ScanCompiled(line, compiled, static_cast<int>(line.size()) + 1, delims, len, options));
    }
}

// Empty matches at every position.
void WholeWordBackwardEmptyMatchesOnALongLine(benchmark::State& state) { WholeWordBackwardOnALongLine(state, "x*"); }
BENCHMARK(WholeWordBackwardEmptyMatchesOnALongLine)->Unit(benchmark::kMillisecond);

// One match ending right before the search start; each rejection moves that end before it.
void WholeWordBackwardAnchoredOnALongLine(benchmark::State& state) { WholeWordBackwardOnALongLine(state, "a$"); }
BENCHMARK(WholeWordBackwardAnchoredOnALongLine)->Unit(benchmark::kMillisecond);

// Find on an editor holding 100,000 lines, from the top, with no match: every line is expanded
// and scanned.
void FindInEditor(benchmark::State& state, const std::string& text, TQzFindOptions options) {
    TQzPadModel pad;
    pad.SetLines(MakeLines(100000));
    TQzPadSearch search(pad);
    for (auto _ : state) {
        pad.SetCaretPosition(TPoint(0, 0));
        benchmark::DoNotOptimize(search.Find(text, options));
    }
}

void EditorFindLiteral(benchmark::State& state) { FindInEditor(state, "needle", {}); }
BENCHMARK(EditorFindLiteral)->Unit(benchmark::kMillisecond);

void EditorFindPattern(benchmark::State& state) { FindInEditor(state, "w[a-z]*d.*z", {qzfoRegular}); }
BENCHMARK(EditorFindPattern)->Unit(benchmark::kMillisecond);

// Replace all on one line of 1,000,000 bytes where every other byte matches.
void EditorReplaceAllOnALongLine(benchmark::State& state) {
    std::string line;
    for (int i = 0; i < 500000; ++i)
        line += "a ";
    for (auto _ : state) {
        state.PauseTiming();
        TQzPadModel pad;
        pad.SetLines(std::vector<std::string>{line});
        TQzPadSearch search(pad);
        state.ResumeTiming();
        benchmark::DoNotOptimize(search.ReplaceAll("a", "bc", {}));
    }
}
BENCHMARK(EditorReplaceAllOnALongLine)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
