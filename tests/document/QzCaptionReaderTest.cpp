#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "document/QzCaption.h"
#include "platform/core/FileUtils.h"
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

E Read(const std::string& bytes, const std::string& name = "a.smi", uint16_t step = 1000) {
    TempDir dir;
    WriteBytes(dir.File(name), bytes);
    TQzCaption doc;
    doc.SetAddStep(step);
    EXPECT_TRUE(doc.Open(dir.File(name)));
    return Entries(doc);
}

const char* const Head = "<SAMI>\r\n<HEAD>\r\n<TITLE>t</TITLE>\r\n</HEAD>\r\n<BODY>\r\n";
const char* const Tail = "</BODY>\r\n</SAMI>\r\n";

std::string Sami(const std::string& body) { return Head + body + Tail; }

}  // namespace

TEST(QzCaptionReader, SamiEntriesBlankCaptionsAndLineBreaks) {
    EXPECT_EQ(Read("<SAMI><BODY>\n<SYNC Start=1000><P Class=KRCC>word\n"
                   "<SYNC Start=2000><P Class=KRCC>&nbsp;\n</BODY></SAMI>\n"),
              (E{{1000, "word"}, {2000, ""}}));
    EXPECT_EQ(Read(Sami("<SYNC Start=10><P Class=KRCC>\r\none  \r\ntwo<br>\r\n\r\nthree\r\n"
                        "<SYNC Start=20><P Class=KRCC>x<Br>y <BR>  \r\n")),
              (E{{10, "one<BR>two<BR>three"}, {20, "x<BR>y"}}));
    // The same START twice keeps the later caption.
    EXPECT_EQ(Read(Sami("<SYNC Start=5><P Class=a>first\n<SYNC Start=5><P Class=b>second\n")), (E{{5, "second"}}));
    // Tags other than paragraphs and line breaks stay; FONT tags are upper-cased.
    EXPECT_EQ(Read(Sami("<SYNC Start=5><P Class=x><font color=#FF0000><b>r</b></font>\n")),
              (E{{5, "<FONT COLOR=#FF0000><b>r</b></FONT>"}}));
    // Control bytes are caption text, never line breaks. Spaces and breaks before a line end go
    // in any mix, as the written file reads back.
    EXPECT_EQ(Read(Sami("<SYNC Start=5><P Class=x>a\x04" "b\x01\r\nc <br> <br>\nd\n")),
              (E{{5, "a\x04" "b\x01<BR>c<BR>d"}}));
}

TEST(QzCaptionReader, SyncTimes) {
    EXPECT_EQ(Read(Sami("<SYNC Start=0><P Class=x>a\n<SYNC Start=x><P Class=x>b\n")), (E{{1, "b"}}));
    // A paragraph tag without attributes is not a "<P " block and stays.
    EXPECT_EQ(Read(Sami("<SYNC Start=5><P>a\n")), (E{{5, "<P>a"}}));
    EXPECT_EQ(Read(Sami("<SYNC Start=-500>a\n")), (E{{1, "a"}}));
    EXPECT_EQ(Read(Sami("<SYNC Start=00>a\n")), (E{{1, "a"}}));
    // The time is the number after START, however the attributes run.
    EXPECT_EQ(Read(Sami("<SYNC START=100 END=200>a\n")), (E{{100, "a"}}));
    EXPECT_EQ(Read(Sami("<SYNC Start = \"1500\" End=\"1600\">a\n<SYNC start='2500'>b\n")),
              (E{{1500, "a"}, {2500, "b"}}));
    // An attribute whose name ends in START is not START.
    EXPECT_EQ(Read(Sami("<SYNC RESTART=5 Start=100>a\n<SYNC Restart=9 x_start=3>b\n")), (E{{93, "b"}, {100, "a"}}));
    // Without START every digit and minus sign of the head counts.
    EXPECT_EQ(Read(Sami("<SYNC Time=12 34>a\n")), (E{{1234, "a"}}));
    // A time text that begins with a minus sign is at or below 0 whatever follows: 1, no error.
    EXPECT_EQ(Read(Sami("<SYNC Time=-5-3>a\n<SYNC Time=->b\n<SYNC Time=-99999999999>c\n<SYNC Start=7>d\n")),
              (E{{1, "c"}, {7, "d"}}));
    // Times in any order come out in time order, ten digits after nine.
    EXPECT_EQ(Read(Sami("<SYNC Start=1000000000>c\n<SYNC Start=150000000>b\n<SYNC Start=2147483647>d\n<SYNC Start=9>a\n")),
              (E{{9, "a"}, {150000000, "b"}, {1000000000, "c"}, {2147483647, "d"}}));
}

