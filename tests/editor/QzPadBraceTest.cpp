// Brace matching, the code-template shortcut and insertion, page breaks and macro replay.

#include "QzPadTestUtil.h"

#include "editor/model/QzPadMacro.h"
#include "platform/core/Cp949.h"

#include <map>

namespace {

using Ls = std::vector<std::string>;

// A macro that keeps its steps in memory.
class MemoryMacro : public IQzPadMacroRecorder {
public:
    struct Step {
        TQzPadCommand command;
        std::string data;
    };
    std::vector<Step> steps;
    bool recording = false;

    bool Recording() const override { return recording; }
    void AddStep(TQzPadCommand command, TPoint, TPoint, TPoint, const std::string& text) override
    {
        steps.push_back({command, text});
    }
    void RecordMacro() override
    {
        steps.clear();
        recording = true;
    }
    void StopRecord() override { recording = false; }
    int StepCount() const override { return static_cast<int>(steps.size()); }
    bool GetStep(int i, TQzPadCommand& command, std::string& data) const override
    {
        if (i < 0 || i >= StepCount()) return false;
        command = steps[static_cast<size_t>(i)].command;
        data = steps[static_cast<size_t>(i)].data;
        return true;
    }
};

}  // namespace

TEST_F(PadTest, MatchBraceForwardAndBackward)
{
    SetText({"f(a(b)c) (x"});
    Caret(1, 0);
    pad.ProcessEditorCommand(qzcForwardMatchBrace);
    EXPECT_EQ(pad.CaretPos(), TPoint(7, 0));
    pad.ProcessEditorCommand(qzcBackwardMatchBrace);
    EXPECT_EQ(pad.CaretPos(), TPoint(1, 0));
    EXPECT_FALSE(pad.GetSelectAvail());

    // No partner, no bracket under the caret, the caret past the end: nothing moves.
    Caret(9, 0);
    pad.MatchBrace(true);
    EXPECT_EQ(pad.CaretPos(), TPoint(9, 0));
    Caret(2, 0);
    pad.MatchBrace(true);
    pad.MatchBrace(false);
    EXPECT_EQ(pad.CaretPos(), TPoint(2, 0));
    Caret(11, 0);
    pad.MatchBrace(false);
    EXPECT_EQ(pad.CaretPos(), TPoint(11, 0));

    // Across lines, with nesting of the same kind only.
    SetText({"{ a", "  [ { } ]", "}"});
    Caret(0, 0);
    pad.MatchBrace(true);
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 2));
    pad.MatchBrace(false);
    EXPECT_EQ(pad.CaretPos(), TPoint(0, 0));
    Caret(2, 1);
    pad.MatchBrace(true);
    EXPECT_EQ(pad.CaretPos(), TPoint(8, 1));
}

TEST_F(PadTest, MatchBraceCountsTrailBytesAndSelectsWithTheOption)
{
    // The trail byte of this syllable is ']' (0x5D): the scan is byte-wise.
    const std::string syllable = "\x81\x5D";
    SetText({"[" + syllable + "x"});
    Caret(0, 0);
    pad.MatchBrace(true);
    EXPECT_EQ(pad.CaretPos(), TPoint(2, 0));

    pad.SetOptions(pad.Options().With(qzoSelectMatchBrace));
    SetText({"a(bc)d"});
    Caret(1, 0);
    pad.MatchBrace(true);
    EXPECT_EQ(pad.GetSelText(), "(bc)");
    EXPECT_EQ(pad.CaretPos(), TPoint(5, 0));
    Select(TPoint(4, 0), TPoint(4, 0));
    pad.MatchBrace(false);
    EXPECT_EQ(pad.GetSelText(), "(bc)");
    EXPECT_EQ(pad.CaretPos(), TPoint(1, 0));
}

TEST_F(PadTest, TemplateShortcutReplacesTheWordOrShowsThePopup)
{
    std::map<std::string, std::string> templates{{"if", "if (|) {\r\n}"}, {"b", "begin|end"}};
    std::vector<std::string> asked;
    int popups = 0;
    pad.FindCodeTemplateHandler = [&](TQzPadModel&, const std::string& name) {
        asked.push_back(name);
        auto it = templates.find(name);
        return it == templates.end() ? std::string() : it->second;
    };
    pad.ShowCodeTemplatesHandler = [&](TQzPadModel&) { ++popups; };

    SetText({"x = if"});
    Key(VK_END);
    pad.ProcessEditorCommand(qzcShowCodeTemplates);
    EXPECT_EQ(asked, Ls{"if"});
    EXPECT_EQ(Lines(), (Ls{"x = if () {", "}"}));
    EXPECT_EQ(pad.CaretPos(), TPoint(8, 0));
    EXPECT_EQ(popups, 0);
    // The word and the code are one step for undo.
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"x = if"});

    // In column block mode the word and the code are still replaced as a stream.
    pad.SetBlockMode(qzbmColumn);
    SetText({"x = if", "next"});
    Caret(6, 0);
    pad.ShowCodeTemplates();
    EXPECT_EQ(Lines(), (Ls{"x = if () {", "}", "next"}));
    EXPECT_EQ(pad.BlockMode(), qzbmColumn);
    pad.SetBlockMode(qzbmLine);

    SetText({"abc unknown"});
    Key(VK_END);
    pad.ShowCodeTemplates();
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(Lines(), Ls{"abc unknown"});

    // A code chosen in the popup goes in at the caret: "begin|end" at column 4 leaves the caret
    // at column 9.
    SetText({"abcdXY"});
    Caret(4, 0);
    pad.InsertCodeTemplate("begin|end");
    EXPECT_EQ(Lines(), Ls{"abcdbeginendXY"});
    EXPECT_EQ(pad.CaretPos(), TPoint(9, 0));
    // Without "|" the caret stays where the insertion leaves it; LF counts as a line break.
    SetText({"ab"});
    Caret(1, 0);
    pad.InsertCodeTemplate("x\ny|z");
    EXPECT_EQ(Lines(), (Ls{"ax", "yzb"}));
    EXPECT_EQ(pad.CaretPos(), TPoint(1, 1));
    pad.InsertCodeTemplate("Q");
    EXPECT_EQ(pad.CaretPos(), TPoint(2, 1));

    pad.SetOptions(pad.Options().With(qzoReadOnly));
    Key(VK_END);
    pad.InsertCodeTemplate("no");
    SetText({"if"});
    Key(VK_END);
    pad.ShowCodeTemplates();
    EXPECT_EQ(Lines(), Ls{"if"});
}

