// Colouring a visible page: 60 lines of a SAMI caption file, parsed top-down with the line state
// handed from one line to the next, as the editor does for every repaint.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "editor/model/QzSmiSyntax.h"
#include "platform/core/Cp949.h"

namespace {

std::vector<std::string> SamiPage(int lines) {
    const std::string text = Cp949("그는 천천히 고개를 들었다. <b>정말</b>이야?&nbsp;");
    std::vector<std::string> page;
    page.push_back("<STYLE TYPE=\"text/css\">");
    page.push_back("<!--");
    page.push_back("P { margin-left:8pt; margin-right:8pt; font-size:20pt; }");
    page.push_back(".KRCC { Name:Korean; lang:ko-KR; SAMIType:CC; }");
    page.push_back("-->");
    page.push_back("</STYLE>");
    for (int i = 0; static_cast<int>(page.size()) < lines; ++i) {
        page.push_back("<SYNC Start=" + std::to_string(1000 + i * 2500) + "><P Class=KRCC>");
        if (static_cast<int>(page.size()) < lines)
            page.push_back(text + "<br>" + text);
    }
    return page;
}

void ConfigureAsMainWindow(TQzSmiSyntax& s) {
    s.LineComment1 = "//";
    s.BlockCommentStart1 = "<!--";
    s.BlockCommentEnd1 = "-->";
    s.BlockCommentStart2 = s.BlockCommentEnd2 = "'";
    s.BlockCommentStart3 = s.BlockCommentEnd3 = "\"";
    s.SetDelimiter("<>= /\t '\"&");
    TStringList entities;
    for (const char* e : {"&amp;", "&gt;", "&lt;", "&nbsp;", "&quot;"})
        entities.Add(e);
    s.SetKeyword(6, entities);
}

void BM_ColourSamiPage(benchmark::State& st) {
    const std::vector<std::string> page = SamiPage(60);
    TQzSmiSyntax syntax;
    ConfigureAsMainWindow(syntax);
    size_t items = 0;
    for (auto _ : st) {
        int state = 0;
        for (const std::string& line : page) {
            syntax.Parse(line, state);
            items += syntax.ParsedItems().size();
        }
        benchmark::DoNotOptimize(items);
    }
    st.SetItemsProcessed(static_cast<int64_t>(st.iterations()) * 60);
}
BENCHMARK(BM_ColourSamiPage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
