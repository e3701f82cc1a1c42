// Random key sequences: the model never crashes, keeps its caret and selection inside the text,
// and undoing every step of plain editing (and of compositions, page breaks and templates mixed
// into it) gives the starting text back.

#include "QzPadTestUtil.h"

#include "platform/core/Cp949.h"

#include <random>

namespace {

struct Step {
    TVirtualKey key;
    uint8_t shift;
};

const Step kSteps[] = {
    {VK_LEFT, 0}, {VK_RIGHT, 0}, {VK_UP, 0}, {VK_DOWN, 0}, {VK_HOME, 0}, {VK_END, 0},
    {VK_LEFT, 1}, {VK_RIGHT, 1}, {VK_UP, 1}, {VK_DOWN, 1}, {VK_END, 1}, {VK_HOME, 5},
    {VK_LEFT, 4}, {VK_RIGHT, 4}, {VK_NEXT, 0}, {VK_PRIOR, 1}, {VK_DELETE, 0}, {VK_BACK, 0},
    {VK_RETURN, 0}, {VK_TAB, 0}, {'T', 4}, {VK_BACK, 4}, {'Y', 4}, {'Y', 5}, {VK_DELETE, 4},
    {'X', 4}, {'C', 4}, {'V', 4}, {'B', 4}, {VK_INSERT, 0}, {'I', 5}, {'U', 5}, {VK_ESCAPE, 0},
    {'A', 4}, {VK_RETURN, 1}, {'Z', 4},
};

TShiftState ShiftOf(uint8_t bits)
{
    TShiftState s;
    if (bits & 1) s |= TShiftState(ssShift);
    if (bits & 4) s |= TShiftState(ssCtrl);
    return s;
}

// Presses edits[pick], or types "q" for a pick past the edits.
template <size_t N>
void PressPick(TQzPadModel& pad, const Step (&edits)[N], int pick)
{
    if (pick >= static_cast<int>(N)) {
        char c = 'q';
        pad.KeyPress(c, TShiftState());
    } else {
        TVirtualKey k = edits[pick].key;
        pad.KeyDown(k, ShiftOf(edits[pick].shift));
    }
}

}  // namespace

TEST_F(PadTest, RandomKeysKeepTheModelSound)
{
    std::mt19937 rng(999);
    const std::string hangul = Cp949("가나다");
    for (int round = 0; round < 300; ++round) {
        SetText({"abc def", "\tx" + hangul, "", "  indented line here", hangul + " end"});
        pad.SetBlockMode(round % 3 == 0 ? qzbmColumn : qzbmLine);
        pad.SetEditMode(qzmInsert);
        pad.SetColumnCount(round % 4 == 1 ? 6 : 80);
        pad.SetWordWrap(round % 4 == 1 ? qzwwUser : qzwwNone);
        pad.SetOptions(pad.Options().Without(qzoScrollPastEOL));
        if (round % 5 == 2) pad.SetOptions(pad.Options().With(qzoScrollPastEOL));
        view.ClipboardSetText(round % 2 ? "p\r\nq" + hangul + "\r\n" : "zz");
        for (int i = 0; i < 300; ++i) {
            const int pick = static_cast<int>(rng() % (std::size(kSteps) + 6));
            std::string dbg;
            for (int q = 0; q < pad.Lines().Count(); ++q) dbg += "[" + pad.Lines()[q] + (pad.Lines().Attribute(q) && pad.Lines().Attribute(q)->Wrapped ? "]w " : "] ");
            dbg += " caret " + std::to_string(pad.CaretX()) + "," + std::to_string(pad.CaretY()) + " sel " + std::to_string(pad.SelAnchor().X) + "," + std::to_string(pad.SelAnchor().Y) + "-" + std::to_string(pad.SelMovingEnd().X) + "," + std::to_string(pad.SelMovingEnd().Y);
            if (pick >= static_cast<int>(std::size(kSteps))) {
                char c = pick % 2 ? 'k' : ' ';
                pad.KeyPress(c, TShiftState());
                if (pick == static_cast<int>(std::size(kSteps)) + 5) {
                    pad.ImeStartComposition();
                    pad.ImeComposition(Cp949("ㄱ"));
                    pad.ImeResult(Cp949("각"));
                    pad.ImeEndComposition();
                }
            } else {
                TVirtualKey k = kSteps[pick].key;
                pad.KeyDown(k, ShiftOf(kSteps[pick].shift));
            }
            ASSERT_GE(pad.Lines().Count(), 1);
            ASSERT_GE(pad.CaretY(), 0);
            ASSERT_LT(pad.CaretY(), pad.Lines().Count());
            ASSERT_GE(pad.CaretX(), 0);
            ASSERT_LT(pad.GetSelEnd().Y, pad.Lines().Count()) << "round " << round << " step " << i << " pick " << pick << "\n" << dbg;
            pad.BuildPaint();
        }
        while (pad.CanUndo()) pad.Undo();
        ASSERT_GE(pad.Lines().Count(), 1);
    }
}

