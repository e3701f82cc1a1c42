// The editor control's full repaint into its off-screen image: a 60-line view over 100,000 lines
// (about 5 MB) and over 100 lines, plain and with SAMI colouring. The time must not depend on the
// size of the text.

#include "editor/model/QzSmiSyntax.h"
#include "editor/widget/QzPad.h"
#include "platform/core/Cp949.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

std::string MakeText(int lines)
{
    const std::string korean = Cp949("자막 한글 텍스트");
    std::string text;
    text.reserve(static_cast<size_t>(lines) * 52);
    for (int i = 0; i < lines; ++i) {
        std::string line = "<SYNC Start=" + std::to_string(i * 1000) + "><P Class=KRCC>" + korean;
        line.resize(50, 'x');
        text += line;
        text += '\n';
    }
    return text;
}

// A control showing 60 whole lines, scrolled to the middle of the text.
std::unique_ptr<TQzPad> MakePad(int lines, TQzSyntax* syntax)
{
    auto pad = std::make_unique<TQzPad>();
    pad->SetText(MakeText(lines));
    if (syntax) {
        pad->SetSyntax(syntax);
        pad->SetOptions(pad->Options().With(qzoHighlightSyntax));
    }
    pad->show();
    QApplication::processEvents();
    const TQzPadModel& m = pad->Model();
    const int frame = pad->height() - pad->viewport()->height();
    pad->resize(900, frame + 4 + 60 * m.LineHeight() + 2);
    pad->show();
    QApplication::processEvents();
    pad->Model().SetTopLine(lines / 2);
    return pad;
}

void BM_Repaint(benchmark::State& state)
{
    auto pad = MakePad(static_cast<int>(state.range(0)), nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(pad->RenderImage());
    state.counters["visible"] = pad->Model().VisibleLines();
}
BENCHMARK(BM_Repaint)->Arg(100)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_RepaintColoured(benchmark::State& state)
{
    TQzSmiSyntax smi;
    auto pad = MakePad(static_cast<int>(state.range(0)), &smi);
    for (auto _ : state) benchmark::DoNotOptimize(pad->RenderImage());
    pad->SetSyntax(nullptr);
}
BENCHMARK(BM_RepaintColoured)->Arg(100)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
