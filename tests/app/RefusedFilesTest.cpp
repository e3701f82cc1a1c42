// Files Morvane cannot read are refused with a message that names what they are, and the open
// document stays; captions a file holds but the document cannot keep are reported; a movie the
// player cannot open is reported and closed.

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>

#include "app/model/CaptionFileCheck.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "tests/ChildRun.h"
#include "tests/app/ControllerFixture.h"

// This program's operator new stands in for the C++ library's (and the sanitizer's): while
// gFailFrom is set, a request of at least that many bytes fails as when memory has run out.
size_t gFailFrom = 0;

void* operator new(size_t n) {
    if (gFailFrom != 0 && n >= gFailFrom) throw std::bad_alloc();
    static void* (*const next)(size_t) = reinterpret_cast<void* (*)(size_t)>(dlsym(RTLD_NEXT, "_Znwm"));
    return next(n);
}

namespace {

const char* const kTwoCaptions =
    "<SAMI>\r\n<BODY>\r\n<SYNC Start=1000><P Class=KRCC>one\r\n<SYNC Start=2000><P Class=KRCC>two\r\n</BODY>\r\n</SAMI>\r\n";

std::string Utf16Le(const std::string& ascii, bool mark) {
    std::string out = mark ? "\xFF\xFE" : "";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// The refusal's second line for each kind of file.
std::string Why(const char* utf8) { return Cp949(utf8); }

const std::string kCp949Only = Cp949(" 파일입니다. 모르반은 코드 페이지 949(완성형) 자막 파일만 읽습니다.");
const std::string kNotRegular = Cp949("일반 파일이 아닙니다 (폴더, 파이프나 장치).");

// What stands at a refused file's path. The AtPrompt kinds are a caption file that is taken away,
// or made a file nobody may read, while the save prompt of its open is up. NoMemory is a caption
// file that an allocation failure meets on the open road, once its captions are read.
enum class TMade { Bytes, Fifo, LinkToZero, Folder, Sparse, LargeText, RemovedAtPrompt, UnreadableAtPrompt, NoMemory };

// The length of each caption of a NoMemory file; it holds three, as many as the open document.
constexpr size_t kLongCaption = 256 * 1024;

// Makes it; for Sparse a file of 1 GiB, text at its start and without blocks after it, for
// LargeText 64 MB of SAMI.
void Make(const std::string& path, TMade made, const std::string& bytes) {
    switch (made) {
    case TMade::Bytes:
    case TMade::RemovedAtPrompt:
    case TMade::UnreadableAtPrompt:
    case TMade::NoMemory:
        WriteFileAtomic(path, bytes);
        break;
    case TMade::Fifo:
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        break;
    case TMade::LinkToZero:
        ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0);
        break;
    case TMade::Folder:
        ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
        break;
    case TMade::Sparse:
        // Text through the head that is checked before the save prompt.
        WriteFileAtomic(path, "<SAMI><BODY>\r\n" + std::string(kCaptionHeadBytes, ' ') + "\r\n");
        ASSERT_EQ(truncate(path.c_str(), int64_t{1} << 30), 0);
        break;
    case TMade::LargeText: {
        // Made once per folder, then linked. Its bytes fit in the memory the rows below allow, its
        // captions (over twice as much) do not.
        const std::string master = ExtractFilePath(path) + "large.master";
        if (!FileExists(master)) {
            std::string text = "<SAMI><BODY>\r\n";
            for (int i = 1; text.size() < (64u << 20); ++i)
                text += "<SYNC Start=" + std::to_string(i * 10) + "><P Class=KRCC>caption number " + std::to_string(i) + "\r\n";
            std::ofstream(master, std::ios::binary) << text << "</BODY></SAMI>\r\n";
        }
        std::filesystem::create_hard_link(master, path);
        break;
    }
    }
}

class Refused : public TControllerTest {
protected:
    void SetUp() override {
        TControllerTest::SetUp();
        WriteFile(dir + "a.smi", kTwoCaptions);
        ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
        view.Sync = "3000";
        view.Entry = "three";
        main.AddCommand();  // unsaved work that a refused file must not touch
    }
    void ExpectDocumentKept() {
        const TRowList kept{{1000, "one"}, {2000, "two"}, {3000, "three"}};
        EXPECT_EQ(Rows(), kept);
        TRowList entries;
        for (int i = 0; i < main.Caption().List().Count(); ++i)
            entries.emplace_back(std::stoi(main.Caption().List().Key(i)), main.Caption().List().Value(i));
        EXPECT_EQ(entries, kept);
        EXPECT_EQ(main.CurrentCaption.FileName, dir + "a.smi");
        EXPECT_EQ(main.CurrentCaption.Modified, 1);
        EXPECT_EQ(view.Title, "a.smi - Morvane 1.22 p1");
        EXPECT_TRUE(view.ListEnabled);
        EXPECT_TRUE(movie.Opened.empty());
    }
};

}  // namespace