TEST_F(PadTest, UndoingPlainEditingRestoresTheText)
{
    std::mt19937 rng(4242);
    const std::vector<std::string> start{"alpha beta", "  gamma", "delta epsilon", "zeta  "};
    const Step edits[] = {{VK_LEFT, 0}, {VK_RIGHT, 0}, {VK_UP, 0}, {VK_DOWN, 0}, {VK_END, 0},
                          {VK_DELETE, 0}, {VK_BACK, 0}, {VK_RETURN, 0}, {'T', 4}, {VK_BACK, 4},
                          {'Y', 4}, {'Y', 5}, {VK_RIGHT, 1}, {VK_DOWN, 1}, {'V', 4}, {'X', 4},
                          {VK_TAB, 0}, {'I', 5}, {'U', 5}, {VK_DELETE, 4}, {VK_HOME, 0}};
    view.ClipboardSetText("one\r\ntwo");
    for (int round = 0; round < 400; ++round) {
        SetText(start);
        pad.SetOptions(round % 2 ? pad.Options().Without(qzoAutoIndent) : pad.Options().With(qzoAutoIndent));
        pad.SetOptions(round % 3 == 1 ? pad.Options().Without(qzoUseSpace) : pad.Options().With(qzoUseSpace));
        pad.SetEditMode(round % 5 == 3 ? qzmOverwrite : qzmInsert);
        std::string trace;
        for (int i = 0; i < 60; ++i) {
            const int pick = static_cast<int>(rng() % (std::size(edits) + 2));
            trace += std::to_string(pick) + "@" + std::to_string(pad.CaretX()) + "," + std::to_string(pad.CaretY()) + ":";
            for (int q = 0; q < pad.Lines().Count(); ++q) trace += "[" + pad.Lines()[q] + "]";
            trace += "\n";
            PressPick(pad, edits, pick);
        }
        pad.SelectNone();
        while (pad.CanUndo()) pad.Undo();
        ASSERT_EQ(Lines(), start) << "round " << round << "\n" << trace;
    }
}

