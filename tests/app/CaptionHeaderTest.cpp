#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "app/model/CaptionHeader.h"
#include "document/QzCaption.h"
#include "platform/core/Cp949.h"
#include "tests/app/FakeMainView.h"

TEST(CaptionHeader, ThousandsAndMovieDescription) {
    EXPECT_EQ(FormatThousands(12), "12");
    EXPECT_EQ(FormatThousands(1234), "1,234");
    EXPECT_EQ(FormatThousands(123456), "123,456");
    EXPECT_EQ(FormatThousands(1234567), "1,234,567");
    EXPECT_EQ(FormatThousands(8000000000LL), "8,000,000,000");

    std::string dir = MakeTempDir();
    std::string movie = dir + "movie.avi";
    int fd = open(movie.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 734003200), 0);
    close(fd);
    EXPECT_EQ(MovieDescription(movie), "movie.avi 700.00MB(716,800KB)");
    EXPECT_EQ(MovieDescription(dir + "none.avi"), "");
    // Sizes past 4 GiB are not cut to 32 bits.
    fd = open(movie.c_str(), O_WRONLY);
    ASSERT_EQ(ftruncate(fd, 5LL * 1024 * 1024 * 1024), 0);
    close(fd);
    EXPECT_EQ(MovieDescription(movie), "movie.avi 5120.00MB(5,242,880KB)");
}

namespace {
// Saves a document with the main window's templates and returns the file's bytes.
std::string SaveWith(TCaptionInfo& info, const std::string& path) {
    TQzCaption doc;
    doc.SetCaptionHead(MainCaptionHead());
    doc.SetCaptionBody(MainCaptionBody());
    doc.SetCaptionTail(MainCaptionTail());
    doc.OnSaveHead = [&info](TQzCaption*, std::string& buffer) { FillCaptionHead(buffer, info, "2026/12/09 10:30"); };
    doc.Add(1000, "A<BR>B");
    EXPECT_TRUE(doc.Save(path));
    return ReadFile(path);
}

// What the header of a file SaveWith wrote gives back, and the file's caption at 1000.
TCaptionInfo ReadBack(const std::string& path, std::string& caption) {
    TCaptionInfo back;
    TQzCaption reader;
    reader.OnReadInfo = [&back](TQzCaption*, std::string& buffer) { ReadCaptionInfo(buffer, back); };
    EXPECT_TRUE(reader.Open(path));
    caption = reader.Get(1000);
    return back;
}
}  // namespace

TEST(CaptionHeader, WrittenHeaderIsByteExactAndReadsBack) {
    std::string dir = MakeTempDir();
    TCaptionInfo info;
    info.FileName = dir + "b.smi";
    info.MakerName = "Kim";
    info.MakerMail = "kim@example.org";
    info.CreateTime = "2026/12/01 09:00";
    info.Notice = "a\r\nb";
    std::string bytes = SaveWith(info, info.FileName);
    EXPECT_EQ(info.ModifyTime, "2026/12/09 10:30");

    std::string expectedTop =
        "<SAMI>\r\n<!--" + std::string(65, '-') + "\r\n" +
        " * Morvane 1.0 (Update: 2002.09.25 / Create: 2002.09.25 )\r\n";
    EXPECT_EQ(bytes.substr(0, expectedTop.size()), expectedTop);
    std::string expectedInfo =
        " *     Caption Maker: Kim\r\n"
        " *                    mail: kim@example.org\r\n"
        " *                    home: \r\n"
        " *" + std::string(65, '-') + "\r\n"
        " *     Movie   File : \r\n"
        " *     Caption File : b.smi\r\n"
        " *                    Create: 2026/12/01 09:00\r\n"
        " *                    modify: 2026/12/09 10:30\r\n"
        " *" + std::string(65, '-') + "\r\n"
        "       Notice\r\n"
        "       a\r\n"
        "       b\r\n"
        "\r\n"
        " " + std::string(66, '-') + ">\r\n<HEAD>\r\n<TITLE>b</TITLE>\r\n";
    EXPECT_NE(bytes.find(expectedInfo), std::string::npos);
    EXPECT_NE(bytes.find("<SYNC START=1000><P CLASS=KALO_KRCC>\r\nA\r\nB\r\n\r\n</BODY>\r\n</SAMI>\r\n"),
              std::string::npos);
    EXPECT_NE(bytes.find(Cp949("font-family:굴림,sans-serif")), std::string::npos);

    std::string caption;
    TCaptionInfo back = ReadBack(info.FileName, caption);
    EXPECT_EQ(back.MakerName, "Kim");
    EXPECT_EQ(back.MakerMail, "kim@example.org");
    EXPECT_EQ(back.MakerHome, "");
    EXPECT_EQ(back.CreateTime, "2026/12/01 09:00");
    EXPECT_EQ(back.ModifyTime, "2026/12/09 10:30");
    EXPECT_EQ(back.Notice, "a\r\nb");
    EXPECT_EQ(caption, "A<BR>B");
}

TEST(CaptionHeader, ACommentCloserInAValueNeverCutsTheHeader) {
    std::string dir = MakeTempDir();
    TCaptionInfo info;
    info.FileName = dir + "x-->y.smi";
    info.MakerName = "Kim -->";
    info.MakerMail = "k@x";
    info.CreateTime = "2026/12/01 09:00";
    info.Notice = "a-->b\r\n--->";
    SaveWith(info, info.FileName);

    std::string caption;
    TCaptionInfo back = ReadBack(info.FileName, caption);
    EXPECT_EQ(back.MakerName, "Kim -- >");
    EXPECT_EQ(back.MakerMail, "k@x");
    EXPECT_EQ(back.CreateTime, "2026/12/01 09:00");
    EXPECT_EQ(back.ModifyTime, "2026/12/09 10:30");
    EXPECT_EQ(back.Notice, "a-- >b\r\n--- >");
    EXPECT_EQ(caption, "A<BR>B");
}

TEST(CaptionHeader, EmptyNoticeLeavesNoLineAndForeignHeadersReadLoosely) {
    std::string dir = MakeTempDir();
    TCaptionInfo info;
    info.FileName = dir + "c.smi";
    std::string bytes = SaveWith(info, info.FileName);
    EXPECT_NE(bytes.find("modify: 2026/12/09 10:30\r\n " + std::string(66, '-') + ">"), std::string::npos);

    TCaptionInfo back;
    std::string foreign = "<!-- CAPTION MAKER: Lee\nCreate: yesterday\n-->";
    ReadCaptionInfo(foreign, back);
    EXPECT_EQ(back.MakerName, "Lee");
    EXPECT_EQ(back.CreateTime, "");  // not a time the writer writes: the file's own time is used
    std::string none = "<!-- nothing here -->";
    ReadCaptionInfo(none, back);
    EXPECT_EQ(back.MakerName, "");
}
