#include "editor/model/QzPadMacro.h"

#include "editor/model/QzFileError.h"
#include "platform/core/FileUtils.h"

#include <gtest/gtest.h>

namespace {

std::string Path(const char* name)
{
    return ::testing::TempDir() + "/" + name;
}

}  // namespace

TEST(QzPadMacro, RecordingFlags)
{
    TQzPadMacro m;
    EXPECT_FALSE(m.Recording());
    EXPECT_FALSE(m.Modified());
    m.Macro().AddMacro(qzcMoveLeft, TPoint(1, 2), TPoint(), TPoint(), "");
    m.RecordMacro();
    EXPECT_TRUE(m.Recording());
    EXPECT_TRUE(m.Modified());
    EXPECT_EQ(m.Count(), 0);
    m.AddStep(qzcInsert, TPoint(3, 0), TPoint(1, 0), TPoint(2, 0), "abc");
    m.SetRecording(false);
    EXPECT_FALSE(m.Recording());
    ASSERT_EQ(m.Count(), 1);
    EXPECT_EQ(m.Macro().Items(0).Caret, TPoint(3, 0));
    EXPECT_EQ(m.Macro().Items(0).SelB, TPoint(2, 0));
    m.Clear();
    EXPECT_EQ(m.Count(), 0);
    EXPECT_TRUE(m.Modified());
}

TEST(QzPadMacro, RecordsStepsOfTheEditor)
{
    TQzPadModel pad;
    TQzPadMacro m;
    pad.SetMacro(&m);
    pad.ProcessEditorCommand(qzcMoveRight);  // not recording: nothing kept
    m.RecordMacro();
    pad.AddChar('h');
    pad.ProcessEditorCommand(qzcMoveLeft);
    m.StopRecord();
    pad.ProcessEditorCommand(qzcMoveRight);
    ASSERT_EQ(m.Count(), 2);
    EXPECT_EQ(m.Macro().Items(0).Command, qzcInsert);
    EXPECT_EQ(m.Macro().Items(0).Data, "h");
    EXPECT_EQ(m.Macro().Items(1).Command, qzcMoveLeft);
    pad.SetMacro(nullptr);
}

TEST(QzPadMacro, FileKeepsCommandAndDataOnly)
{
    TQzPadMacro m;
    m.RecordMacro();
    m.AddStep(qzcInsert, TPoint(4, 1), TPoint(1, 1), TPoint(2, 1), "text");
    m.AddStep(qzcLineEnd, TPoint(9, 9), TPoint(9, 9), TPoint(9, 9), "");
    m.AddStep(qzcInsertBlock, TPoint(), TPoint(), TPoint(), std::string(300, 'x'));
    m.StopRecord();
    const std::string path = Path("qzpad_macro.mac");
    m.SaveToFile(path);
    EXPECT_FALSE(m.Modified());

    std::string data;
    ASSERT_TRUE(ReadFileBytes(path, data));
    const std::string head("\x0E\x01\x07" "Command\x07\x09qzcInsert\x04" "Data\x06\x04text\x00", 33);
    EXPECT_EQ(data.substr(0, head.size()), head);
    EXPECT_EQ(data.substr(data.size() - 2), std::string("\0\0", 2));

    TQzPadMacro loaded;
    loaded.RecordMacro();
    loaded.LoadFromFile(path);
    EXPECT_FALSE(loaded.Modified());
    ASSERT_EQ(loaded.Count(), 3);
    EXPECT_EQ(loaded.Macro().Items(0).Command, qzcInsert);
    EXPECT_EQ(loaded.Macro().Items(0).Data, "text");
    EXPECT_EQ(loaded.Macro().Items(0).Caret, TPoint(0, 0));
    EXPECT_EQ(loaded.Macro().Items(0).SelA, TPoint(0, 0));
    EXPECT_EQ(loaded.Macro().Items(1).Command, qzcLineEnd);
    EXPECT_EQ(loaded.Macro().Items(1).Data, "");
    EXPECT_EQ(loaded.Macro().Items(2).Data, std::string(300, 'x'));
    DeleteFile(path);
}

TEST(QzPadMacro, ALoadedMacroReplaysInTheEditor)
{
    TQzPadModel recorder;
    TQzPadMacro m;
    recorder.SetMacro(&m);
    recorder.RecordMacro();
    recorder.AddChar('a');
    recorder.AddChar('b');
    recorder.ProcessEditorCommand(qzcLineBegin);
    recorder.StopRecord();
    recorder.SetMacro(nullptr);
    const std::string path = Path("qzpad_replay.mac");
    m.SaveToFile(path);

    TQzPadMacro loaded;
    loaded.LoadFromFile(path);
    TQzPadModel player;
    player.SetMacro(&loaded);
    player.PlayMacro(2);
    EXPECT_EQ(player.Lines()[0], "abab");
    EXPECT_EQ(player.CaretPos(), TPoint(0, 0));
    player.SetMacro(nullptr);
    DeleteFile(path);
}

TEST(QzPadMacro, BadFilesRaiseAndKeepTheSteps)
{
    TQzPadMacro m;
    m.Macro().AddMacro(qzcUndo, TPoint(), TPoint(), TPoint(), "");
    EXPECT_THROW(m.LoadFromFile(Path("qzpad_missing.mac")), EFOpenError);

    const std::string path = Path("qzpad_bad.mac");
    for (const std::string& bad :
         {std::string("plain text"), std::string("\x0E\x01\x07" "Command\x07\x05nope!\x00\x00", 19),
          std::string("\x0E\x01\x04" "Size\x02\x05\x00\x00", 11), std::string("\x0E\x01", 2), std::string()}) {
        ASSERT_TRUE(WriteFileAtomic(path, bad));
        EXPECT_THROW(m.LoadFromFile(path), EReadError);
        ASSERT_EQ(m.Count(), 1);
        EXPECT_EQ(m.Macro().Items(0).Command, qzcUndo);
    }
    DeleteFile(path);
    EXPECT_THROW(m.SaveToFile("/nonexistent-dir/x.mac"), EFCreateError);
}