TEST(CaptionFileCheck, NamesWhatAFileIs) {
    const std::string name = Cp949(" 파일을 읽을 수 없습니다.\n");
    const struct {
        std::string bytes;
        std::string refusal;  // after "x.smi" and the first line; empty: may be read
        bool mayHoldNoCaption;
    } cases[] = {
        {Utf16Le("<SAMI>", true), "UTF-16" + kCp949Only, false},
        {"\xFE\xFF" + std::string("\0<", 2), "UTF-16" + kCp949Only, false},
        {Utf16Le("<SAMI><BODY>\r\n", false), "UTF-16" + kCp949Only, false},
        {std::string("RIFF\0\0\0\0AVI LIST", 16), Why("텍스트 파일이 아닙니다."), false},
        {std::string(3000, 'a') + '\0', Why("텍스트 파일이 아닙니다."), false},
        {"\xEF\xBB\xBF<SAMI>", "UTF-8" + kCp949Only, false},
        {"<SAMI><BODY>\xED\x95\x9C\xEA\xB8\x80</BODY></SAMI>", "UTF-8" + kCp949Only, true},  // "한글" in UTF-8
        {Cp949("<SAMI><BODY>한글 똠</BODY></SAMI>"), "", true},
        {"plain \xC3\xA9 text", "", false},  // valid UTF-8 that code page 949 also reads: kept
        {"\x80\xFF stray bytes", "", false},
        {"", "", true},
        {"\r\n \t\r\n", "", true},
        {"<sami>\r\n<body>\r\n</body>", "", true},
        {"<SAMI> no body", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        TCaptionFileCheck check = CheckCaptionBytes("/any/x.smi", c.bytes);
        EXPECT_EQ(check.Refusal, c.refusal.empty() ? "" : "x.smi" + name + c.refusal);
        EXPECT_EQ(check.MayHoldNoCaption, c.mayHoldNoCaption);
    }
    EXPECT_TRUE(HasCaptionFileExt("/a/B.SMI"));
    EXPECT_TRUE(HasCaptionFileExt("x.s2k"));
    EXPECT_FALSE(HasCaptionFileExt("x.avi"));
    EXPECT_FALSE(HasCaptionFileExt("smi"));
}

TEST_F(Refused, FilesThatCannotBeReadLeaveTheOpenDocument) {
    const std::string cannot = Cp949(" 파일을 읽을 수 없습니다.\n");
    const std::string tooLarge = Cp949(" 파일이 너무 커서 읽을 수 없습니다.");
    const struct {
        const char* name;
        TMade made;
        std::string bytes;
        std::string message;  // after the file's name
        bool asked;           // refused after the save prompt, which asked first (answered no)
    } cases[] = {
        {"u16.smi", TMade::Bytes, Utf16Le("<SAMI><BODY><SYNC Start=1>x</BODY></SAMI>", true), cannot + "UTF-16" + kCp949Only, false},
        {"u16.txt", TMade::Bytes, Utf16Le("first line\r\nsecond\r\n", false), cannot + "UTF-16" + kCp949Only, false},
        {"u8.smi", TMade::Bytes, "<SAMI><BODY>\r\n<SYNC Start=1><P Class=K>\xED\x95\x9C\r\n</BODY></SAMI>",
         cannot + "UTF-8" + kCp949Only, false},
        {"bom.txt", TMade::Bytes, "\xEF\xBB\xBFhello\r\n", cannot + "UTF-8" + kCp949Only, false},
        {"random.smi", TMade::Bytes, std::string("\x01\x9F\0\xFE\x33", 5) + std::string(500, '\x8E'),
         cannot + Why("텍스트 파일이 아닙니다."), false},
        {"nobody.smi", TMade::Bytes, "<SAMI><HEAD><TITLE>t</TITLE></HEAD></SAMI>\r\n", cannot + Why("자막을 찾을 수 없습니다."), true},
        {"nostart.s2k", TMade::Bytes, "// a comment\r\n;Other=1\r\ntext before any start\r\n",
         cannot + Why("자막을 찾을 수 없습니다."), true},
        // Past the head checked before the save prompt (40 MB, so that reading it whole maps new
        // memory): asked about first, read whole after the prompt, then refused.
        {"u8late.smi", TMade::Bytes,
         "<SAMI><BODY>\r\n" + std::string(40u << 20, ' ') + "\r\n<SYNC Start=1><P Class=K>\xED\x95\x9C\r\n</BODY></SAMI>",
         cannot + "UTF-8" + kCp949Only, true},
        // Read before the save prompt and read again after it (opened only).
        {"removed.smi", TMade::RemovedAtPrompt, kTwoCaptions, Why(" 파일이 존재하지 않습니다."), true},
        {"unreadable.smi", TMade::UnreadableAtPrompt, kTwoCaptions, Why(" 파일을 읽을 수 없습니다."), true},
        // No regular file: refused before a byte is read, whatever the name says.
        {"fifo.smi", TMade::Fifo, "", cannot + kNotRegular, false},
        {"zero.smi", TMade::LinkToZero, "", cannot + kNotRegular, false},
        {"folder.avi", TMade::Folder, "", cannot + kNotRegular, false},
        // Its captions are read, but the list's rows cannot be made of them.
        {"nomemory.smi", TMade::NoMemory,
         "<SAMI><BODY>\r\n<SYNC Start=1500><P Class=KRCC>" + std::string(kLongCaption, 'a') +
             "\r\n<SYNC Start=2500><P Class=KRCC>" + std::string(kLongCaption, 'b') +
             "\r\n<SYNC Start=3500><P Class=KRCC>" + std::string(kLongCaption, 'c') + "\r\n</BODY></SAMI>\r\n",
         tooLarge, true},
        // More than the memory allows (the last rows: they need RLIMIT_AS): the bytes cannot be
        // held, or they can but their captions cannot.
        {"sparse.smi", TMade::Sparse, "", tooLarge, true},
        {"large.smi", TMade::LargeText, "", tooLarge, true},
        {"large.s2k", TMade::LargeText, "", tooLarge, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool limited = c.made == TMade::Sparse || c.made == TMade::LargeText;
        if (limited && !kAddressSpaceLimitWorks) GTEST_SKIP() << "RLIMIT_AS cannot be set under AddressSanitizer";
        Make(dir + c.name, c.made, c.bytes);
        // Such a thing in the open file's place, for a reload.
        const std::string open = dir + "a.smi";
        const bool reload = c.made != TMade::Bytes && c.made != TMade::NoMemory;
        if (reload) {
            ASSERT_EQ(std::rename(open.c_str(), (open + ".kept").c_str()), 0);
            Make(open, c.made, c.bytes);
        }
        // In a child under a deadline: a file that blocks the read or never ends fails the row.
        const bool atPrompt = c.made == TMade::RemovedAtPrompt || c.made == TMade::UnreadableAtPrompt;
        const auto row = [&] {
                view.Messages.clear();
                view.Questions.clear();
                view.Answers = {mrNo};  // the save question, where the file is read before it is refused
                // Before the save prompt no more than the file's head is read, whatever its size.
                const size_t mapped = MappedBytes();
                view.WhileAsked = [&] {
                    EXPECT_LT(MappedBytes(), mapped + (size_t{16} << 20));
                    if (!atPrompt) return;
                    ASSERT_EQ(std::remove((dir + c.name).c_str()), 0);
                    if (c.made == TMade::UnreadableAtPrompt) {
                        ASSERT_EQ(symlink("/proc/self/clear_refs", (dir + c.name).c_str()), 0);
                    }
                };
                const bool noMemory = c.made == TMade::NoMemory;
                if (noMemory) view.WhileLoading = [] { gFailFrom = 2 * kLongCaption; };
                main.DropFiles({dir + c.name});
                gFailFrom = 0;
                ASSERT_EQ(view.Messages.size(), 1u);
                EXPECT_EQ(view.Messages[0], c.name + c.message);
                EXPECT_EQ(view.Questions.size(), c.asked ? 1u : 0u);
                ExpectDocumentKept();
                view.WhileAsked = nullptr;
                if (atPrompt) return;

                // Opened in the advanced mode, the file's rows are made but the mode's text is
                // not: the mode goes off with the list shown. F12 then cannot show that text and
                // the mode stays off.
                if (noMemory) {
                    main.ToggleAdvancedMode();
                    ASSERT_TRUE(main.AdvancedMode());
                    view.Messages.clear();
                    view.Answers = {mrNo};
                    view.WhileLoading = [] { gFailFrom = 3 * kLongCaption + 64; };
                    main.DropFiles({dir + c.name});
                    gFailFrom = 0;
                    view.WhileLoading = nullptr;
                    ASSERT_EQ(view.Messages.size(), 1u);
                    EXPECT_EQ(view.Messages[0], Cp949("자막이 너무 커서 확장편집 모드로 보여 줄 수 없어 목록으로 돌아갑니다."));
                    EXPECT_FALSE(main.AdvancedMode());
                    EXPECT_FALSE(view.Advanced);
                    EXPECT_EQ(main.Rows().Count(), 4);
                    EXPECT_EQ(main.CurrentCaption.FileName, dir + c.name);

                    view.Messages.clear();
                    gFailFrom = 2 * kLongCaption;
                    main.ToggleAdvancedMode();
                    gFailFrom = 0;
                    ASSERT_EQ(view.Messages.size(), 1u);
                    EXPECT_EQ(view.Messages[0], Cp949("자막이 너무 커서 확장편집 모드로 바꿀 수 없습니다."));
                    EXPECT_FALSE(main.AdvancedMode());
                    EXPECT_FALSE(view.Advanced);
                    return;
                }

                // In the advanced mode, the mode and its text stay too.
                if (limited) {
                    main.ToggleAdvancedMode();
                    ASSERT_TRUE(main.AdvancedMode());
                    const std::string memo = view.Memo;
                    view.Messages.clear();
                    view.Answers = {mrNo};
                    main.DropFiles({dir + c.name});
                    ASSERT_EQ(view.Messages.size(), 1u);
                    EXPECT_EQ(view.Messages[0], c.name + c.message);
                    EXPECT_TRUE(main.AdvancedMode());
                    EXPECT_TRUE(view.Advanced);
                    EXPECT_EQ(view.Memo, memo);
                    main.ToggleAdvancedMode();
                    ASSERT_FALSE(main.AdvancedMode());
                    ExpectDocumentKept();
                }

                // Inserting it is refused the same way.
                view.Messages.clear();
                view.OpenChoices = {dir + c.name};
                view.InsertModes = {2};
                main.InsertCommand();
                ASSERT_EQ(view.Messages.size(), 1u);
                EXPECT_EQ(view.Messages[0], c.name + c.message);
                ExpectDocumentKept();

                // So is a reload when such a thing has taken the open file's place.
                if (!reload) return;
                view.Messages.clear();
                view.Answers = {mrNo};
                main.ReloadCommand();
                ASSERT_EQ(view.Messages.size(), 1u);
                EXPECT_EQ(view.Messages[0], "a.smi" + c.message);
                ExpectDocumentKept();
        };
        EXPECT_TRUE(RunInChild(row, 20000, limited ? size_t{96} << 20 : 0));
        if (reload) {
            ASSERT_EQ(c.made == TMade::Folder ? rmdir(open.c_str()) : std::remove(open.c_str()), 0);
            ASSERT_EQ(std::rename((open + ".kept").c_str(), open.c_str()), 0);
        }
    }
}

TEST_F(Refused, EmptyCaptionFilesStillOpen) {
    for (const char* bytes : {"", "\r\n\r\n", "<SAMI>\r\n<BODY>\r\n\r\n</BODY>\r\n</SAMI>\r\n"}) {
        SCOPED_TRACE(bytes);
        view.Answers = {mrNo};
        WriteFile(dir + "empty.smi", bytes);
        ASSERT_TRUE(main.OpenCaptionFile(dir + "empty.smi"));
        EXPECT_TRUE(view.Messages.empty());
        EXPECT_EQ(main.Rows().Count(), 1);
        EXPECT_EQ(main.CurrentCaption.FileName, dir + "empty.smi");
        ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
    }
}

TEST_F(Refused, CaptionsAtOneTimeAreCountedWhenOpenedAppliedOrInserted) {
    const std::string message = Cp949("같은 싱크에 자막이 둘 이상 있어 자막 3개를 버렸습니다.\n"
                                      "한 싱크에는 자막을 하나만 둘 수 있어 뒤에 나온 자막만 남겼습니다.\n"
                                      "(0 이하의 싱크는 1로 읽습니다.)");
    // A bilingual file: each time holds a Korean and an English caption; and 0 beside 1.
    WriteFile(dir + "two.smi", "<SAMI><BODY>\r\n<SYNC Start=0><P Class=KRCC>zero\r\n<SYNC Start=1><P Class=KRCC>one\r\n"
                               "<SYNC Start=900><P Class=KRCC>ko2\r\n<SYNC Start=900><P Class=ENCC>en2\r\n"
                               "</BODY></SAMI>\r\n");
    view.Answers = {mrNo};
    ASSERT_TRUE(main.OpenCaptionFile(dir + "two.smi"));
    ASSERT_EQ(view.Messages.size(), 1u);
    EXPECT_EQ(view.Messages[0], Cp949("같은 싱크에 자막이 둘 이상 있어 자막 2개를 버렸습니다.\n"
                                      "한 싱크에는 자막을 하나만 둘 수 있어 뒤에 나온 자막만 남겼습니다.\n"
                                      "(0 이하의 싱크는 1로 읽습니다.)"));
    // The document keeps the later caption of each time.
    EXPECT_EQ(Rows(), (TRowList{{1, "one"}, {900, "en2"}}));

    // The same in the advanced mode's text, and from a file inserted behind.
    view.Messages.clear();
    main.ToggleAdvancedMode();
    view.Memo = "<SYNC START=5><P>a\n<SYNC START=5><P>b\n<SYNC START=0><P>c\n<SYNC START=1><P>d\n<SYNC START=7><P>e\n"
                "<SYNC START=7><P>f\n";
    view.MemoDirty = true;
    main.ToggleAdvancedMode();
    ASSERT_EQ(view.Messages.size(), 1u);
    EXPECT_EQ(view.Messages[0], message);
    EXPECT_EQ(main.Rows().Count(), 4);

    view.Messages.clear();
    WriteFile(dir + "ins.smi", "<SAMI><BODY>\r\n<SYNC Start=10><P Class=K>a\r\n<SYNC Start=10><P Class=K>b\r\n"
                               "<SYNC Start=20><P Class=K>c\r\n<SYNC Start=20><P Class=K>d\r\n<SYNC Start=20><P Class=K>e\r\n"
                               "</BODY></SAMI>");
    view.OpenChoices = {dir + "ins.smi"};
    view.InsertModes = {2};
    main.InsertCommand();
    ASSERT_EQ(view.Messages.size(), 1u);
    EXPECT_EQ(view.Messages[0], message);
    EXPECT_EQ(main.Rows().Count(), 6);
}

TEST_F(Refused, AMovieThePlayerCannotOpenIsReportedAndClosed) {
    WriteFile(dir + "bad.avi", std::string("\0\1\2junk", 7));
    view.Answers = {mrNo};
    main.OpenPath(dir + "bad.avi");
    ASSERT_EQ(movie.Opened, (std::vector<std::string>{dir + "bad.avi"}));
    ASSERT_EQ(main.CurrentCaption.MovieFile, dir + "bad.avi");
    view.Messages.clear();

    main.MovieFailed(dir + "other.avi", "late news of another file");  // not the movie open: ignored
    EXPECT_TRUE(view.Messages.empty());
    EXPECT_EQ(movie.File, dir + "bad.avi");

    main.MovieFailed(movie.File, "unrecognized file format");
    ASSERT_EQ(view.Messages.size(), 1u);
    EXPECT_EQ(view.Messages[0], Cp949("bad.avi 동영상을 열 수 없습니다.\n") + "unrecognized file format");
    EXPECT_EQ(movie.File, "");  // the media is closed: the picture goes with it
    EXPECT_EQ(movie.Caption, "Preview");
    EXPECT_EQ(main.CurrentCaption.MovieFile, "");
    EXPECT_FALSE(main.IsMovieOpen());
}
