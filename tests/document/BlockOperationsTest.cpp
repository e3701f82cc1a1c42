// The one-pass forms of work that was done entry by entry or pass by pass: the block removal, the
// document's insert and the readers' ordering of the entries, each checked against the
// step-by-step form on random inputs.

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "document/BlockRemoval.h"
#include "document/QzCaption.h"
#include "document/QzText.h"
#include "platform/core/SysUtils.h"
#include "tests/document/DocTestUtil.h"

namespace {

// The block removal as passes: the first block's whole text is removed everywhere from just
// before it on, then the next first block, until none is left.
std::string RemoveBlocksByPasses(std::string s, std::string_view start, std::string_view end) {
    size_t from = 0;
    for (;;) {
        size_t p = FindTextPos(s, start, from);
        if (p == std::string::npos) return s;
        size_t e = FindTextPos(s, end, p + start.size());
        if (e == std::string::npos) return s;
        std::string block = s.substr(p, e + end.size() - p);
        size_t q = p + 1 >= start.size() ? p + 1 - start.size() : 0;
        ReplaceInString(s, block, "", true, q);
        from = q;
    }
}

// Recorded events of a document, in order.
struct TEventLog {
    std::vector<std::string> Lines;
    // Refuses the edit of every time divisible by `refuse` and moves the edit of every time
    // divisible by `redirect` 1 ms further (0: never).
    int Refuse = 0, Redirect = 0;

    void Bind(TQzCaption& doc) {
        doc.OnEdit = [this](TQzCaption*, const std::string& msg, std::string& o, std::string& n, std::string& t,
                            bool& can) {
            int v = StrToInt(o);
            if (Refuse && v % Refuse == 0) can = false;
            const int to = StrToInt(n);
            if (Redirect && v % Redirect == 0 && to < 2147483647) n = IntToStr(to + 1);
            Lines.push_back("edit " + msg + "|" + o + "|" + n + "|" + t + (can ? "" : " refused"));
        };
        doc.OnAdd = [this](TQzCaption*, const std::string& msg, std::string& s, std::string& t, bool& can) {
            int v = StrToInt(s);
            if (Refuse && v % Refuse == 0) can = false;
            Lines.push_back("add " + msg + "|" + s + "|" + t + (can ? "" : " refused"));
        };
    }
};

// InsertList as written entry by entry: the later entries pushed back with one Edit each from the
// last one down, then one Add per source entry.
void InsertEntryByEntry(TQzCaption& doc, int sync, const TTarkiHash& source) {
    int idx = doc.IndexOf(sync);
    if (doc.List().Count() < 2 || (sync >= 0 && idx == -1)) {
        doc.AppendList(source);
        return;
    }
    auto clamp = [](int64_t v) { return static_cast<int>(std::max<int64_t>(INT_MIN, std::min<int64_t>(INT_MAX, v))); };
    int64_t shift = 0;
    if (idx >= 0) {
        int64_t d = static_cast<int64_t>(StrToInt(source.Key(0))) - StrToInt(doc.List().Key(idx));
        shift = d < 0 ? -d + 1000 : 10;
    }
    TTarkiHash temp(source.Count());
    for (int i = 0; i < source.Count(); ++i)
        temp.Add(TQzCaption::GetSyncWidth(clamp(StrToInt(source.Key(i)) + shift)), source.Value(i));
    if (idx + 1 <= doc.List().Count() - 1) {
        int64_t d2 = static_cast<int64_t>(StrToInt(temp.Key(temp.Count() - 1))) - StrToInt(doc.List().Key(idx + 1));
        int64_t shift2 = d2 >= 0 ? d2 + 1000 : 0;
        std::vector<std::pair<int, std::string>> later;
        for (int j = idx + 1; j < doc.List().Count(); ++j) later.emplace_back(StrToInt(doc.List().Key(j)), doc.List().Value(j));
        for (auto it = later.rbegin(); it != later.rend(); ++it) doc.Edit(it->first, clamp(it->first + shift2), it->second);
    }
    for (int i = 0; i < temp.Count(); ++i) doc.Add(temp.Key(i), temp.Value(i));
}

std::vector<std::string> Entries(const TQzCaption& doc) {
    std::vector<std::string> out;
    for (int i = 0; i < doc.List().Count(); ++i) out.push_back(doc.List().Key(i) + "=" + doc.List().Value(i));
    return out;
}

}  // namespace