TEST(QzCaptionReader, BadSyncTimeKeepsThePreviousDocument) {
    TempDir dir;
    WriteBytes(dir.File("good.smi"), Sami("<SYNC Start=1000>keep\n"));
    WriteBytes(dir.File("bad.smi"), "<!-- bad info -->" + Sami("<SYNC Start=1><P>a\n<SYNC Time=1-2><P>b\n"));
    // A time past 32 bits: in a SAMI file, and at line 32,769 of a plain text read 65,535 ms apart.
    WriteBytes(dir.File("long.smi"), Sami("<SYNC Start=2><P>a\n<SYNC Start=2147483648><P>b\n"));
    std::string lines;
    for (int i = 0; i < 32769; ++i) lines += "x\n";
    WriteBytes(dir.File("long.txt"), lines);
    for (const char* bad : {"bad.smi", "long.smi", "long.txt"}) {
        TQzCaption doc;
        doc.SetAddStep(65535);
        ASSERT_TRUE(doc.Open(dir.File("good.smi")));
        int infos = 0, changes = 0;
        doc.OnReadInfo = [&](TQzCaption*, std::string&) { ++infos; };
        doc.OnChange = [&](TQzCaption*, int, const std::string&) { ++changes; };
        EXPECT_THROW(doc.Open(dir.File(bad)), EConvertError) << bad;
        EXPECT_EQ(Entries(doc), (E{{1000, "keep"}})) << bad;
        EXPECT_EQ(doc.FileName, dir.File("good.smi"));
        EXPECT_FALSE(doc.Quiet);
        EXPECT_EQ(infos, 0);
        EXPECT_EQ(changes, 0);
    }
}

TEST(QzCaptionReader, DamagedAndIndentedFiles) {
    // Truncated: no </BODY>.
    EXPECT_EQ(Read("<SAMI><BODY>\n<SYNC Start=1>a\n<SYNC Start=2>b"), (E{{1, "a"}, {2, "b"}}));
    // A last SYNC tag with nothing after it is a blank caption, with a final line end or without.
    EXPECT_EQ(Read("<SAMI><BODY>\n<SYNC Start=1>a\n<SYNC Start=2>"), (E{{1, "a"}, {2, ""}}));
    EXPECT_EQ(Read("<SAMI><BODY>\n<SYNC Start=1>a\n<SYNC Start=2>\n"), (E{{1, "a"}, {2, ""}}));
    // No <BODY> at all: nothing.
    EXPECT_EQ(Read("<SAMI>\n<SYNC Start=1><P>a\n"), E{});
    // Indented SYNC tags begin captions of their own.
    EXPECT_EQ(Read(Sami("\t<SYNC Start=1>\n\t\t<P Class=A>one\n  <SYNC Start=2>two\n")),
              (E{{1, "one"}, {2, "two"}}));
    // A trailing line break before the next SYNC tag goes.
    EXPECT_EQ(Read(Sami("<SYNC Start=1>a<br>\n<SYNC Start=2>b<BR> <br>\n")), (E{{1, "a"}, {2, "b"}}));
    // Text between BODY and the first SYNC with something after a '>' becomes an entry at 1,
    // also behind a comment, whose dashes are no time.
    EXPECT_EQ(Read("<SAMI><BODY>\n<!-- note -->x\n<SYNC Start=5>a\n</BODY></SAMI>"), (E{{1, "x"}, {5, "a"}}));
    EXPECT_EQ(Read("<SAMI><BODY><b>x\n<SYNC Start=5>a\n</BODY></SAMI>"), (E{{1, "x"}, {5, "a"}}));
}

