#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "document/QzCaption.h"
#include "document/QzText.h"
#include "platform/core/Cp949.h"
#include "platform/core/SysUtils.h"
#include "tests/document/DocTestUtil.h"

namespace {

using E = std::vector<std::pair<int, std::string>>;

E Entries(const TQzCaption& doc) {
    E out;
    for (int i = 0; i < doc.List().Count(); ++i) out.emplace_back(StrToInt(doc.List().Key(i)), doc.List().Value(i));
    return out;
}

// The header, body and tail templates the main window gives the open document.
void UseMainWindowTemplates(TQzCaption& doc) {
    const std::string dashes(65, '-');
    TStringList head;
    for (const std::string& line : {
             std::string("<SAMI>"), "<!-" + dashes + "-",
             std::string(" * Morvane 1.0 (Update: ($update) / Create: ($date) )"),
             std::string(" *     Official distribution site : http://morvane.example/"), " *" + dashes,
             std::string(" *     Caption Maker: ($maker.name)"), std::string(" *                    mail: ($maker.mail)"),
             std::string(" *                    home: ($maker.home)"), " *" + dashes,
             std::string(" *     Movie   File : ($movie)"), std::string(" *     Caption File : ($smi)"),
             std::string(" *                    Create: ($smi.ctime)"),
             std::string(" *                    modify: ($smi.mtime)"), std::string("($notice)"),
             " " + dashes + "-->", std::string("<HEAD>"), std::string("<TITLE>($title)</TITLE>"),
             std::string("<STYLE TYPE=\"text/css\">"), std::string("<!--"),
             std::string("  P  { margin-left:8pt; margin-right:8pt; margin-bottom:2pt;"),
             std::string("       margin-top:2pt; text-align:center; color:orange;"),
             Cp949("       font-family:굴림,sans-serif; font-size:18pt; font-weight:bold; }"),
             Cp949("  .KALO_KRCC  { Name:한국어; lang:kr-KR; SAMIType:CC; }"),
             Cp949("  .KALO_EGCC  { Name:영어;   lang:us-US; SAMIType:CC; }"), std::string("-->"),
             std::string("</STYLE>"), std::string("</HEAD>"), std::string("<BODY>")})
        head.Add(line);
    doc.SetCaptionHead(head);
    TStringList body;
    body.Add("<SYNC START=($sync)><P CLASS=KALO_KRCC>($text)");
    doc.SetCaptionBody(body);
    TStringList tail;
    tail.Add("");
    tail.Add("</BODY>");
    tail.Add("</SAMI>");
    doc.SetCaptionTail(tail);
}

// Saves `doc` and reads the file back, and reads its body text back as the advanced mode does:
// both must give `expected`.
void ExpectReadBack(const TempDir& dir, TQzCaption& doc, const E& expected) {
    ASSERT_TRUE(doc.Save(dir.File("rt.smi")));
    TQzCaption back;
    ASSERT_TRUE(back.Open(dir.File("rt.smi")));
    EXPECT_EQ(Entries(back), expected) << ReadBytes(dir.File("rt.smi"));
    TStringList lines;
    lines.SetText(doc.GetText());
    back.Apply(lines);
    EXPECT_EQ(Entries(back), expected) << doc.GetText();
}

}  // namespace

TEST(QzCaptionWriter, GetTextLayout) {
    TQzCaption doc;
    EXPECT_EQ(doc.GetText(), "");
    doc.Add(1500, "A<BR>B");
    doc.Add(3000, "");
    doc.Add(0, "zero");
    doc.Add(-7, " <br> <BR>");
    doc.Add(4000, "\r\n<BR><br>x\r\n<BR> ");
    EXPECT_EQ(doc.GetText(),
              // Keys sort by their number: -7 before 0.
              "<SYNC START=1><P CLASS=KALO_KRCC>&nbsp;\n\n"
              "<SYNC START=1><P CLASS=KALO_KRCC>\nzero\n"
              "<SYNC START=1500><P CLASS=KALO_KRCC>\nA\nB\n"
              "<SYNC START=3000><P CLASS=KALO_KRCC>&nbsp;\n\n"
              "<SYNC START=4000><P CLASS=KALO_KRCC>\n<BR><BR>x\n");
}

