// The main window's commands on large caption files, without a display: the controller runs over
// a view that only stores what it is told, as the window would be driven by a user. Every command
// is timed at 20,000, 100,000 and 300,000 captions and the growth from size to size is printed;
// a command is linear when the growth from 100,000 to 300,000 stays near 3. Besides the generated
// file, Open reads one with a different "<P ...>" tag per caption, one crafted against the block
// removal (unclosed tags holding another tag), the generated file with its times in descending
// order, a plain text of four one-letter lines per caption (1,200,000 lines at 300,000: line
// 1,000,000 stands at a ten-digit time) and an ".s2k" file of as many text lines as captions
// under one start line.
//
// Usage: bench_main_controller [--sizes 20000,100000,300000] [--runs N] [--memory-only]
//        [--only NAME] (only the commands whose name begins with NAME, or is NAME without a
//        final '$', for profiling)
// Times are the median of N runs (default 5) in milliseconds of wall time. A command whose first
// run at a size took longer than 20 s is run once there and skipped at the larger sizes.
// The peak memory is measured in a child process per case (peak resident set, and the peak of
// live heap bytes through operator new), so the timing runs do not disturb it.

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "app/model/FindLogic.h"
#include "app/model/MainController.h"
#include "bench/document/CountedHeap.h"
#include "bench/document/LargeSami.h"
#include "platform/core/FileUtils.h"
#include "platform/core/SysUtils.h"

namespace {

// The window as the controller sees it: questions are answered OK (and "no" to saving first),
// dialogs choose the queued file, the list and the memo only keep what they are given.
class TBenchView : public IMainView {
public:
    std::string OpenChoice, SaveChoice, Entry, Sync = "0", Shift = "100", Memo;
    int InsertMode = 0, ShiftOptionValue = 0, Selection = -1;
    bool MemoDirty = false;