TEST(QzCaptionReader, PlainText) {
    TempDir dir;
    WriteBytes(dir.File("a.txt"), "first\r\n\r\nsecond\r\n");
    TQzCaption doc;
    ASSERT_TRUE(doc.Open(dir.File("a.txt")));
    EXPECT_EQ(doc.CaptionType(), qctText);
    EXPECT_EQ(Entries(doc), (E{{1000, "first"}, {2000, "second"}}));
    EXPECT_EQ(Read("a\nb\nc\n", "b.txt", 0), (E{{1, "c"}}));
    EXPECT_EQ(Read("x\n", "c.txt", 10), (E{{10, "x"}}));
    // Lines from 15,259 on stand at ten-digit times, still behind the others.
    std::string many;
    for (int i = 1; i <= 15300; ++i) many += "l" + std::to_string(i) + "\n";
    const E entries = Read(many, "d.txt", 65535);
    ASSERT_EQ(entries.size(), 15300u);
    for (size_t i = 0; i < entries.size(); ++i) {
        ASSERT_EQ(entries[i].first, static_cast<int>(i + 1) * 65535);
        ASSERT_EQ(entries[i].second, "l" + std::to_string(i + 1));
    }
}

TEST(QzCaptionReader, TextFileTestAndFailures) {
    TempDir dir;
    WriteBytes(dir.File("empty.smi"), "");
    std::string nul(200, 'a');
    nul[100] = '\0';
    WriteBytes(dir.File("nul.smi"), nul);
    std::string lateNul(3000, 'a');
    lateNul[2500] = '\0';
    WriteBytes(dir.File("late.txt"), lateNul);
    EXPECT_TRUE(TQzCaption::IsTextFile(dir.File("empty.smi")));
    EXPECT_FALSE(TQzCaption::IsTextFile(dir.File("nul.smi")));
    EXPECT_TRUE(TQzCaption::IsTextFile(dir.File("late.txt")));
    EXPECT_FALSE(TQzCaption::IsTextFile(dir.File("missing.smi")));
    EXPECT_FALSE(TQzCaption::IsTextFile(dir.Path()));

    TQzCaption doc;
    doc.Add(7, "old");
    int errors = 0;
    doc.OnErrorOpen = [&](TQzCaption*, const std::string&) { ++errors; };
    EXPECT_FALSE(doc.Open(dir.File("nul.smi")));
    EXPECT_FALSE(doc.Open(dir.File("missing.smi")));
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(Entries(doc), (E{{7, "old"}}));
    // Nothing after a NUL byte beyond the test's reach is read.
    ASSERT_TRUE(doc.Open(dir.File("late.txt")));
    EXPECT_EQ(doc.List().Count(), 1);
    EXPECT_EQ(doc.List().Value(0).size(), 2500u);
    ASSERT_TRUE(doc.Open(dir.File("empty.smi")));
    EXPECT_EQ(doc.List().Count(), 0);
}

TEST(QzCaptionReader, EventsOfARead) {
    TempDir dir;
    std::string body;
    for (int i = 1; i <= 250; ++i) body += "<SYNC Start=" + std::to_string(i * 10) + "><P Class=K>c" + std::to_string(i) + "\r\n";
    WriteBytes(dir.File("e.smi"), "<SAMI>\r\n<!-- info\r\nCaption Maker: me -->\r\n<BODY>\r\n<!-- other -->\r\n" + body +
                                      "</BODY>\r\n</SAMI>\r\n");
    TQzCaption doc;
    std::string info;
    std::vector<int> progress;
    int changes = 0, lastSync = 0, endMax = -1;
    bool quietDuringChange = false;
    doc.OnReadInfo = [&](TQzCaption*, std::string& b) { info = b; };
    doc.OnRead = [&](TQzCaption*, int cur, int max) { progress.push_back(cur); EXPECT_GT(max, 250); };
    doc.OnChange = [&](TQzCaption* s, int sync, const std::string&) {
        EXPECT_GT(sync, lastSync);
        lastSync = sync;
        ++changes;
        quietDuringChange = s->Quiet;
    };
    doc.OnReadEnd = [&](TQzCaption*, int cur, int max) { EXPECT_EQ(cur, 0); endMax = max; };
    ASSERT_TRUE(doc.Open(dir.File("e.smi")));
    EXPECT_EQ(info, "<!-- info\r\nCaption Maker: me -->");
    EXPECT_EQ(progress, (std::vector<int>{1, 101, 201}));
    EXPECT_EQ(changes, 250);
    EXPECT_TRUE(quietDuringChange);
    EXPECT_FALSE(doc.Quiet);
    EXPECT_EQ(endMax, 251);  // the line before the first SYNC counts
    EXPECT_EQ(doc.FileName, dir.File("e.smi"));
    // The second comment stays in the text, here before the first SYNC tag.
    EXPECT_EQ(doc.Get(10), "c1");
    EXPECT_EQ(doc.IndexOf(1), -1);
}

