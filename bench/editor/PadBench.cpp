// The editor model on a large text: loading 100,000 lines (about 5 MB), one keystroke in the
// middle, pasting 100,000 lines and undoing the paste, and building a 60-line paint.

#include "editor/model/QzPadModel.h"
#include "editor/model/QzSmiSyntax.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kLines = 100000;

std::string BigText()
{
    std::string text;
    text.reserve(static_cast<size_t>(kLines) * 52);
    for (int i = 0; i < kLines; ++i) {
        std::string line = "<SYNC Start=" + std::to_string(i * 1000) + "><P Class=KRCC>caption text ";
        line.resize(50, 'x');
        text += line;
        text += "\r\n";
    }
    return text;
}

const std::string& Text()
{
    static const std::string text = BigText();
    return text;
}

void Prepare(TQzPadModel& pad, int visibleLines)
{
    pad.SetFontMetrics(8, 13);
    pad.SetClientSize(34 + 100 * 8, 4 + visibleLines * 17);
    pad.Lines().SetStr(Text());
}

void BM_Load(benchmark::State& state)
{
    TQzPadModel pad;
    pad.SetFontMetrics(8, 13);
    for (auto _ : state) {
        pad.Lines().SetStr(Text());
        benchmark::DoNotOptimize(pad.Lines().Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Text().size()));
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_KeystrokeInTheMiddle(benchmark::State& state)
{
    TQzPadModel pad;
    Prepare(pad, 60);
    pad.SetCaretPosition(TPoint(20, kLines / 2));
    for (auto _ : state) {
        char key = 'a';
        pad.KeyPress(key, TShiftState());
        state.PauseTiming();
        if (pad.CaretX() > 200) {
            pad.Lines().Put(kLines / 2, std::string(50, 'x'));
            pad.SetCaretX(20);
            pad.ClearUndoItem();
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_KeystrokeInTheMiddle)->Unit(benchmark::kMicrosecond);

void BM_Paste100kLines(benchmark::State& state)
{
    TQzPadModel pad;
    Prepare(pad, 60);
    for (auto _ : state) {
        pad.SetCaretPosition(TPoint(10, kLines / 2));
        pad.SetSelText(Text());
        state.PauseTiming();
        pad.Undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Paste100kLines)->Unit(benchmark::kMillisecond);

void BM_UndoPaste100kLines(benchmark::State& state)
{
    TQzPadModel pad;
    Prepare(pad, 60);
    for (auto _ : state) {
        state.PauseTiming();
        pad.SetCaretPosition(TPoint(10, kLines / 2));
        pad.SetSelText(Text());
        state.ResumeTiming();
        pad.Undo();
    }
}
BENCHMARK(BM_UndoPaste100kLines)->Unit(benchmark::kMillisecond);

void BM_Paint60Lines(benchmark::State& state)
{
    TQzPadModel pad;
    Prepare(pad, 60);
    TQzSmiSyntax syntax;
    if (state.range(0)) {
        pad.SetSyntax(&syntax);
        pad.SetOptions(pad.Options().With(qzoHighlightSyntax));
    }
    pad.GoToLine(kLines / 2);
    for (auto _ : state) {
        TQzPadPaint paint = pad.BuildPaint();
        benchmark::DoNotOptimize(paint.Lines.size());
    }
}
BENCHMARK(BM_Paint60Lines)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