TEST_F(PadTest, UndoingEditsUnderWordWrapRestoresTheLogicalText)
{
    std::mt19937 rng(31337);
    const std::vector<std::string> start{"alpha beta gamma delta", "  epsilon", "", "zeta eta theta iota kappa"};
    const Step edits[] = {{VK_LEFT, 0}, {VK_RIGHT, 0}, {VK_UP, 0}, {VK_DOWN, 0}, {VK_END, 0},
                          {VK_DELETE, 0}, {VK_BACK, 0}, {VK_RETURN, 0}, {'T', 4}, {VK_BACK, 4},
                          {'Y', 5}, {VK_RIGHT, 1}, {VK_DOWN, 1}, {'V', 4}, {'X', 4}, {VK_HOME, 0}};
    std::string expected;
    for (const auto& l : start) expected += l + "\r\n";
    view.ClipboardSetText("one\r\ntwo");
    for (int round = 0; round < 400; ++round) {
        pad.SetWordWrap(qzwwNone);
        pad.SetColumnCount(7);
        SetText(start);
        pad.SetWordWrap(qzwwUser);
        pad.SetOptions(pad.Options().Without(qzoAutoIndent));
        std::string trace;
        for (int i = 0; i < 40; ++i) {
            const int pick = static_cast<int>(rng() % (std::size(edits) + 2));
            trace += std::to_string(pick) + "@" + std::to_string(pad.CaretX()) + "," + std::to_string(pad.CaretY()) + ":";
            for (int q = 0; q < pad.Lines().Count(); ++q)
                trace += "[" + pad.Lines()[q] + (pad.Lines().Attribute(q) && pad.Lines().Attribute(q)->Wrapped ? "]w" : "]");
            trace += "\n";
            PressPick(pad, edits, pick);
        }
        pad.SelectNone();
        while (pad.CanUndo()) pad.Undo();
        ASSERT_EQ(pad.LogicalText(), expected) << "round " << round << "\n" << trace;
    }
}

TEST_F(PadTest, CompositionsPageBreaksAndTemplatesUndoBackToTheStart)
{
    std::mt19937 rng(2718);
    const std::vector<std::string> start{"f(a[b]c) x", "  " + Cp949("한글") + " {y}", "", "end"};
    const std::string jamo[] = {Cp949("ㄱ"), Cp949("가"), Cp949("각"), "", "x", Cp949("가") + "a"};
    pad.FindCodeTemplateHandler = [](TQzPadModel&, const std::string& name) {
        return name == "x" ? std::string("if (|)\r\n{}") : std::string();
    };
    std::string expected;
    for (const auto& l : start) expected += l + "\r\n";
    for (int round = 0; round < 300; ++round) {
        pad.SetWordWrap(qzwwNone);
        pad.SetColumnCount(7);
        SetText(start);
        // Every other round under word wrap, which moves a composition between rows.
        if (round % 2) pad.SetWordWrap(qzwwUser);
        pad.SetEditMode(round % 3 == 1 ? qzmOverwrite : qzmInsert);
        pad.SetOptions(round % 4 == 2 ? pad.Options().With(qzoSelectMatchBrace) : pad.Options().Without(qzoSelectMatchBrace));
        std::string trace;
        for (int i = 0; i < 50; ++i) {
            const int pick = static_cast<int>(rng() % 14);
            trace += std::to_string(pick) + "@" + std::to_string(pad.CaretX()) + "," + std::to_string(pad.CaretY()) + ":";
            for (int q = 0; q < pad.Lines().Count(); ++q) trace += "[" + pad.Lines()[q] + "]";
            trace += "\n";
            switch (pick) {
            case 0: Key(VK_LEFT); break;
            case 1: Key(VK_RIGHT); break;
            case 2: Key(VK_DOWN); break;
            case 3: Key(VK_END); break;
            case 4: Key(VK_RIGHT, TShiftState(ssShift)); break;
            case 5: pad.ImeStartComposition(); break;
            case 6: pad.ImeComposition(jamo[rng() % std::size(jamo)]); break;
            case 7: pad.ImeResult(jamo[rng() % 3]); break;
            case 8: pad.ImeEndComposition(); break;
            case 9: pad.InsertPageBreak(); break;
            case 10: pad.MatchBrace(rng() % 2 == 0); break;
            case 11: pad.ShowCodeTemplates(); break;
            case 12: Key(VK_BACK); break;
            default: Type("q"); break;
            }
            ASSERT_GE(pad.CaretY(), 0);
            ASSERT_LT(pad.CaretY(), pad.Lines().Count());
            ASSERT_LT(pad.GetSelEnd().Y, pad.Lines().Count());
        }
        pad.ImeEndComposition();
        pad.SelectNone();
        while (pad.CanUndo()) pad.Undo();
        ASSERT_EQ(pad.LogicalText(), expected) << "round " << round << "\n" << trace;
    }
}