TEST(QzCaptionReader, NoEntryIsDroppedOnLargeFiles) {
    std::string body;
    const int n = 70000;
    body.reserve(n * 30);
    for (int i = 1; i <= n; ++i) body += "<SYNC Start=" + std::to_string(i) + "><P>x\n";
    E entries = Read("<SAMI><BODY>\n" + body + "</BODY></SAMI>\n");
    ASSERT_EQ(entries.size(), static_cast<size_t>(n));
    EXPECT_EQ(entries.back().first, n);
}

TEST(QzCaptionReader, ApplyReadsBodyTextInKeyOrder) {
    TQzCaption doc;
    doc.FileName = "keep.smi";
    TStringList lines;
    lines.Add("<SYNC Start=500><P Class=KALO_KRCC>");
    lines.Add("later");
    lines.Add("<SYNC Start=100><P Class=KALO_KRCC>");
    lines.Add("earlier");
    doc.Apply(lines);
    EXPECT_EQ(Entries(doc), (E{{100, "earlier"}, {500, "later"}}));
    EXPECT_EQ(lines.Count(), 4);
    EXPECT_EQ(lines[0], "<SYNC Start=500><P Class=KALO_KRCC>");
    EXPECT_EQ(doc.FileName, "keep.smi");
    EXPECT_EQ(doc.CaptionType(), qctCaption);
}

TEST(QzCaptionReader, ApplyDropsTheHeadersStyleBlock) {
    TQzCaption doc;
    TStringList lines;
    lines.SetText("<SAMI><HEAD><TITLE>t</TITLE>\n<STYLE TYPE=\"text/css\">\n<!--\nP { color:white; }\n"
                  ".KRCC { Name:Korean; lang:ko-KR; }\n-->\n</STYLE></HEAD><BODY>\n"
                  "<SYNC Start=500><P Class=KRCC>\nfirst\n</BODY></SAMI>\n");
    doc.Apply(lines);
    EXPECT_EQ(Entries(doc), (E{{500, "first"}}));
}

// What the advanced mode refuses to apply: the times the reader would guess at.
TEST(QzCaptionReader, MistypedSyncTimesInTypedText) {
    const std::pair<const char*, bool> cases[] = {
        {"<SYNC START=1000><P Class=KRCC>", false},
        {"  <sync start = \"1000\" end=2000>", false},
        {"<SYNC RESTART=5 START=-500>", false},  // a number; it becomes 1 as in a file
        {"<SYNCOPE>not a sync tag", false},
        {"text <SYNC START=1o>", false},  // not at the start of a line: caption text
        {"<SYNC START=12o5><P>", true},
        {"<SYNC START=><P>", true},
        {"<SYNC START=-><P>", true},
        {"<SYNC TIME=1000>", true},
        {"<SYNC START=1000", true},
        {"<SYNC>", true},
        {"<SYNC\tSTART=1000>", true},
        {"\t<SYNC START=99999999999>", true},
        {"<SYNC START=5-3>", true},
        {"<SYNC START=1.5>", true},
    };
    for (const auto& [line, bad] : cases) {
        for (const char* eol : {"\n", "\r\n", "\r"}) {
            std::string_view shown;
            const std::string text = std::string("<SYNC START=1><P>ok") + eol + line + eol + "<SYNC START=2>";
            EXPECT_EQ(TQzCaption::FindMistypedSync(text, &shown), bad ? 1 : -1) << line;
            if (bad) {
                EXPECT_EQ(shown, line);
            }
        }
    }
    EXPECT_EQ(TQzCaption::FindMistypedSync(""), -1);
    EXPECT_EQ(TQzCaption::FindMistypedSync(std::string("ok\n\0<SYNC>", 10)), -1);
}