TEST(QzCaptionWriter, PlaceholdersInAnyCaseAndTextIsNotRescanned) {
    TQzCaption doc;
    TStringList body;
    body.Add("[($SYNC)|($Text)|($sync)]");
    doc.SetCaptionBody(body);
    doc.Add(42, "($sync)($text)");
    EXPECT_EQ(doc.GetText(), "[42|\n($sync)($text)|42]\n");
}

TEST(QzCaptionWriter, SaveWithMainWindowTemplatesIsByteExact) {
    TempDir dir;
    TQzCaption doc;
    UseMainWindowTemplates(doc);
    doc.Add(1500, "A<BR>B");
    doc.Add(3000, "");
    std::string seenHead;
    doc.OnSaveHead = [&](TQzCaption*, std::string& b) {
        seenHead = b;
        b = ReplaceText(b, "($title)", "movie", true);
    };
    doc.OnSaveTail = [](TQzCaption*, std::string& b) { b += "<!-- end -->\r\n"; };
    ASSERT_TRUE(doc.Save(dir.File("out.smi")));

    std::string head = doc.CaptionHead().Text();
    EXPECT_EQ(seenHead, head);
    std::string expected = ReplaceText(head, "($title)", "movie", true) +
                           "<SYNC START=1500><P CLASS=KALO_KRCC>\r\nA\r\nB\r\n"
                           "<SYNC START=3000><P CLASS=KALO_KRCC>&nbsp;\r\n\r\n"
                           "\r\n</BODY>\r\n</SAMI>\r\n<!-- end -->\r\n";
    EXPECT_EQ(ReadBytes(dir.File("out.smi")), expected);
    EXPECT_NE(expected.find("<TITLE>movie</TITLE>\r\n"), std::string::npos);
    EXPECT_NE(expected.find(Cp949("  .KALO_KRCC  { Name:한국어;")), std::string::npos);
}

TEST(QzCaptionWriter, EmptyDocumentAndHandlerWithoutFinalLineEnd) {
    TempDir dir;
    TQzCaption doc;
    ASSERT_TRUE(doc.Save(dir.File("e.smi")));
    EXPECT_EQ(ReadBytes(dir.File("e.smi")), "<SAMI>\r\n<BODY>\r\n</BODY>\r\n</SAMI>\r\n");
    doc.OnSaveTail = [](TQzCaption*, std::string& b) { b = "</BODY>\n</SAMI>"; };
    ASSERT_TRUE(doc.Save(dir.File("e.smi")));
    EXPECT_EQ(ReadBytes(dir.File("e.smi")), "<SAMI>\r\n<BODY>\r\n</BODY>\r\n</SAMI>\r\n");
}

TEST(QzCaptionWriter, RoundTripKeepsEntriesAndBytes) {
    TempDir dir;
    TQzCaption doc;
    UseMainWindowTemplates(doc);
    const std::string ko = Cp949("똠방각하<BR>") + std::string("\x8C\x63", 2) + Cp949(" 한글");
    doc.Add(0, "zero");
    doc.Add(1000, ko);
    doc.Add(2000, "");
    doc.Add(3000, "<FONT COLOR=#FF0000>red</FONT><BR>two");
    doc.Add(4000, "<BR>");
    ASSERT_TRUE(doc.Save(dir.File("r.smi")));
    std::string bytes = ReadBytes(dir.File("r.smi"));
    EXPECT_NE(bytes.find("\r\n" + Cp949("똠방각하") + "\r\n\x8C\x63" + Cp949(" 한글") + "\r\n"), std::string::npos);
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");

    TQzCaption back;
    ASSERT_TRUE(back.Open(dir.File("r.smi")));
    EXPECT_EQ(Entries(back), (E{{1, "zero"}, {1000, ko}, {2000, ""}, {3000, "<FONT COLOR=#FF0000>red</FONT><BR>two"},
                                {4000, ""}}));
    // Writing what was read gives the same bytes.
    UseMainWindowTemplates(back);
    back.Add(0, "zero");
    back.Delete(1);
    ASSERT_TRUE(back.Save(dir.File("r2.smi")));
    EXPECT_EQ(ReadBytes(dir.File("r2.smi")), bytes);
}