    int Ask(const std::string&, TMsgButtons buttons) override { return buttons == mbYesNoCancel ? mrNo : mrOk; }
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
    bool OpenFileDialog(int, const std::string&, const std::string&, std::string& chosen) override {
        chosen = OpenChoice;
        return !chosen.empty();
    }
    bool SaveFileDialog(const std::string&, const std::string&, std::string& chosen) override {
        chosen = SaveChoice;
        return !chosen.empty();
    }
    int AskInsertMode() override { return InsertMode; }
    std::string EntryText() override { return Entry; }
    void SetEntryText(const std::string& text) override { Entry = text; }
    std::string SyncField() override { return Sync; }
    void SetSyncField(const std::string& text) override { Sync = text; }
    std::string ShiftField() override { return Shift; }
    int ShiftOption() override { return ShiftOptionValue; }
    std::string MemoText() override { return Memo; }
    void ShowMemoLine(int) override {}
    void SetMemoText(const std::string& text) override {
        Memo = text;
        MemoDirty = false;
    }
    bool MemoModified() override { return MemoDirty; }
    void SetMemoModified(bool m) override { MemoDirty = m; }
    void ShowAdvancedMode(bool) override {}
    void RowsChanged() override {}
    void SelectionChanged(int row) override { Selection = row; }
    void ScrollRowIntoView(int) override {}
    void SetListEnabled(bool) override {}
    void SetTitle(const std::string&) override {}
    void SetProgress(int, int) override {}
    void SetLoadTime(const std::string&) override {}
    void ProcessMessages() override {}
    void SetCaptionTimer(bool) override {}
};

class TBenchMovie : public IMoviePort {
public:
    double Position = 0;
    std::string Label;
    std::string PlayerFileName() override { return "movie.avi"; }
    void PlayerOpen(const std::string&) override {}
    void PlayerStop() override {}
    void PlayerPause() override {}
    void PlayerClose() override {}
    double PlayerPosition() override { return Position; }
    void SetPlayerPosition(double s) override { Position = s; }
    void SetWindowCaption(const std::string&) override {}
    std::string CaptionLabelText() override { return Label; }
    void SetCaptionLabelText(const std::string& t) override { Label = t; }
    void SetPositionText(const std::string&) override {}
};

// The large file with each caption's "<P Class=KRCC>" replaced by tag(n), n = 0, 1, ...
std::string ReplaceParagraphTags(int captions, const std::function<std::string(int)>& tag) {
    const std::string plain = MakeLargeSami(captions);
    const std::string from = "<P Class=KRCC>";
    std::string out;
    out.reserve(plain.size() + static_cast<size_t>(captions) * 28);
    size_t read = 0;
    int n = 0;
    for (size_t p; (p = plain.find(from, read)) != std::string::npos; read = p + from.size()) {
        out.append(plain, read, p - read);
        out += tag(n++);
    }
    out.append(plain, read, std::string::npos);
    return out;
}

// The large file with every paragraph tag made distinct ("<P Class=KRCC id=c17>").
std::string MakeDistinctTagSami(int captions) {
    return ReplaceParagraphTags(captions, [](int n) { return "<P Class=KRCC id=c" + std::to_string(n) + ">"; });
}

// The large file crafted against the block removal: the first caption's "<P Class=KRCC>" stays,
// every later one is "<P Class=KRCC id=c17 <P Class=KRCC>", a different unclosed tag with the
// first one inside it. The first block then cuts the inner tag out of every caption, and what is
// left of each unclosed tag runs on into the caption's text: one more block per caption.
std::string MakeUnclosedTagSami(int captions) {
    return ReplaceParagraphTags(captions, [](int n) {
        return (n > 0 ? "<P Class=KRCC id=c" + std::to_string(n) + " " : std::string()) + "<P Class=KRCC>";
    });
}

// The large file with the same captions at the same times in reverse: the times descend.
std::string MakeDescendingSami(int captions) {
    const std::string plain = MakeLargeSami(captions);
    const std::string tag = "<SYNC Start=";
    std::vector<std::string> times;
    times.reserve(static_cast<size_t>(captions));
    for (size_t p = plain.find(tag); p != std::string::npos; p = plain.find(tag, p + 1)) {
        const size_t at = p + tag.size();
        times.push_back(plain.substr(at, plain.find('>', at) - at));
    }
    std::string out;
    out.reserve(plain.size());
    size_t read = 0;
    for (size_t p = plain.find(tag), k = times.size(); p != std::string::npos; p = plain.find(tag, p + 1)) {
        const size_t at = p + tag.size();
        out.append(plain, read, at - read);
        out += times[--k];
        read = plain.find('>', at);
    }
    out.append(plain, read, std::string::npos);
    return out;
}

// A plain text of one-letter lines (no "<SAMI>": every line a caption, 1000 ms apart).
std::string MakePlainText(int lines) {
    std::string out;
    out.reserve(static_cast<size_t>(lines) * 2);
    for (int i = 0; i < lines; ++i) {
        out += static_cast<char>('a' + i % 26);
        out += '\n';
    }
    return out;
}

// An ".s2k" file whose text lines all stand under one start line: one caption of `lines` lines.
std::string MakeOneStartS2k(int lines) {
    std::string out = "// bench\r\n;Set.Time.Start=1000\r\n";
    out.reserve(static_cast<size_t>(lines) * 12 + out.size());
    for (int i = 0; i < lines; ++i) out += "line " + std::to_string(i % 100000) + "\r\n";
    return out;
}

struct TFixture {
    std::string Dir;
    int Captions = 0;
    std::string Large, Ten, Thousand, Saved;
    // Written when a command first needs them.
    std::string Distinct, Unclosed, Descending, Plain, S2k;
};

std::string WriteOrDie(const std::string& path, const std::string& bytes) {
    if (!WriteFileAtomic(path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    return path;
}

// The file at `path` once written by `make` (a path kept in `slot` the first time).
const std::string& Lazy(std::string& slot, const std::string& path, const std::function<std::string()>& make) {
    if (slot.empty()) slot = WriteOrDie(path, make());
    return slot;
}

TFixture MakeFixture(const std::string& dir, int captions) {
    TFixture f;
    f.Dir = dir;
    f.Captions = captions;
    f.Large = WriteOrDie(dir + "/large" + std::to_string(captions) + ".smi", MakeLargeSami(captions));
    f.Ten = WriteOrDie(dir + "/ten.smi", MakeLargeSami(10));
    f.Thousand = WriteOrDie(dir + "/thousand.smi", MakeLargeSami(1000));
    f.Saved = dir + "/saved.smi";
    return f;
}

// A controller with the large file open, as after File > Open.
struct TSession {
    TBenchView view;
    TBenchMovie movie;
    TMainController main{view};
    explicit TSession(const std::string& file) {
        main.SetMovie(&movie);
        if (!file.empty()) main.OpenCaptionFile(file);
    }
};

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Runs one timed command. Kept out of line so that an instruction counter can be limited to the
// commands: valgrind --tool=callgrind --toggle-collect='*RunTimedCommand*'.
__attribute__((noinline)) void RunTimedCommand(const std::function<void()>& op) { op(); }

// Median of `runs` timings of `op`, each after an untimed `setup`.
double Time(int runs, const std::function<void()>& setup, const std::function<void()>& op) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        if (setup) setup();
        auto a = std::chrono::steady_clock::now();
        RunTimedCommand(op);
        t.push_back(Ms(std::chrono::steady_clock::now() - a));
        if (t.back() > 20000) break;
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

int MiddleRow(const TMainController& main) { return main.Rows().Count() / 2; }

using TResults = std::map<std::string, double>;
const std::vector<std::string> kOrder = {"open",
                                         "open, distinct <P> tags",
                                         "open, unclosed <P> tags",
                                         "open, descending times",
                                         "open, plain text (4 lines)",
                                         "open, .s2k one start line",
                                         "reload",
                                         "leave advanced mode",
                                         "enter advanced mode",
                                         "shift",
                                         "sort",
                                         "strip",
                                         "find (no match)",
                                         "save",
                                         "add",
                                         "edit",
                                         "delete",
                                         "select",
                                         "timer tick",
                                         "insert after (10 captions)",
                                         "insert in front (1,000)",
                                         "insert in front (20,000)"};

// Only the commands whose name begins with this text are run (all when empty).
std::string g_only;

void RunSize(TFixture& f, int runs, const TResults& previous, TResults& out) {
    auto skip = [&](const std::string& name) {
        if (!g_only.empty() && g_only.back() == '$' ? name != g_only.substr(0, g_only.size() - 1)
                                                     : name.compare(0, g_only.size(), g_only) != 0)
            return true;
        auto it = previous.find(name);
        return it != previous.end() && it->second > 20000;
    };
    auto record = [&](const std::string& name, int n, const std::function<void()>& setup,
                      const std::function<void()>& op) {
        if (skip(name)) return;
        out[name] = Time(n, setup, op);
    };

    {
        std::unique_ptr<TSession> s;
        record("open", runs, [&] { s = std::make_unique<TSession>(""); }, [&] { s->main.OpenCaptionFile(f.Large); });
        const std::string n = std::to_string(f.Captions);
        // Each file is written once, before the first timed open that reads it.
        auto open = [&](const std::string& name, std::string& slot, const std::string& file,
                        const std::function<std::string()>& make) {
            record(name, runs,
                   [&] {
                       Lazy(slot, f.Dir + "/" + file, make);
                       s = std::make_unique<TSession>("");
                   },
                   [&] { s->main.OpenCaptionFile(slot); });
        };
        open("open, distinct <P> tags", f.Distinct, "distinct" + n + ".smi", [&] { return MakeDistinctTagSami(f.Captions); });
        open("open, unclosed <P> tags", f.Unclosed, "unclosed" + n + ".smi", [&] { return MakeUnclosedTagSami(f.Captions); });
        open("open, descending times", f.Descending, "descending" + n + ".smi", [&] { return MakeDescendingSami(f.Captions); });
        open("open, plain text (4 lines)", f.Plain, "plain" + n + ".txt", [&] { return MakePlainText(4 * f.Captions); });
        open("open, .s2k one start line", f.S2k, "one" + n + ".s2k", [&] { return MakeOneStartS2k(f.Captions); });
    }
    TSession s(f.Large);
    TMainController& m = s.main;
    TBenchView& v = s.view;
    record("reload", runs, nullptr, [&] { m.ReloadCommand(); });

    // The memo as the user leaves it: one caption's text changed.
    record("leave advanced mode", runs,
           [&] {
               m.ToggleAdvancedMode();
               size_t at = v.Memo.find("<SYNC", v.Memo.size() / 2);
               v.Memo.insert(v.Memo.find('\n', at) + 1, "x");
               v.MemoDirty = true;
           },
           [&] { m.ToggleAdvancedMode(); });
    record("enter advanced mode", runs, nullptr, [&] {
        m.ToggleAdvancedMode();
        m.ToggleAdvancedMode();
    });

    int sign = 1;
    record("shift", runs, [&] { v.Shift = "100"; }, [&] {
        if (sign > 0) m.ShiftRight();
        else m.ShiftLeft();
        sign = -sign;
    });
    record("sort", runs, nullptr, [&] { m.SortCommand(); });
    record("strip", runs, [&] { m.ReloadCommand(); }, [&] { m.StripTags(); });
    record("find (no match)", runs, nullptr,
           [&] { FindCaptionRow(m.Rows(), "no such words", 0, false, false); });
    record("save", runs, [&] { v.SaveChoice = f.Saved; }, [&] { m.SaveCaption(true); });

    int serial = 0;
    auto freeSync = [&] {
        int row = MiddleRow(m);
        return IntToStr(m.Rows().Sync(row) + 1 + (serial++ % 7));
    };
    record("add", runs,
           [&] {
               v.Sync = freeSync();
               v.Entry = "added";
           },
           [&] { m.AddCommand(); });
    record("edit", runs,
           [&] {
               int row = MiddleRow(m) + serial % 50;
               m.SelectRow(row);
               v.Sync = IntToStr(m.Rows().Sync(row) + 1);
               v.Entry = "edited " + std::to_string(serial++);
           },
           [&] { m.EditCommand(); });
    record("delete", runs, [&] { m.SelectRow(MiddleRow(m)); }, [&] { m.DeleteCommand(); });
    record("select", runs, nullptr, [&] { m.SelectRow(MiddleRow(m) + (serial++ % 100)); });
    record("timer tick", runs,
           [&] { s.movie.Position = (m.Rows().Sync(MiddleRow(m) + serial++ % 100) + 1) * 0.001; },
           [&] { m.TimerTick(); });

    record("insert after (10 captions)", runs,
           [&] {
               m.SelectRow(MiddleRow(m));
               v.OpenChoice = f.Ten;
               v.InsertMode = 0;
           },
           [&] { m.InsertCommand(); });
    record("insert in front (1,000)", runs,
           [&] {
               m.ReloadCommand();
               v.OpenChoice = f.Thousand;
               v.InsertMode = 1;
           },
           [&] { m.InsertCommand(); });
    record("insert in front (20,000)", std::max(1, runs / 2),
           [&] {
               m.ReloadCommand();
               v.OpenChoice = WriteOrDie(f.Dir + "/twenty.smi", MakeLargeSami(20000));
               v.InsertMode = 1;
           },
           [&] { m.InsertCommand(); });
}

// Peak memory of opening the file, editing a caption and saving, then entering the advanced mode
// and leaving it after an edit; in a child process so that earlier runs do not count.
void MeasureMemory(const TFixture& f, int captions) {
    std::fflush(stdout);
    for (int advanced = 0; advanced < 2; ++advanced) {
        pid_t pid = fork();
        if (pid == 0) {
            g_heapPeak = g_heapCurrent.load();
            int64_t base = g_heapCurrent;
            {
                TSession s(f.Large);
                if (!advanced) {
                    rusage ru{};
                    getrusage(RUSAGE_SELF, &ru);
                    const double file = static_cast<double>(FileSize64(f.Large));
                    std::printf("peak memory of opening %d captions (%.0f MB): resident %.0f MB, heap %.0f MB (%.2f x the file)\n",
                                captions, file / (1 << 20), ru.ru_maxrss / 1024.0,
                                static_cast<double>(g_heapPeak - base) / (1 << 20),
                                static_cast<double>(g_heapPeak - base) / file);
                }
                s.main.SelectRow(MiddleRow(s.main));
                s.view.Entry = "edited";
                s.main.EditCommand();
                s.view.SaveChoice = f.Saved;
                s.main.SaveCaption(true);
                if (advanced) {
                    s.main.ToggleAdvancedMode();
                    s.view.Memo.insert(s.view.Memo.size() / 2, "x");
                    s.view.MemoDirty = true;
                    s.main.ToggleAdvancedMode();
                }
            }
            rusage ru{};
            getrusage(RUSAGE_SELF, &ru);
            std::printf("peak memory at %d captions%s: resident %.0f MB, heap %.0f MB\n", captions,
                        advanced ? ", through the advanced mode" : "", ru.ru_maxrss / 1024.0,
                        static_cast<double>(g_heapPeak - base) / (1 << 20));
            std::fflush(stdout);
            _exit(0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes = {20000, 100000, 300000};
    int runs = 5;
    bool memoryOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--memory-only")) memoryOnly = true;
        else if (!std::strcmp(argv[i], "--only") && i + 1 < argc) g_only = argv[++i];
        else if (!std::strcmp(argv[i], "--sizes") && i + 1 < argc) {
            sizes.clear();
            for (char* p = std::strtok(argv[++i], ","); p; p = std::strtok(nullptr, ",")) sizes.push_back(std::atoi(p));
        }
    }
    char tmpl[] = "/tmp/morvane-bench-main.XXXXXX";
    if (!mkdtemp(tmpl)) return 1;
    const std::string dir = tmpl;

    std::vector<TResults> results;
    for (int n : sizes) {
        TFixture f = MakeFixture(dir, n);
        if (n == sizes.back() && g_only.empty()) MeasureMemory(f, n);
        if (memoryOnly) continue;
        TResults r;
        RunSize(f, runs, results.empty() ? TResults() : results.back(), r);
        results.push_back(r);
        std::fprintf(stderr, "%d captions done\n", n);
    }
    if (!memoryOnly) {
        std::printf("%-28s", "command (ms, median)");
        for (int n : sizes) std::printf("%11d", n);
        for (size_t i = 1; i < sizes.size(); ++i) std::printf("   x%d->%d", sizes[i - 1] / 1000, sizes[i] / 1000);
        std::printf("\n");
        for (const std::string& name : kOrder) {
            std::printf("%-28s", name.c_str());
            for (const TResults& r : results) {
                auto it = r.find(name);
                if (it == r.end()) std::printf("%11s", "skipped");
                else std::printf("%11.2f", it->second);
            }
            for (size_t i = 1; i < results.size(); ++i) {
                auto a = results[i - 1].find(name), b = results[i].find(name);
                if (a == results[i - 1].end() || b == results[i].end() || a->second <= 0) std::printf("%12s", "-");
                else std::printf("%12.2f", b->second / a->second);
            }
            std::printf("\n");
        }
    }
    std::string cmd = "rm -rf '" + dir + "'";
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "cannot remove %s\n", dir.c_str());
    return 0;
}
