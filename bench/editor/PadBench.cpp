// The editor model on a large text: loading 100,000 lines (about 5 MB), one keystroke in the
// middle, pasting 100,000 lines and undoing the paste, and building a 60-line paint.
//
// Column blocks under word wrap (wrap at ColumnCount, column mode) over texts of 1,000 to 40,000
// lines: a column paste, a column drag-and-drop move and a column removal, and the undo of each.
// At width 20 every line is one row of 12 bytes and stays one. At width 3 every line is "abcd",
// a row and its continuation, and the lines a block touches are wrapped again: they gain rows
// where text goes in and lose them where it goes out. The paste puts three bytes at column 1 of
// each of the first `lines` rows, the drop moves column 0 of the lower half of the rows to column
// 1 of the upper half, the removal takes columns 0 and 1 out of every row. Each of these runs
// prints its growth over the run at the size before: "lines" the growth of the text, "growth"
// that of the time; work in proportion to the rows grows as the lines do. The same three edits
// run down the rows of one long line wrapped at width 3 (below). Block indent, unindent and
// replace-all of a stream selection over 10,000 and 40,000 wrapped lines, and the undo of each,
// change the rows of every line (below).

#include "editor/model/QzPadModel.h"
#include "editor/model/QzPadSearch.h"
#include "editor/model/QzSmiSyntax.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

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


// ---- column blocks under word wrap ----

void PrepareColumns(TQzPadModel& pad, int lines, int width)
{
    pad.SetFontMetrics(8, 13);
    pad.SetClientSize(34 + 100 * 8, 4 + 60 * 17);
    pad.SetLines(std::vector<std::string>(static_cast<size_t>(lines), width >= 12 ? "abcdefghijkl" : "abcd"));
    pad.SetColumnCount(width);
    pad.SetWordWrap(qzwwUser);
    pad.SetBlockMode(qzbmColumn);
}

// A column block of `rows` rows of three bytes each.
std::string ColumnBlock(int rows)
{
    std::string block;
    block.reserve(static_cast<size_t>(rows) * 5);
    for (int i = 0; i < rows; ++i) block += "XYZ\r\n";
    return block;
}

void SelectColumns(TQzPadModel& pad, TPoint from, TPoint to)
{
    pad.SetCaretPosition(from);
    pad.SetSelStart(from);
    pad.SetSelEnd(to);
}

void ColumnPaste(TQzPadModel& pad, const std::string& block)
{
    pad.SelectNone();
    pad.SetCaretPosition(TPoint(1, 0));
    pad.SetSelText(block);
}

void ColumnDrop(TQzPadModel& pad)
{
    const int rows = pad.Lines().Count();
    SelectColumns(pad, TPoint(0, rows / 2), TPoint(1, rows - 1));
    pad.SetTopLine(0);
    const TRect& r = pad.EditRect();
    pad.DragDrop(true, r.Left + pad.CharWidth() + 1, r.Top + 2, TShiftState());
}

void ColumnRemoval(TQzPadModel& pad)
{
    SelectColumns(pad, TPoint(0, 0), TPoint(2, pad.Lines().Count() - 1));
    pad.SetSelText(std::string());
}

// Times `edit`, or with `timeUndo` the undo of it, on the text `prepare` makes.
void TimeEdit(benchmark::State& state, const std::function<void(TQzPadModel&)>& prepare,
              const std::function<void(TQzPadModel&)>& edit, bool timeUndo)
{
    TQzPadModel pad;
    prepare(pad);
    for (auto _ : state) {
        if (timeUndo) state.PauseTiming();
        edit(pad);
        if (timeUndo) state.ResumeTiming();
        else state.PauseTiming();
        pad.Undo();
        if (!timeUndo) state.ResumeTiming();
    }
}

// Times `edit`, or with `timeUndo` the undo of it, on a text of range(0) lines wrapped at
// range(1) columns.
void TimeColumnEdit(benchmark::State& state, const std::function<void(TQzPadModel&)>& edit, bool timeUndo)
{
    const int lines = static_cast<int>(state.range(0));
    const int width = static_cast<int>(state.range(1));
    TimeEdit(state, [&](TQzPadModel& pad) { PrepareColumns(pad, lines, width); }, edit, timeUndo);
}