// Save and read back with the main window's templates: every caption comes back as stored, up to
// what the reader cannot keep (blanks and "<BR>" at a caption's end, "<br>" written in capitals,
// a caption of only blanks, "<BR>" and "&nbsp;").
TEST(QzCaptionWriter, EverySavedCaptionReadsBack) {
    const auto expected = [](std::string t) {
        t = ReplaceText(t, "<BR>", "<BR>", true);
        size_t b = t.find_first_not_of(" \t");
        t.erase(0, b == std::string::npos ? t.size() : b);
        for (;;) {
            while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.pop_back();
            if (t.size() < 4 || t.compare(t.size() - 4, 4, "<BR>") != 0) break;
            t.resize(t.size() - 4);
        }
        return SameText(t, "&nbsp;") ? std::string() : t;
    };
    const char* const pieces[] = {"A", "\xB0\xA1", " ", "\t", "<BR>", "<br>", "<SYNC 5-3>", "<sync start=7>",
                                  "<SYNC>", "&nbsp;", "<b>", "x ", "-->"};
    TempDir dir;
    std::mt19937 rng(3);
    for (int round = 0; round < 40; ++round) {
        TQzCaption doc;
        UseMainWindowTemplates(doc);
        E written;
        for (int i = 0; i < 25; ++i) {
            std::string t;
            for (int n = static_cast<int>(rng() % 7); n > 0; --n) t += pieces[rng() % std::size(pieces)];
            doc.Add((i + 1) * 100, t);
            written.emplace_back((i + 1) * 100, expected(t));
        }
        ExpectReadBack(dir, doc, written);
        if (HasFailure()) return;
    }
}

TEST(QzCaptionWriter, FilesMorvaneReadsComeBackFromItsOwnSave) {
    TempDir dir;
    const std::pair<const char*, E> cases[] = {
        // An empty line inside a caption, and a caption that begins with one.
        {"<SAMI><BODY>\r\n<SYNC Start=1><P Class=K>A<br><br>B\r\n<SYNC Start=2><P Class=K><br>C\r\n</BODY></SAMI>",
         {{1, "A<BR><BR>B"}, {2, "<BR>C"}}},
        // Plain text whose lines look like SYNC tags.
        {"<SYNC 5-3>\r\nsecond\r\n  <sync start=9> x\r\n", {{1000, "<SYNC 5-3>"}, {2000, "second"}, {3000, "<sync start=9> x"}}},
        // An empty document.
        {"<SAMI><BODY>\r\n\r\n\r\n</BODY></SAMI>\r\n", {}},
    };
    for (const auto& [file, entries] : cases) {
        WriteBytes(dir.File("in.txt"), file);
        TQzCaption doc;
        UseMainWindowTemplates(doc);
        ASSERT_TRUE(doc.Open(dir.File("in.txt")));
        ASSERT_EQ(Entries(doc), entries) << file;
        ASSERT_TRUE(doc.Save(dir.File("out.smi")));
        TQzCaption back;
        ASSERT_TRUE(back.Open(dir.File("out.smi")));
        EXPECT_EQ(Entries(back), entries) << ReadBytes(dir.File("out.smi"));
    }
}