TEST(BlockOperations, BlockRemovalMatchesThePasses) {
    // Fragments that make closed, unclosed, nested and repeated blocks and markers that only
    // come together when a block between them goes.
    const std::vector<std::string> parts = {"<P ", "<p ", ">", "<", "P", " ", "a", "x", "<P a>", "<P a>",
                                            "<TITLE>", "</TITLE>", "</", "TITLE>", "<STYLE", "</STYLE>", "\n"};
    const std::pair<const char*, const char*> markers[] = {
        {"<P ", ">"}, {"<", ">"}, {"<TITLE>", "</TITLE>"}, {"<STYLE", "</STYLE>"}, {"ab", "c"}};
    std::mt19937 rng(1717);
    for (int run = 0; run < 20000; ++run) {
        std::string text;
        int n = static_cast<int>(rng() % 24);
        for (int i = 0; i < n; ++i) text += parts[rng() % parts.size()];
        for (auto [start, end] : markers) {
            std::string fast = text;
            ReplaceBlocksInString(fast, start, end, "");
            ASSERT_EQ(fast, RemoveBlocksByPasses(text, start, end)) << "text '" << text << "' markers " << start << end;
        }
    }
    // Named cases: a block repeated after an unclosed start marker, and markers joined by a removal.
    EXPECT_EQ(ReplaceBlocks("<P a> <P x <P a> y> z", "<P ", ">", ""), "  z");
    EXPECT_EQ(ReplaceBlocks("<<P a>P b>c", "<P ", ">", ""), "c");
}

TEST(BlockOperations, InsertMatchesOneEditAndAddPerEntry) {
    std::mt19937 rng(2024);
    for (int run = 0; run < 3000; ++run) {
        auto randomTime = [&] {
            switch (rng() % 10) {
            case 0: return -static_cast<int>(rng() % 3000);
            case 1: return INT_MAX - static_cast<int>(rng() % 3000);
            default: return static_cast<int>(rng() % 20000);
            }
        };
        TQzCaption a, b, source;
        int count = static_cast<int>(rng() % 12);
        for (int i = 0; i < count; ++i) {
            int t = randomTime();
            std::string text = "t" + std::to_string(i);
            a.Add(t, text);
            b.Add(t, text);
        }
        int sources = 1 + static_cast<int>(rng() % 5);
        for (int i = 0; i < sources; ++i) source.Add(randomTime(), "s" + std::to_string(i));
        TEventLog logA, logB;
        logA.Refuse = logB.Refuse = rng() % 3 == 0 ? 7 : 0;
        logA.Redirect = logB.Redirect = rng() % 3 == 0 ? 5 : 0;
        logA.Bind(a);
        logB.Bind(b);
        int sync = a.List().Count() > 0 && rng() % 4 != 0 ? StrToInt(a.List().Key(static_cast<int>(rng() % a.List().Count())))
                                                           : randomTime();
        a.InsertList(sync, source);
        InsertEntryByEntry(b, sync, source.List());
        ASSERT_EQ(Entries(a), Entries(b)) << "run " << run;
        ASSERT_EQ(logA.Lines, logB.Lines) << "run " << run;
    }
}

TEST(BlockOperations, TableBlockOperationsKeepTheOrder) {
    TTarkiHash t(6);
    for (const char* k : {"b", "d", "f"}) t.Add(k, k);
    EXPECT_FALSE(t.SetKeyAt(1, "b"));  // equal to a neighbour
    EXPECT_FALSE(t.SetKeyAt(1, "g"));  // past the next key
    EXPECT_FALSE(t.SetKeyAt(3, "z"));
    EXPECT_TRUE(t.SetKeyAt(1, "c"));
    std::vector<std::string> keys = {"c1", "c2"}, values = {"1", "2"};
    EXPECT_FALSE(t.InsertAt(1, keys, values));  // "c1" sorts behind "c"
    std::vector<std::string> k3 = {"a0", "a1", "a2", "a3", "a4"}, v3 = {"", "", "", "", ""};
    EXPECT_FALSE(t.InsertAt(0, k3, v3));  // beyond the capacity
    keys = {"e", "d"};
    EXPECT_FALSE(t.InsertAt(2, keys, values));  // not ascending
    keys = {"d", "e"};
    EXPECT_TRUE(t.InsertAt(2, keys, values));
    EXPECT_EQ(t.Count(), 5);
    EXPECT_EQ(t.Value(3), "2");
    std::vector<std::string> replace = {"v", "w", "x", "y"};
    EXPECT_FALSE(t.ReplaceKeys(replace));  // too few
    replace = {"v", "w", "x", "y", "y"};
    EXPECT_FALSE(t.ReplaceKeys(replace));
    replace = {"v", "w", "x", "y", "z"};
    EXPECT_TRUE(t.ReplaceKeys(replace));
    EXPECT_EQ(t.IndexOf("y"), 3);
    EXPECT_EQ(t.Value(3), "2");
}