TEST(QzCodeTemplatesPopup, StaysOnTheScreen)
{
    const TRect screen(0, 0, 1000, 800);
    EXPECT_EQ(QzCodeTemplatesPopupPos(TPoint(100, 100), 17, 400, 100, screen), TPoint(100, 117));
    EXPECT_EQ(QzCodeTemplatesPopupPos(TPoint(700, 100), 17, 400, 100, screen), TPoint(300, 117));
    EXPECT_EQ(QzCodeTemplatesPopupPos(TPoint(100, 750), 17, 400, 100, screen), TPoint(100, 650));
}

TEST_F(PadTest, PageBreakStartsALineWithAFormFeed)
{
    SetText({"abcdef"});
    Caret(0, 0);
    pad.InsertPageBreak();
    EXPECT_EQ(Lines(), Ls{"\fabcdef"});
    EXPECT_EQ(pad.UndoItems().Count(), 1);

    // Mid-line: the line breaks without indent, in overwrite mode too, and the selection goes
    // first.
    SetText({"  indented text"});
    pad.SetEditMode(qzmOverwrite);
    Select(TPoint(8, 0), TPoint(10, 0));
    pad.InsertPageBreak();
    EXPECT_EQ(Lines(), (Ls{"  indent", "\f text"}));
    EXPECT_EQ(pad.CaretPos(), TPoint(1, 1));
    EXPECT_EQ(pad.EditMode(), qzmOverwrite);
    EXPECT_TRUE(pad.HasOption(qzoAutoIndent));
    pad.Undo();
    pad.Undo();
    pad.Undo();
    EXPECT_EQ(Lines(), Ls{"  indented text"});

    pad.SetOptions(pad.Options().With(qzoReadOnly));
    pad.InsertPageBreak();
    EXPECT_EQ(Lines(), Ls{"  indented text"});
}

TEST_F(PadTest, MacroRecordsAndReplaysTypingCommandsAndBlocks)
{
    MemoryMacro macro;
    pad.SetMacro(&macro);
    SetText({"one", "two", "three"});
    pad.RecordMacro();
    EXPECT_TRUE(macro.recording);
    Type("> ");
    Key(VK_DOWN);
    Key(VK_HOME);
    pad.StopRecord();
    EXPECT_FALSE(macro.recording);
    ASSERT_EQ(macro.StepCount(), 4);
    EXPECT_EQ(macro.steps[0].command, qzcInsert);
    EXPECT_EQ(macro.steps[0].data, ">");
    EXPECT_EQ(macro.steps[2].command, qzcMoveDown);

    pad.PlayMacro(2);
    EXPECT_EQ(Lines(), (Ls{"> one", "> two", "> three"}));
    EXPECT_EQ(macro.StepCount(), 4);  // the replay recorded nothing
    pad.Undo();  // replayed typing undoes like typing, one character at a time
    EXPECT_EQ(Lines(), (Ls{"> one", "> two", ">three"}));

    macro.steps = {{qzcInsertBlock, "a\r\nb"}, {qzcLineEnd, ""}};
    SetText({"xy"});
    pad.PlayMacro(1);
    EXPECT_EQ(Lines(), (Ls{"a", "bxy"}));
    EXPECT_EQ(pad.CaretPos(), TPoint(3, 1));
    EXPECT_EQ(pad.UndoItems().Last()->Command, qzcInsertBlock);

    // Nothing for a count below 1, in read-only mode or without a macro.
    pad.PlayMacro(0);
    EXPECT_EQ(Lines(), (Ls{"a", "bxy"}));
    pad.SetOptions(pad.Options().With(qzoReadOnly));
    pad.PlayMacro(3);
    EXPECT_EQ(Lines(), (Ls{"a", "bxy"}));
    pad.SetOptions(pad.Options().Without(qzoReadOnly));
    pad.SetMacro(nullptr);
    pad.PlayMacro(1);
    pad.RecordMacro();
    EXPECT_EQ(Lines(), (Ls{"a", "bxy"}));
}

TEST_F(PadTest, MacroComponentRecordsAndReplaysThroughTheControl)
{
    TQzPadMacro macro;
    pad.SetMacro(&macro);
    SetText({"a", "b"});
    pad.RecordMacro();
    Type("-");
    Key(VK_DOWN);
    Key(VK_HOME);
    pad.StopRecord();
    EXPECT_FALSE(macro.Recording());
    SetText({"a", "b", "c"});
    pad.PlayMacro(3);
    EXPECT_EQ(Lines(), (Ls{"-a", "-b", "-c"}));
    EXPECT_EQ(macro.Count(), 3);
    pad.SetMacro(nullptr);
}