// Markup that structures a SAMI file, typed into captions: the reader would cut the body at it,
// delete it or remove a block through its end tag in a later caption. Each case's captions stand
// at 1000, 2000, ... and read back as `back`, from the saved file and from the body text alike.
TEST(QzCaptionWriter, StructureMarkupInACaptionLosesNoCaption) {
    using L = std::vector<std::string>;
    const std::pair<L, L> cases[] = {
        {{"A</body>B", "after"}, {"A< /body>B", "after"}},
        {{"<STYLE>", "kept", "</STYLE>"}, {"< STYLE>", "kept", "</STYLE>"}},
        {{"<Title>t</Title> <script", "kept"}, {"< Title>t</Title> < script", "kept"}},
        // A deletion would join "<SYNC 5-3>", which does not read as a time.
        {{"x<BR><SY<HEAD>NC 5-3>"}, {"x<BR><SY< HEAD>NC 5-3>"}},
        // Paragraph tags that close in their caption are written and dropped by the reader; one
        // that runs on, or whose removal would make new markup, is kept as text.
        {{"<P CLASS=EN>B", "A<BR><P x><SYNC 5>", "<P x>", "<P x><br> <P y>", "kept"},
         {"B", "A<BR><SYNC 5>", "", "", "kept"}},
        {{"A <P x", "kept"}, {"A < P x", "kept"}},
        {{"<P x<BR>y>z", "kept"}, {"< P x<BR>y>z", "kept"}},
        {{"<<P a>P b", "<SA<P x>MI>c", "kept"}, {"<< P a>P b", "<SA< P x>MI>c", "kept"}},
        {{"<!-- note", "kept", "-->"}, {"<!-- note", "kept", "-->"}},
    };
    TempDir dir;
    for (const auto& [in, back] : cases) {
        TQzCaption doc;
        UseMainWindowTemplates(doc);
        E expected;
        for (size_t i = 0; i < in.size(); ++i) {
            doc.Add(static_cast<int>(i + 1) * 1000, in[i]);
            expected.emplace_back(static_cast<int>(i + 1) * 1000, back[i]);
        }
        ExpectReadBack(dir, doc, expected);
    }
}

// Under a header without a comment the reader takes the first comment of the captions for the
// file's information and cuts it out, so the writer breaks comment markup there; the body text of
// the advanced mode, read without taking a comment out, keeps it.
TEST(QzCaptionWriter, CommentsInCaptionsUnderAHeaderWithoutOne) {
    TempDir dir;
    TQzCaption doc;
    doc.Add(1000, "a <!-- b");
    doc.Add(2000, "kept");
    doc.Add(3000, "c --> d");
    ASSERT_TRUE(doc.Save(dir.File("c.smi")));
    TQzCaption read;
    ASSERT_TRUE(read.Open(dir.File("c.smi")));
    EXPECT_EQ(Entries(read), (E{{1000, "a < !-- b"}, {2000, "kept"}, {3000, "c -- > d"}}));
    EXPECT_EQ(doc.GetText(), "<SYNC START=1000><P CLASS=KALO_KRCC>\na <!-- b\n<SYNC START=2000><P CLASS=KALO_KRCC>\nkept\n"
                             "<SYNC START=3000><P CLASS=KALO_KRCC>\nc --> d\n");
}

// The disk fills (here: a file-size limit) half way through the file.
TEST(QzCaptionWriter, AWriteErrorInTheMiddleFailsTheSaveAndKeepsTheOldFile) {
    TempDir dir;
    WriteBytes(dir.File("old.smi"), "previous");
    TQzCaption doc;
    for (int i = 1; i <= 200; ++i) doc.Add(i * 100, "caption number " + std::to_string(i));
    struct rlimit before;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = doc.Save(dir.File("old.smi"));
    setrlimit(RLIMIT_FSIZE, &before);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(dir.File("old.smi")), "previous");
    // Nothing half-written is left beside it.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) files += entry.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(QzCaptionWriter, FailedSaveReportsFalseAndKeepsThePreviousFile) {
    TempDir dir;
    TQzCaption doc;
    doc.Add(1000, "new");
    EXPECT_FALSE(doc.Save(dir.File("no/such/folder/x.smi")));

    WriteBytes(dir.File("old.smi"), "previous");
    chmod(dir.File("old.smi").c_str(), 0640);
    ASSERT_TRUE(doc.Save(dir.File("old.smi")));
    struct stat st;
    ASSERT_EQ(stat(dir.File("old.smi").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    WriteBytes(dir.File("keep.smi"), "previous");
    if (geteuid() != 0) {
        chmod(dir.Path().c_str(), 0500);
        EXPECT_FALSE(doc.Save(dir.File("keep.smi")));
        chmod(dir.Path().c_str(), 0700);
        EXPECT_EQ(ReadBytes(dir.File("keep.smi")), "previous");
    }
    // A directory in the way cannot be replaced.
    mkdir(dir.File("adir").c_str(), 0700);
    EXPECT_FALSE(doc.Save(dir.File("adir")));
}
