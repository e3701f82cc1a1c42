// Loading text files into the control and saving them: bytes on disk, line ends, NUL bytes,
// Johab text, the read-only state, and failures.

#include "QzPadTestUtil.h"

#include "editor/model/QzFileError.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "tests/ChildRun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

using Ls = std::vector<std::string>;

class PadFileTest : public PadTest {
protected:
    void TearDown() override
    {
        for (const std::string& p : paths) {
            ::chmod(p.c_str(), 0644);
            std::remove(p.c_str());
        }
    }
    std::string Write(const std::string& name, const std::string& bytes)
    {
        const std::string path = ::testing::TempDir() + "/qzpad_file_" + name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
        out.close();
        paths.push_back(path);
        return path;
    }
    std::string Path(const std::string& name)
    {
        const std::string path = ::testing::TempDir() + "/qzpad_file_" + name;
        paths.push_back(path);
        return path;
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    std::vector<std::string> paths;
};

}  // namespace

TEST_F(PadFileTest, LineEndsAreRecognisedAndWrittenBackByteExact)
{
    struct Case {
        std::string bytes;
        Ls lines;
        TQzPadSaveFormat format;
        std::string saved;
    };
    const Case cases[] = {
        {"one\r\ntwo\r\n", {"one", "two"}, qzsfDos, "one\r\ntwo\r\n"},
        {"one\ntwo\n", {"one", "two"}, qzsfUnix, "one\ntwo\n"},
        {"one\rtwo", {"one", "two"}, qzsfMac, "one\rtwo\r"},
        // Only the first CR decides between DOS and Mac; a lone LF after it makes it Unix.
        {"one\r\ntwo\nthree", {"one", "two", "three"}, qzsfUnix, "one\ntwo\nthree\n"},
        {"last line without end", {"last line without end"}, qzsfDos, "last line without end\r\n"},
        {"\r\n", {""}, qzsfDos, "\r\n"},
        {"", {""}, qzsfDos, "\r\n"},
        {"a\r\rb\n\rc\r\n", {"a", "", "b", "", "c"}, qzsfUnix, "a\n\nb\n\nc\n"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        const std::string path = Write("ends" + std::to_string(n++) + ".txt", c.bytes);
        pad.LoadFromFile(path);
        EXPECT_EQ(Lines(), c.lines);
        EXPECT_EQ(pad.SaveFormat(), c.format);
        EXPECT_EQ(pad.HanguelCodeType(), qzctWansung);
        pad.SaveToFile(path);
        EXPECT_EQ(Read(path), c.saved);
    }
}

TEST_F(PadFileTest, LoadResetsTheControlAndSaveClearsModified)
{
    SetText({"old 1", "old 2", "old 3"});
    Caret(3, 2);
    pad.SetBookmark(1, 4);
    Type("x");
    Select(TPoint(0, 0), TPoint(2, 1));
    int changed = 0;
    pad.OnChanged = [&](TQzPadModel&) { ++changed; };

    const std::string path = Write("reset.txt", Cp949("첫 줄") + "\r\nsecond\r\n");
    pad.LoadFromFile(path);
    EXPECT_EQ(Lines(), (Ls{Cp949("첫 줄"), "second"}));
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 0));
    EXPECT_FALSE(pad.GetSelectAvail());
    EXPECT_EQ(pad.FindBookmark(4), -2);
    EXPECT_EQ(pad.TopLine(), 0);
    EXPECT_FALSE(pad.Modified());
    EXPECT_FALSE(pad.HasOption(qzoReadOnly));
    EXPECT_EQ(changed, 1);
    // Records of the old text are gone: an undo cannot write them into the new one.
    EXPECT_FALSE(pad.CanUndo());
    pad.Undo();
    EXPECT_EQ(Lines(), (Ls{Cp949("첫 줄"), "second"}));

    Type("z");
    EXPECT_TRUE(pad.Modified());
    changed = 0;
    pad.SaveToFile(path);
    EXPECT_FALSE(pad.Modified());
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(Read(path), "z" + Cp949("첫 줄") + "\r\nsecond\r\n");
}

TEST_F(PadFileTest, NulBytesBecomeBlanksWithOneNotice)
{
    int notices = 0;
    pad.OnConfirmConvert = [&](TQzPadModel&) { ++notices; };
    const std::string path = Write("nul.txt", std::string("a\0b\r\nc\0\r\n", 9));
    pad.LoadFromFile(path);
    EXPECT_EQ(Lines(), (Ls{"a b", "c "}));
    EXPECT_EQ(notices, 1);

    notices = 0;
    pad.SetConvertNullToSpace(false);
    pad.LoadFromFile(path);
    EXPECT_EQ(Lines(), (Ls{std::string("a\0b", 3), std::string("c\0", 2)}));
    EXPECT_EQ(notices, 0);
    pad.SaveToFile(path);
    EXPECT_EQ(Read(path), std::string("a\0b\r\nc\0\r\n", 9));
}