TEST(BlockOperations, TagStripMatchesTheSteps) {
    // Line breaks in any case, tags, unclosed and nested tags, double-byte characters (a lead
    // byte before '<' or at the end) and line breaks of their own.
    const std::vector<std::string> parts = {"<BR>", "<br>", "<Br", ">", "<", "<b>", "</b>", "a", " ", "\xB0\xA1",
                                            "\xB0", "\n", "<FONT color=red>", "x<y", "&nbsp;"};
    std::mt19937 rng(4242);
    for (int run = 0; run < 20000; ++run) {
        std::string text;
        int n = 1 + static_cast<int>(rng() % 12);
        for (int i = 0; i < n; ++i) text += parts[rng() % parts.size()];
        TQzCaption doc;
        doc.List().Set("        1", text);
        doc.TagStrip();
        std::string steps = ReplaceAll(text, "<BR>", "\n");
        ReplaceBlocksInString(steps, "<", ">", "");
        steps = ReplaceAll(steps, "\n", "<BR>");
        ASSERT_EQ(doc.Get(1), steps) << "text '" << text << "'";
    }
}

TEST(BlockOperations, InsertWithoutHandlersMatchesOneEditAndAddPerEntry) {
    // Named case: pushed past 999,999,999 the later entries' keys of ten digits sort before the
    // others; each must keep its own text.
    {
        TQzCaption doc, source;
        for (auto [t, text] : std::vector<std::pair<int, const char*>>{{16961, "t7"}, {18026, "t5"}, {999999338, "t3"}, {999999649, "t2"}})
            doc.Add(t, text);
        source.Add(1000001436, "s0");
        source.Add(1000001814, "s1");
        doc.InsertList(16961, source);
        EXPECT_EQ(Entries(doc), (std::vector<std::string>{"    16961=t7", "1000001446=s0", "1000001824=s1",
                                                          "1000002824=t5", "1999984136=t3", "1999984447=t2"}));
    }
    // Without handlers the later entries take their new keys together where they can.
    std::mt19937 rng(77);
    for (int run = 0; run < 3000; ++run) {
        auto time = [&] { return rng() % 8 == 0 ? 999999000 + static_cast<int>(rng() % 3000) : static_cast<int>(rng() % 20000) - 100; };
        TQzCaption a, b, source;
        for (int i = 0, n = static_cast<int>(rng() % 12); i < n; ++i) {
            const int t = time();
            a.Add(t, "t" + std::to_string(i));
            b.Add(t, "t" + std::to_string(i));
        }
        for (int i = 0, n = 1 + static_cast<int>(rng() % 5); i < n; ++i) source.Add(time(), "s" + std::to_string(i));
        const int sync = a.List().Count() > 0 && rng() % 4 != 0
                             ? StrToInt(a.List().Key(static_cast<int>(rng() % static_cast<unsigned>(a.List().Count()))))
                             : time();
        a.InsertList(sync, source);
        InsertEntryByEntry(b, sync, source.List());
        ASSERT_EQ(Entries(a), Entries(b)) << "run " << run;
    }
}

TEST(BlockOperations, LinearBlockRemovalMatchesThePasses) {
    // Few distinct pieces, so that blocks repeat, nest in unclosed start markers, are cut out of
    // other units and leave start markers behind, and joins make new markers of both kinds.
    struct TCase {
        const char* start;
        const char* end;
        std::vector<std::string> parts;
    };
    const TCase cases[] = {
        {"<P ", ">", {"<P ", "<p ", ">", "<", "P", " ", "a", "b", "<P a>", "<P b>", "<P a", "x<P", "\n"}},
        {"<", ">", {"<", ">", "a", "b", "<a>", "<b", "a>", " "}},
        {"<TITLE>", "</TITLE>", {"<TITLE>", "</TITLE>", "</", "TITLE>", "<TI", "TLE>", "t", "<", ">", "</TIT", "LE>"}},
        {"<STYLE", "</STYLE>", {"<STYLE", "<style", "</STYLE>", "</STY", "LE>", "s", "<", "STYLE", ">"}},
    };
    std::mt19937 rng(31337);
    for (const TCase& c : cases) {
        ASSERT_TRUE(BlockMarkersSupported(c.start, c.end)) << c.start;
        for (int run = 0; run < 6000; ++run) {
            std::string text;
            const int n = static_cast<int>(rng() % 60);
            for (int i = 0; i < n; ++i) text += c.parts[rng() % c.parts.size()];
            const std::string expected = RemoveBlocksByPasses(text, c.start, c.end);
            std::string linear = text;
            ASSERT_TRUE(RemoveBlocksLinear(linear, c.start, c.end));
            ASSERT_EQ(linear, expected) << "text '" << text << "' markers " << c.start << c.end;
        }
    }
    EXPECT_FALSE(BlockMarkersSupported("ab", "c"));
    EXPECT_FALSE(BlockMarkersSupported("<", "<>"));
    // Named cases: a block that other units end with leaves their unclosed start markers to the
    // units after them; a removal joins "<P" and " x>" into a block.
    std::string orphans = "<P b> <P a <P b> c> <P a c>";
    ASSERT_TRUE(RemoveBlocksLinear(orphans, "<P ", ">"));
    EXPECT_EQ(orphans, RemoveBlocksByPasses("<P b> <P a <P b> c> <P a c>", "<P ", ">"));
    std::string joined = "<P<P y> x>z";
    ASSERT_TRUE(RemoveBlocksLinear(joined, "<P ", ">"));
    EXPECT_EQ(joined, "z");
}