void BM_ColumnPaste(benchmark::State& state)
{
    const std::string block = ColumnBlock(static_cast<int>(state.range(0)));
    TimeColumnEdit(state, [&](TQzPadModel& pad) { ColumnPaste(pad, block); }, false);
}

void BM_UndoColumnPaste(benchmark::State& state)
{
    const std::string block = ColumnBlock(static_cast<int>(state.range(0)));
    TimeColumnEdit(state, [&](TQzPadModel& pad) { ColumnPaste(pad, block); }, true);
}

void BM_ColumnDrop(benchmark::State& state) { TimeColumnEdit(state, ColumnDrop, false); }
void BM_UndoColumnDrop(benchmark::State& state) { TimeColumnEdit(state, ColumnDrop, true); }
void BM_ColumnRemoval(benchmark::State& state) { TimeColumnEdit(state, ColumnRemoval, false); }
void BM_UndoColumnRemoval(benchmark::State& state) { TimeColumnEdit(state, ColumnRemoval, true); }

void ColumnSizes(benchmark::internal::Benchmark* b)
{
    for (int width : {20, 3})
        for (int lines : {1000, 4000, 10000, 40000}) b->Args({lines, width});
    b->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_ColumnPaste)->Apply(ColumnSizes);
BENCHMARK(BM_UndoColumnPaste)->Apply(ColumnSizes);
BENCHMARK(BM_ColumnDrop)->Apply(ColumnSizes);
BENCHMARK(BM_UndoColumnDrop)->Apply(ColumnSizes);
BENCHMARK(BM_ColumnRemoval)->Apply(ColumnSizes);
BENCHMARK(BM_UndoColumnRemoval)->Apply(ColumnSizes);

// ---- stream edits that change the rows of every line under word wrap ----

// range(0) lines of "abcdefghij" wrapped at ColumnCount range(1) = 10, all selected: the indent
// makes every line two rows, and so does the replacement of "j" by "jj"; the unindent takes
// every line of "  abcdefghij" back to one row. Each run prints its growth over the run at the
// size before, as above.
void PrepareWrapped(TQzPadModel& pad, int lines, int width, const std::string& line)
{
    pad.SetFontMetrics(8, 13);
    pad.SetClientSize(34 + 100 * 8, 4 + 60 * 17);
    pad.SetLines(std::vector<std::string>(static_cast<size_t>(lines), line));
    pad.SetColumnCount(width);
    pad.SetWordWrap(qzwwUser);
}

void TimeWrappedEdit(benchmark::State& state, const std::string& line, const std::function<void(TQzPadModel&)>& edit,
                     bool timeUndo)
{
    const int lines = static_cast<int>(state.range(0));
    const int width = static_cast<int>(state.range(1));
    TimeEdit(state, [&](TQzPadModel& pad) { PrepareWrapped(pad, lines, width, line); }, edit, timeUndo);
}

void Indent(TQzPadModel& pad)
{
    pad.SelectAll();
    pad.BlockIndent();
}

void Unindent(TQzPadModel& pad)
{
    pad.SelectAll();
    pad.BlockUnindent();
}

void ReplaceJ(TQzPadModel& pad)
{
    TQzPadSearch search(pad);
    pad.SelectAll();
    search.ReplaceAll("j", "jj", TQzFindOptions());
}

void BM_WrappedIndent(benchmark::State& state) { TimeWrappedEdit(state, "abcdefghij", Indent, false); }
void BM_UndoWrappedIndent(benchmark::State& state) { TimeWrappedEdit(state, "abcdefghij", Indent, true); }
void BM_WrappedUnindent(benchmark::State& state) { TimeWrappedEdit(state, "  abcdefghij", Unindent, false); }
void BM_UndoWrappedUnindent(benchmark::State& state) { TimeWrappedEdit(state, "  abcdefghij", Unindent, true); }
void BM_WrappedReplaceAll(benchmark::State& state) { TimeWrappedEdit(state, "abcdefghij", ReplaceJ, false); }
void BM_UndoWrappedReplaceAll(benchmark::State& state) { TimeWrappedEdit(state, "abcdefghij", ReplaceJ, true); }