TEST_F(PadFileTest, JohabTextIsEditedAsWansungAndSavedAsJohabWithCrLf)
{
    // "한글" in Johab (D065 8B69) with LF line ends.
    const std::string johab = "\xD0\x65\x8B\x69";
    const std::string path = Write("johab.txt", johab + " ab\nline 2\n");
    pad.LoadFromFile(path);
    EXPECT_EQ(pad.HanguelCodeType(), qzctJohab);
    EXPECT_EQ(Lines(), (Ls{Cp949("한글") + " ab", "line 2"}));
    EXPECT_EQ(pad.SaveFormat(), qzsfUnix);

    Caret(0, 1);
    pad.ImeStartComposition();
    pad.ImeResult(Cp949("새"));
    pad.SaveToFile(path);
    // "새" is 0xAC81 in Johab; every line ends with CR LF whatever the loaded line ends were.
    EXPECT_EQ(Read(path), johab + " ab\r\n\xAC\x81line 2\r\n");
    EXPECT_EQ(pad.Lines()[1], Cp949("새") + "line 2");  // the control keeps Wansung

    // A Wansung file stays Wansung.
    const std::string wansung = Write("wansung.txt", Cp949("한글") + "\n");
    pad.LoadFromFile(wansung);
    EXPECT_EQ(pad.HanguelCodeType(), qzctWansung);
    pad.SaveToFile(wansung);
    EXPECT_EQ(Read(wansung), Cp949("한글") + "\n");
}