TEST(QzCaptionReader, S2k) {
    TempDir dir;
    WriteBytes(dir.File("a.s2k"),
               "orphan\r\n// comment\r\n;Set.Time.Start=1000\r\nA  \r\nB\r\n;Other command\r\n"
               ";set.time.start=   2500\r\nC\r\n;Set.Time.Start =3000\r\nD\r\n"
               ";Set.Time.Start=0\r\n\r\nE\r\n;Set.Time.Start=-5\r\n;Set.Time.Start=x\r\nF\r\n\r\n");
    TQzCaption doc;
    doc.FileName = "before.smi";
    int changes = 0;
    doc.OnChange = [&](TQzCaption*, int, const std::string&) { ++changes; };
    ASSERT_TRUE(doc.Open(dir.File("a.s2k")));
    // A blank line ends no caption: the saved file reads back with the same texts.
    EXPECT_EQ(Entries(doc), (E{{1, "E<BR>F"}, {1000, "A<BR>B"}, {2500, "C<BR>D"}}));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(doc.FileName, "before.smi");
    EXPECT_EQ(doc.CaptionType(), qctCaption);

    WriteBytes(dir.File("B.S2K"), ";Set.Time.Start=10\r\nx\r\n");
    ASSERT_TRUE(doc.Open(dir.File("B.S2K")));
    EXPECT_EQ(Entries(doc), (E{{10, "x"}}));

    std::string msg;
    doc.OnErrorOpen = [&](TQzCaption*, const std::string& m) { msg = m; };
    EXPECT_FALSE(doc.OpenS2k(dir.File("none.s2k")));
    EXPECT_EQ(msg, "none.s2k" + Cp949(" 파일이 존재하지 않습니다."));
    // A Korean file name (UTF-8 on disk) reaches the message as code page 949 bytes.
    EXPECT_FALSE(doc.OpenS2k(dir.File("없는자막.s2k")));
    EXPECT_EQ(msg, Cp949("없는자막.s2k 파일이 존재하지 않습니다."));
}

TEST(QzCaptionReader, DoubleByteFixture) {
    TQzCaption doc;
    ASSERT_TRUE(doc.Open(MORVANE_TEST_DATA "/document/hangul.smi"));
    ASSERT_EQ(doc.List().Count(), 3);
    EXPECT_EQ(doc.Get(1000), Cp949("안녕하세요<BR>똠방각하 똸"));
    EXPECT_EQ(doc.Get(2500), Cp949("<FONT COLOR=#FFFF00>노란 글씨</FONT>"));
    EXPECT_EQ(doc.Get(4000), "");
}

TEST(QzCaptionReader, SampleFiles) {
    const std::string dir = MORVANE_SAMPLES "/smi/";
    // The samples lie beside the checkout, not in it.
    if (!DirectoryExists(dir)) GTEST_SKIP() << "no sample folder at " << dir;
    TQzCaption doc;
    ASSERT_TRUE(doc.Open(dir + "theeluwin_samitizer__sample.smi"));
    EXPECT_EQ(Entries(doc), (E{{1, "1"}, {1000, "2"}, {3600000, "3"}, {36000000, ""}}));

    ASSERT_TRUE(doc.Open(dir + "mateusz-kow_auto-subs__tests_fixtures_sami_sample.smi"));
    ASSERT_EQ(doc.List().Count(), 4);
    EXPECT_EQ(doc.Get(1000), "Hello, world.</P><BR></SYNC>");
    EXPECT_EQ(doc.Get(6000), "This is a test<br/>with multiple lines.</P><BR></SYNC>");

    ASSERT_TRUE(doc.Open(dir + "papnkukn_subsrt__sample.smi"));
    EXPECT_EQ(doc.List().Count(), 11);
    EXPECT_EQ(doc.Get(187035), "");
    EXPECT_EQ(doc.Get(335453).rfind("<FONT COLOR=#FFFF00><B>", 0), 0u);

    ASSERT_TRUE(doc.Open(dir + "saschanaz_SamiTS__comment.smi"));
    EXPECT_EQ(Entries(doc), (E{{1, ""}}));

    ASSERT_TRUE(doc.Open(dir + "ashiskumarsahu_smi-subtitle-language-parser__sample.smi"));
    ASSERT_GT(doc.List().Count(), 5);
    EXPECT_EQ(StrToInt(doc.List().Key(0)), 2500);
    for (int i = 0; i < doc.List().Count(); ++i) EXPECT_EQ(doc.List().Value(i).find("<SYNC"), std::string::npos);

    // Sync 0 becomes 1, where the file's own blank at 1 replaces it.
    for (const char* f : {"saschanaz_SamiTS__font-reposition.smi", "saschanaz_SamiTS__color-fix.smi"}) {
        ASSERT_TRUE(doc.Open(dir + f)) << f;
        EXPECT_EQ(Entries(doc), (E{{1, ""}})) << f;
    }
}