void WrappedSizes(benchmark::internal::Benchmark* b)
{
    for (int lines : {10000, 40000}) b->Args({lines, 10});
    b->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_WrappedIndent)->Apply(WrappedSizes);
BENCHMARK(BM_UndoWrappedIndent)->Apply(WrappedSizes);
BENCHMARK(BM_WrappedUnindent)->Apply(WrappedSizes);
BENCHMARK(BM_UndoWrappedUnindent)->Apply(WrappedSizes);
BENCHMARK(BM_WrappedReplaceAll)->Apply(WrappedSizes);
BENCHMARK(BM_UndoWrappedReplaceAll)->Apply(WrappedSizes);

// ---- column blocks down one long wrapped line ----

// One line of range(0) rows at width 3: every row of the block is a continuation row of that
// line, which is built and wrapped once for the whole block. The paste puts "XY" at column 1 of
// each of the first range(0) / 2 rows, each piece reaching its row's end; the drop and the
// removal are those above.
void PrepareLongLine(TQzPadModel& pad, int rows)
{
    pad.SetFontMetrics(8, 13);
    pad.SetClientSize(34 + 100 * 8, 4 + 60 * 17);
    std::string line;
    line.reserve(static_cast<size_t>(rows) * 3);
    for (int i = 0; i < rows; ++i) line += "abc";
    pad.SetLines(std::vector<std::string>{line});
    pad.SetColumnCount(3);
    pad.SetWordWrap(qzwwUser);
    pad.SetBlockMode(qzbmColumn);
}

void TimeLongLineEdit(benchmark::State& state, const std::function<void(TQzPadModel&)>& edit)
{
    TQzPadModel pad;
    PrepareLongLine(pad, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        edit(pad);
        state.PauseTiming();
        pad.Undo();
        state.ResumeTiming();
    }
}

void BM_LongLineColumnPaste(benchmark::State& state)
{
    std::string block;
    for (int64_t i = 0; i < state.range(0) / 2; ++i) block += "XY\r\n";
    TimeLongLineEdit(state, [&](TQzPadModel& pad) { ColumnPaste(pad, block); });
}

void BM_LongLineColumnDrop(benchmark::State& state) { TimeLongLineEdit(state, ColumnDrop); }
void BM_LongLineColumnRemoval(benchmark::State& state) { TimeLongLineEdit(state, ColumnRemoval); }

void LongLineSizes(benchmark::internal::Benchmark* b)
{
    for (int rows : {1000, 4000, 16000}) b->Args({rows, 3});
    b->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_LongLineColumnPaste)->Apply(LongLineSizes);
BENCHMARK(BM_LongLineColumnDrop)->Apply(LongLineSizes);
BENCHMARK(BM_LongLineColumnRemoval)->Apply(LongLineSizes);

// The console report with two more columns on the runs that set a size: "lines", the growth of
// the size over the run before in the same benchmark and width, and "growth", that of the time.
class GrowthReporter : public benchmark::ConsoleReporter {
public:
    // Counters as name=value after the times, so that a run without them keeps the table's form.
    GrowthReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Color : OO_None) {}

    void ReportRuns(const std::vector<Run>& reports) override
    {
        std::vector<Run> out = reports;
        for (Run& r : out) {
            // With repetitions the growth goes between the medians.
            const bool single = r.run_type == Run::RT_Iteration && r.repetitions <= 1;
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            if (!(single || median)) continue;
            // The first argument is the size; the others (the width) name the series.
            const std::string& args = r.run_name.args;
            const size_t slash = args.find('/');
            const double size = std::atof(args.substr(0, slash).c_str());
            if (size <= 0) continue;
            std::string family = r.run_name.function_name;
            if (slash != std::string::npos) family += args.substr(slash);
            const double time = r.GetAdjustedRealTime();
            auto it = last_.find(family);
            if (it != last_.end() && it->second.first > 0 && it->second.second > 0) {
                r.counters["lines"] = benchmark::Counter(size / it->second.first);
                r.counters["growth"] = benchmark::Counter(time / it->second.second);
            }
            last_[family] = {size, time};
        }
        ConsoleReporter::ReportRuns(out);
    }

private:
    std::map<std::string, std::pair<double, double>> last_;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    GrowthReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