TEST_F(PadFileTest, CodePage949FilesKeepTheirBytesWhateverCharacterTheyEndIn)
{
    // Mostly KS X 1001 text whose last character is of each kind; without a final line end the
    // save adds CR LF.
    const std::string body = Cp949("안녕하세요") + "\r\n" + Cp949("둘째 ");
    const struct {
        const char* kind;
        std::string last;
        const char* end;
    } cases[] = {
        {"ASCII", "z", "\r\n"},
        {"KS X 1001 syllable", Cp949("가"), "\r\n"},
        {"extended syllable", Cp949("똠"), "\r\n"},
        {"extended syllable, no line end", Cp949("똠"), ""},
        {"symbol", Cp949("※"), "\r\n"},
        {"Hanja", Cp949("漢"), "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const std::string bytes = body + c.last + c.end;
        const std::string path = Write("cp949.txt", bytes);
        pad.LoadFromFile(path);
        EXPECT_EQ(pad.HanguelCodeType(), qzctWansung);
        EXPECT_EQ(pad.Lines()[1], Cp949("둘째 ") + c.last);
        pad.SaveToFile(path);
        EXPECT_EQ(Read(path), *c.end ? bytes : bytes + "\r\n");
    }
}

TEST_F(PadFileTest, JohabFilesAndPairsThatNeitherCodeDefines)
{
    const struct {
        const char* name;
        std::string bytes;
        TQzPadCodeType type;
        std::string firstLine;
        std::string saved;
    } cases[] = {
        // Valid in both codes, no KS X 1001 pair: Johab.
        {"ga na da", "\x88\x61\x90\x61\x94\x61\n", qzctJohab, Cp949("가나다"), "\x88\x61\x90\x61\x94\x61\r\n"},
        // Johab holding a pair that Johab conversion cannot read but code page 949 can: kept as it is.
        {"86 86", "\x88\x61\x86\x86\r\n", qzctWansung, "\x88\x61\x86\x86", "\x88\x61\x86\x86\r\n"},
        // Valid in neither: the last pair looks Johab, but 86 86 would be saved as another pair.
        {"neither, 86 86", "\xD0\x65\x86\x86\r\n", qzctWansung, "\xD0\x65\x86\x86", "\xD0\x65\x86\x86\r\n"},
        // Valid in neither, and the pair Johab cannot read comes back as it was.
        {"neither, 80 41", "\xD0\x65\x80\x41\r\n", qzctJohab, Cp949("한") + "\x80\x41", "\xD0\x65\x80\x41\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Write("johab.txt", c.bytes);
        pad.LoadFromFile(path);
        EXPECT_EQ(pad.HanguelCodeType(), c.type);
        EXPECT_EQ(pad.Lines()[0], c.firstLine);
        pad.SaveToFile(path);
        EXPECT_EQ(Read(path), c.saved);
    }
}

TEST_F(PadFileTest, AFileThatCannotBeReadLeavesTheTextAlone)
{
    const std::string fifo = Path("fifo.txt");
    const std::string zero = Path("zero.txt");
    const std::string folder = Path("folder.txt");
    const std::string sparse = Path("sparse.txt");
    const std::string large = Path("large.txt");
    ::unlink(zero.c_str());
    ::rmdir(folder.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    Write("sparse.txt", "text");
    ASSERT_EQ(::truncate(sparse.c_str(), int64_t{1} << 30), 0);  // 1 GiB without blocks
    std::string many;
    for (int i = 0; many.size() < (40u << 20); ++i) many += "line " + std::to_string(i) + "\r\n";
    Write("large.txt", many);
    many = std::string();

    const struct {
        std::string path;
        std::string reason;  // the end of the message; empty: the system's own words
        bool limited;        // read with less memory than the file needs
    } cases[] = {
        {"/proc/self/clear_refs", "", false},  // a regular file that nobody may read
        {fifo, "It is not a regular file.", false},              // opened plainly, it waits for a writer
        {zero, "It is not a regular file.", false},              // read, it never ends
        {folder, "It is not a regular file.", false},
        // The last rows need RLIMIT_AS: the bytes cannot be held, or they can but their lines cannot.
        {sparse, "The file is too large to hold in memory.", true},
        {large, "The file is too large to hold in memory.", true},
    };
    SetText({"keep", "me"});
    Caret(2, 1);
    Type("x");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        if (c.limited && !kAddressSpaceLimitWorks) GTEST_SKIP() << "RLIMIT_AS cannot be set under AddressSanitizer";
        // In a child under a deadline: a file that blocks the read or never ends fails the row.
        const auto row = [&] {
            try {
                pad.LoadFromFile(c.path);
                ADD_FAILURE() << "loaded";
            } catch (const EFOpenError& e) {
                const std::string message = e.what();
                const std::string start = "Cannot open file \"" + c.path + "\". ";
                EXPECT_EQ(message.substr(0, start.size()), start);
                if (!c.reason.empty()) {
                    EXPECT_EQ(message.substr(start.size()), c.reason);
                }
            }
            EXPECT_EQ(Lines(), (Ls{"keep", "mex"}));
            EXPECT_EQ(pad.CaretPos(), TPoint(3, 1));
            EXPECT_TRUE(pad.Modified());
            EXPECT_TRUE(pad.CanUndo());
        };
        EXPECT_TRUE(RunInChild(row, 20000, c.limited ? size_t{64} << 20 : 0));
    }
}

TEST_F(PadFileTest, ReadOnlyFollowsTheFileAndAMissingFileIsReadOnly)
{
    const std::string path = Write("ro.txt", "locked\r\n");
    ::chmod(path.c_str(), 0444);
    pad.LoadFromFile(path);
    EXPECT_TRUE(pad.HasOption(qzoReadOnly));
    Type("x");
    EXPECT_EQ(Lines(), Ls{"locked"});

    ::chmod(path.c_str(), 0644);
    pad.LoadFromFile(path);
    EXPECT_FALSE(pad.HasOption(qzoReadOnly));

    int changed = 0;
    pad.OnChanged = [&](TQzPadModel&) { ++changed; };
    pad.LoadFromFile(Path("missing.txt"));
    EXPECT_EQ(Lines(), Ls{""});
    EXPECT_TRUE(pad.HasOption(qzoReadOnly));
    EXPECT_EQ(changed, 1);
}

TEST_F(PadFileTest, AFailedSaveRaisesAndKeepsTheTextModified)
{
    SetText({"keep me"});
    Type("!");
    EXPECT_THROW(pad.SaveToFile("/nonexistent-dir/qzpad.txt"), EFCreateError);
    EXPECT_TRUE(pad.Modified());
    EXPECT_EQ(Lines(), Ls{"!keep me"});
}

TEST_F(PadFileTest, WordWrapContinuationsAreNoLineEndsOfTheFile)
{
    pad.SetColumnCount(10);
    pad.SetWordWrap(qzwwUser);
    const std::string longLine = "0123456789abcdefghijKLMNO";
    const std::string path = Write("wrap.txt", longLine + "\nshort\n");
    pad.LoadFromFile(path);
    EXPECT_GT(pad.Lines().Count(), 2);  // shown as several rows
    EXPECT_EQ(pad.LogicalText(), longLine + "\r\nshort\r\n");
    pad.SaveToFile(path);
    EXPECT_EQ(Read(path), longLine + "\nshort\n");
}