// The readers collect a file's entries and order them once: the same table and the same count of
// dropped captions as adding the entries one by one, in the file's order, into the table (the
// later caption of a time replaces the earlier). An ".s2k" file joins the lines of one time in the
// order they come.
TEST(BlockOperations, ReadMatchesOneAddPerEntry) {
    std::mt19937 rng(2222);
    auto randomTime = [&] {
        switch (rng() % 8) {
        case 0: return -static_cast<int>(rng() % 2000);                 // read as 1
        case 1: return 999999990 + static_cast<int>(rng() % 20);        // nine and ten digits
        case 2: return INT_MAX - static_cast<int>(rng() % 3);
        default: return static_cast<int>(rng() % 40) * 100;             // repeats
        }
    };
    TempDir dir;
    for (int run = 0; run < 1500; ++run) {
        // SAMI: one caption per SYNC tag, blank ones too.
        std::string body;
        TTarkiHash reference(1000);
        int dropped = 0;
        for (int i = 0, n = static_cast<int>(rng() % 30); i < n; ++i) {
            const int t = randomTime();
            const std::string text = rng() % 5 == 0 ? "&nbsp;" : "c" + std::to_string(i);
            body += "<SYNC Start=" + std::to_string(t) + "><P Class=KRCC>" + text + "\r\n";
            const int before = reference.Count();
            reference.Add(TQzCaption::GetSyncWidth(t <= 0 ? 1 : t), text == "&nbsp;" ? "" : text);
            if (reference.Count() == before) ++dropped;
        }
        TQzCaption doc;
        ASSERT_TRUE(doc.Open("a.smi", "<SAMI><BODY>\r\n" + body + "</BODY></SAMI>\r\n"));
        ASSERT_EQ(doc.List().Count(), reference.Count()) << body;
        for (int i = 0; i < reference.Count(); ++i) {
            ASSERT_EQ(doc.List().Key(i), reference.Key(i)) << body;
            ASSERT_EQ(doc.List().Value(i), reference.Value(i)) << body;
        }
        ASSERT_EQ(doc.DroppedOnRead(), dropped) << body;

        if (run % 3 != 0) continue;
        // .s2k: start lines at any time, repeated ones joining the lines before; empty lines.
        std::string file;
        TTarkiHash joined(1000);
        std::string key;
        for (int i = 0, n = static_cast<int>(rng() % 40); i < n; ++i) {
            if (rng() % 3 == 0) {
                const int t = randomTime();
                file += ";Set.Time.Start=" + std::to_string(t) + "\r\n";
                key = TQzCaption::GetSyncWidth(t <= 0 ? 1 : t);
                continue;
            }
            const std::string line = rng() % 4 == 0 ? "" : "l" + std::to_string(i);
            file += line + "\r\n";
            if (key.empty()) continue;
            const int at = joined.IndexOf(key);
            joined.Add(key, at < 0 || joined.Value(at).empty() ? line : joined.Value(at) + "\n" + line);
        }
        WriteBytes(dir.File("a.s2k"), file);
        ASSERT_TRUE(doc.Open(dir.File("a.s2k")));
        ASSERT_EQ(doc.List().Count(), joined.Count()) << file;
        for (int i = 0; i < joined.Count(); ++i) {
            // Stored as the SAMI reader stores a caption: no line breaks at either end, "<BR>" within.
            std::string text = joined.Value(i);
            text.erase(0, text.find_first_not_of('\n') == std::string::npos ? text.size() : text.find_first_not_of('\n'));
            text.erase(text.find_last_not_of('\n') + 1);
            ASSERT_EQ(doc.List().Key(i), joined.Key(i)) << file;
            ASSERT_EQ(doc.List().Value(i), ReplaceAll(text, "\n", "<BR>")) << file;
        }
        ASSERT_EQ(doc.DroppedOnRead(), 0);
    }
}
