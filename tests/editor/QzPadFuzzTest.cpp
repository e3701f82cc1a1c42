// Random runs of commands, keys, mouse edits, input-method events, templates, page breaks, macro
// replays, replacements, rewrites, bookmarks and undo over code page 949 text (extended syllables
// whose trail bytes are ASCII letters, tabs, form feeds), in every combination of block mode, edit
// mode and word wrap, with ScrollPastEOL, auto-indent, tab size, indent size and wrap width drawn
// per run.
//
// After every step: no line holds half a character (or a character other than those put in) and,
// after a change of the text, the caret rests on a character's first byte; painted text starts on
// a character; no numbered bookmark stands on two lines; a delete or cut of a column block leaves
// exactly the text outside the block as its rows stood before the step; a column paste leaves
// each piece whole at the block's column of the row under the one that holds the end of the
// piece before it; a press or a drop on a row of a column block acts as on the block only inside
// its columns on that row; a block indent or unindent of a stream and a replace-all leave the
// lines that plain strings give, in the rows a wrap of them gives, and an indent leaves the caret
// and the selection on their text. Every few steps, and at the end of every run, undo is checked
// at every depth against the text as plain strings before each step. Many runs start from one
// long line wrapped into many rows.
//
// Bookmarks under undo: setting one is no edit, so undo gives back the text and leaves a bookmark
// set since on its line (unless the undo takes that line out). Undo to a depth therefore gives
// back the bookmarks of that moment exactly only while no bookmark was set or cleared since (a
// bookmark command, a click in the gutter, a macro replay that changed them); after one, only the
// text is compared there. What is compared are the bookmarks of the lines, on the first row of
// each: a bookmark on a continuation row goes with that row whenever the layout builds the rows of
// its line again (a composition shown in it too, which is no edit either).
//
// QZPAD_FUZZ_STEPS sets the steps per combination (a few hundred by default, so that the suite
// stays fast under the sanitizers; the long run uses 100000); QZPAD_FUZZ_SEED other runs.

#include "QzPadTestUtil.h"

#include "editor/model/QzPadDbcs.h"
#include "editor/model/QzPadMacro.h"
#include "editor/model/QzPadSearch.h"
#include "editor/model/QzPadTransform.h"
#include "platform/core/Cp949.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <utility>

namespace {

using Text = std::vector<std::string>;

// Bytes typed on their own: none of them is a trail byte of the syllables below, so a lost lead
// byte or a split character always leaves a byte or a pair that cannot stand.
const char kAscii[] = " qkxyz(){}a";
const char* const kSyllables[] = {"가", "나", "한", "글", "똠", "햏", "쌰", "뷁", "ㄱ", "각"};
constexpr int kRunLength = 150;  // steps of one run before the modes and the text are drawn again

struct Combination {
    TQzBlockMode block;
    TQzEditMode edit;
    TQzWordWrapOption wrap;
};
constexpr int kCombinations = 12;

Combination CombinationOf(int c)
{
    return {c % 2 ? qzbmColumn : qzbmLine, (c / 2) % 2 ? qzmOverwrite : qzmInsert, static_cast<TQzWordWrapOption>(c / 4)};
}

std::string CombinationName(int c)
{
    static const char* const wraps[] = {"NoWrap", "WindowWrap", "ColumnWrap"};
    const Combination m = CombinationOf(c);
    return std::string(m.block == qzbmColumn ? "Column" : "Stream") + (m.edit == qzmOverwrite ? "Overwrite" : "Insert") +
           wraps[m.wrap];
}

// QZPAD_FUZZ_SEED draws other runs than CI's.
uint32_t BaseSeed()
{
    const char* env = std::getenv("QZPAD_FUZZ_SEED");
    return env ? static_cast<uint32_t>(std::strtoul(env, nullptr, 10)) : 20261209u;
}

int StepsPerCombination()
{
    const char* env = std::getenv("QZPAD_FUZZ_STEPS");
    const int n = env ? std::atoi(env) : 0;
    return n > 0 ? n : 400;
}

// What a step did to the undo list besides recording.
enum class Effect { Plain, Resets, Empties };

// The commands a run draws from: those of the first runs, those with the replacements, the
// rewrites and the bookmarks besides, those with column blocks down the rows of one long line
// besides (its texts and commands), or those with block indents and replacements over a stream
// of rows besides, so that a run kept from an earlier set replays as it failed.
enum class Commands { First, WithRewritesAndBookmarks, WithLongLineBlocks, WithStreamRewrites };

class Fuzz {
public:
    Fuzz(TQzPadModel& pad, RecorderView& view, Commands commands = Commands::WithStreamRewrites)
        : pad_(pad), view_(view), transform_(pad), search_(pad), commands_(commands)
    {
        for (const char* u : kSyllables) {
            syllables_.push_back(Cp949(u));
            pairs_.insert(syllables_.back());
        }
        pad_.SetMacro(&macro_);
        pad_.FindCodeTemplateHandler = [](TQzPadModel&, const std::string& name) {
            if (name == "x") return std::string("a (|)\r\n{}");
            if (name == "q") return std::string("\t|x");
            if (name == "k") return Cp949("가|\t나");
            return std::string();
        };
    }
    ~Fuzz() { pad_.SetMacro(nullptr); }

    // Runs of kRunLength steps until `steps` steps have run; stops at the first fault.
    void RunSteps(int combo, uint32_t seed, int steps)
    {
        std::mt19937 runs(seed);
        for (int done = 0; done < steps && failure.empty(); done += kRunLength)
            RunOne(combo, runs(), std::min(kRunLength, steps - done));
    }

    // One run: the modes and the text drawn from `seed`, then `steps` steps.
    void RunOne(int combo, uint32_t seed, int steps)
    {
        rng_.seed(seed);
        seed_ = seed;
        combo_ = combo;
        trace_.clear();
        Start(CombinationOf(combo));
        for (step_ = 0; step_ < steps && failure.empty(); ++step_) {
            Step();
            if (failure.empty() && Pick(8) == 0) UndoCheck(false);
        }
        if (failure.empty()) UndoCheck(true);
        stepsRun += steps;
    }

    std::string failure;
    long stepsRun = 0;
    long rewritesRecorded = 0;  // replacements and rewrites that changed the text
    long marksChanged = 0;      // bookmark steps that set or cleared a bookmark
    long undosChecked = 0;  // undo steps taken by the checks, each compared where its depth is known
    long removalsChecked = 0;  // column removals compared with the block as it stood
    long pastesChecked = 0;    // column pastes whose pieces were found where they belong
    long pointsChecked = 0;    // presses and drops on a column block's rows, inside it or beside
    long streamRewritesChecked = 0;  // indents and replacements over a stream of rows compared
    long rowCountsChanged = 0;       // of those, the ones that changed the number of rows

private:
    unsigned Pick(unsigned n) { return static_cast<unsigned>(rng_() % n); }

    // ---- random text ----

    std::string Chars(int n, bool tabs)
    {
        std::string s;
        for (int i = 0; i < n; ++i) {
            const unsigned r = Pick(10);
            if (r < 5)
                s += kAscii[Pick(sizeof kAscii - 1)];
            else if (r == 5 && tabs)
                s += '\t';
            else
                s += syllables_[Pick(static_cast<unsigned>(syllables_.size()))];
        }
        return s;
    }

    Text Lines()
    {
        // One long line, wrapped into many rows at the narrow widths the runs draw.
        if (commands_ >= Commands::WithLongLineBlocks && Pick(3) == 0) return {Chars(20 + static_cast<int>(Pick(60)), true)};
        Text t;
        const int n = 1 + static_cast<int>(Pick(6));
        for (int i = 0; i < n; ++i) {
            std::string line = Pick(5) == 0 ? std::string(1 + Pick(4), ' ') : std::string();
            if (Pick(20) == 0) line = "\f" + line;
            t.push_back(line + Chars(static_cast<int>(Pick(15)), true));
        }
        return t;
    }

    // A text of one to three lines with any of the line ends, for pasting and inserting.
    std::string Piece()
    {
        static const char* const breaks[] = {"\r\n", "\n", "\r"};
        std::string s = Chars(static_cast<int>(Pick(7)), true);
        for (unsigned k = Pick(3); k > 0; --k) s += breaks[Pick(3)] + Chars(static_cast<int>(Pick(7)), true);
        if (Pick(4) == 0) s += "\r\n";
        return s;
    }

    // A template code: a piece with "|" at a character boundary.
    std::string Template()
    {
        const std::string s = Piece();
        std::vector<size_t> bounds{0};
        for (size_t i = 0; i < s.size();) {
            i += static_cast<unsigned char>(s[i]) >= 0x80 ? 2 : 1;
            bounds.push_back(std::min(i, s.size()));
        }
        const size_t at = bounds[Pick(static_cast<unsigned>(bounds.size()))];
        return s.substr(0, at) + "|" + s.substr(at);
    }

    // ---- the run ----

    void Start(const Combination& m)
    {
        pad_.ImeEndComposition();
        pad_.StopRecord();
        macro_.Clear();
        pad_.SetWordWrap(qzwwNone);
        TQzPadOptions o = TQzPadOptions::FromWord(QzPadDefaultOptionsWord);
        if (Pick(2)) o.Include(qzoScrollPastEOL);
        if (Pick(2)) o.Exclude(qzoAutoIndent);
        if (Pick(2)) o.Exclude(qzoUseSpace);
        if (Pick(4) == 0) o.Include(qzoSelectMatchBrace);
        pad_.SetOptions(o);
        pad_.SetTabSize(1 + static_cast<int>(Pick(8)));
        pad_.SetIndentSize(1 + static_cast<int>(Pick(3)));
        pad_.SetColumnCount(3 + static_cast<int>(Pick(10)));
        pad_.SetClientSize(34 + (5 + static_cast<int>(Pick(12))) * 8, 4 + 8 * 17);
        pad_.SetLines(Lines());
        pad_.SetBlockMode(m.block);
        pad_.SetEditMode(m.edit);
        pad_.SetWordWrap(m.wrap);
        view_.ClipboardSetText(Piece());
        Reset();
    }

    void Step()
    {
        static const unsigned kRange[] = {100, 112, 124, 134};
        const unsigned r = Pick(kRange[static_cast<int>(commands_)]);
        std::string what;
        Effect effect = Effect::Plain;
        if (r < 12) {
            char c = kAscii[Pick(sizeof kAscii - 1)];
            pad_.KeyPress(c, TShiftState());
            what = std::string("type '") + c + "'";
        } else if (r < 17) {
            // A double-byte character typed without composing, as the window hands it over.
            const std::string& s = syllables_[Pick(static_cast<unsigned>(syllables_.size()))];
            pad_.ImeStartComposition();
            pad_.ImeResult(s);
            what = "type " + Cp949ToUtf8(s);
        } else if (r < 27) {
            what = Ime();
        } else if (r < 44) {
            what = Move();
        } else if (r < 56) {
            what = Delete();
        } else if (r < 60) {
            Key(VK_RETURN, Pick(3) == 0 ? TShiftState(ssShift) : TShiftState());
            what = "enter";
        } else if (r < 63) {
            Key(VK_TAB);
            what = "tab";
        } else if (r < 67) {
            Key('Z', TShiftState(ssCtrl));
            what = "ctrl+z";
        } else if (r < 72) {
            what = Clipboard();
        } else if (r < 74) {
            Key(Pick(2) ? 'B' : VK_INSERT, Pick(2) ? TShiftState(ssCtrl) : TShiftState());
            what = "toggle mode";
        } else if (r < 76) {
            Key(Pick(2) ? VK_ESCAPE : 'A', Pick(2) ? TShiftState(ssCtrl) : TShiftState());
            what = "select all/none";
        } else if (r < 79) {
            const bool indent = Pick(2) == 0;
            Key(indent ? 'I' : 'U', TShiftState(ssShift) | TShiftState(ssCtrl));
            what = indent ? "block indent" : "block unindent";
        } else if (r < 86) {
            what = Mouse();
        } else if (r < 92) {
            what = Insertion();
        } else if (r < 100) {
            what = Setting(effect);
        } else if (r < 105) {
            what = Rewrite();
        } else if (r < 112) {
            what = Bookmark();
        } else if (r < 124) {
            what = ColumnBlock();
        } else {
            what = StreamRewrite();
        }
        Observe(what, effect);
    }

    void Key(TVirtualKey key, TShiftState shift = TShiftState()) { pad_.KeyDown(key, shift); }

    std::string Ime()
    {
        static const char* const comps[] = {"ㄱ", "가", "각", "", "x", "가a", "똠"};
        static const char* const results[] = {"가", "각", "한", "똠", "쌰", "가a"};
        switch (Pick(4)) {
        case 0: pad_.ImeStartComposition(); return "ime start";
        case 1: {
            const char* c = comps[Pick(std::size(comps))];
            pad_.ImeComposition(Cp949(c));
            return std::string("ime composition ") + c;
        }
        case 2: {
            const char* c = results[Pick(std::size(results))];
            pad_.ImeResult(Cp949(c));
            return std::string("ime result ") + c;
        }
        default: pad_.ImeEndComposition(); return "ime end";
        }
    }

    std::string Move()
    {
        static const TVirtualKey keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_PRIOR, VK_NEXT};
        const TVirtualKey k = keys[Pick(std::size(keys))];
        TShiftState shift;
        if (Pick(3) == 0) shift |= TShiftState(ssShift);
        if (Pick(6) == 0) shift |= TShiftState(ssCtrl);
        Key(k, shift);
        if (Pick(10) == 0) pad_.HScroll(Pick(2) ? qzscLineDown : qzscLineUp);
        return "move " + std::to_string(k) + (shift.Contains(ssShift) ? "+shift" : "") + (shift.Contains(ssCtrl) ? "+ctrl" : "");
    }

    std::string Delete()
    {
        struct K {
            TVirtualKey key;
            TShiftState shift;
            const char* name;
        };
        static const K keys[] = {
            {VK_DELETE, TShiftState(), "delete"},          {VK_BACK, TShiftState(), "backspace"},
            {VK_DELETE, TShiftState(), "delete"},          {VK_BACK, TShiftState(), "backspace"},
            {'T', TShiftState(ssCtrl), "delete word"},      {VK_BACK, TShiftState(ssCtrl), "delete previous word"},
            {'Y', TShiftState(ssCtrl), "delete line"},      {'Y', TShiftState(ssCtrl) | TShiftState(ssShift), "delete to end"},
            {VK_DELETE, TShiftState(ssCtrl), "delete block"},
        };
        const K& k = keys[Pick(std::size(keys))];
        // Delete and backspace take a selection out, as the delete-block command does.
        if (k.key == VK_DELETE || (k.key == VK_BACK && k.shift == TShiftState())) ExpectColumnRemoval();
        Key(k.key, k.shift);
        return k.name;
    }

    std::string Clipboard()
    {
        switch (Pick(6)) {
        case 0:
            ExpectColumnRemoval();
            Key('X', TShiftState(ssCtrl));
            return "cut";
        case 1: Key('C', TShiftState(ssCtrl)); return "copy";
        case 2: view_.ClipboardSetText(Piece()); return "new clipboard";
        default: Key('V', TShiftState(ssCtrl)); return "paste " + Escaped(view_.clipboard);
        }
    }

    TPoint CellPixel(int col, int row)
    {
        const TRect& r = pad_.EditRect();
        return TPoint(r.Left + col * pad_.CharWidth() + static_cast<int>(Pick(static_cast<unsigned>(pad_.CharWidth()))),
                      r.Top + row * pad_.LineHeight() + 2);
    }

    TPoint RandomPixel() { return CellPixel(static_cast<int>(Pick(22)) - 2, static_cast<int>(Pick(10)) - 1); }

    std::string Mouse()
    {
        marksSet_ = true;  // a click in the gutter toggles a bookmark
        TPoint p = RandomPixel();
        const unsigned kind = Pick(5);
        if (kind == 4) {
            // The window drops a dragged selection where the button goes up.
            const bool copy = Pick(2) == 0;
            pad_.DragDrop(true, p.X, p.Y, copy ? TShiftState(ssCtrl) : TShiftState());
            return copy ? "drop copy" : "drop move";
        }
        if (kind == 3) {
            pad_.MouseDown(mbLeft, TShiftState(ssLeft) | TShiftState(ssDouble), p.X, p.Y);
            pad_.DblClick(p.X, p.Y);
            pad_.MouseUp(mbLeft, TShiftState(), p.X, p.Y);
            return "double click";
        }
        pad_.MouseDown(mbLeft, TShiftState(ssLeft) | (Pick(4) == 0 ? TShiftState(ssShift) : TShiftState()), p.X, p.Y);
        std::string what = "click";
        if (kind >= 1) {
            const TShiftState held = TShiftState(ssLeft) | (Pick(2) ? TShiftState(ssAlt) : TShiftState());
            for (unsigned k = 1 + Pick(3); k > 0; --k) {
                p = RandomPixel();
                pad_.MouseMove(held, p.X, p.Y);
            }
            what = held.Contains(ssAlt) ? "drag column block" : "drag";
        }
        if (view_.dragStarted) {
            // The window drops a dragged selection where the button goes up.
            view_.dragStarted = false;
            const bool copy = Pick(2) == 0;
            pad_.DragDrop(true, p.X, p.Y, copy ? TShiftState(ssCtrl) : TShiftState());
            return copy ? "drop copy" : "drop move";
        }
        pad_.MouseUp(mbLeft, TShiftState(), p.X, p.Y);
        return what;
    }

    std::string Insertion()
    {
        switch (Pick(7)) {
        case 0: pad_.InsertPageBreak(); return "page break";
        case 1: pad_.ProcessEditorCommand(Pick(2) ? qzcForwardMatchBrace : qzcBackwardMatchBrace); return "match brace";
        case 2: Key('J', TShiftState(ssCtrl)); return "template shortcut";
        case 3: {
            const std::string code = Template();
            pad_.InsertCodeTemplate(code);
            return "template " + Escaped(code);
        }
        case 4: {
            const std::string s = Piece();
            pad_.SetSelText(s);
            return "set selected text " + Escaped(s);
        }
        // A menu command reaches the control after the input method has ended a composition.
        case 5:
            pad_.ImeEndComposition();
            transform_.AlignLine(static_cast<TQzAlignment>(Pick(3)));
            return "align";
        default:
            pad_.ImeEndComposition();
            transform_.JoinLines();
            return "join lines";
        }
    }

    // A text to search for: a character, a word, or a pattern with a set, a star or an anchor.
    std::string SearchText(bool regular)
    {
        static const char* const patterns[] = {"[a-z]", "k*",  "x[yz]*",  "^ ", "a$", "[^ ]",
                                               "(",     "가*", "[가-힣]", "\\(", "."};
        if (regular && Pick(2)) {
            const char* p = patterns[Pick(std::size(patterns))];
            return Cp949(p);
        }
        if (Pick(2)) {
            // A character of the text, so that most replacements find something.
            const int y = static_cast<int>(Pick(static_cast<unsigned>(pad_.Lines().Count())));
            const std::string line = pad_.ExpandedLine(y);
            std::vector<std::string> chars;
            for (size_t i = 0; i < line.size();) {
                const size_t n = static_cast<unsigned char>(line[i]) >= 0x80 ? 2 : 1;
                chars.push_back(line.substr(i, n));
                i += n;
            }
            if (!chars.empty()) return chars[Pick(static_cast<unsigned>(chars.size()))];
        }
        return Pick(3) ? Chars(1, false) : Chars(1 + static_cast<int>(Pick(3)), false);
    }

    // The menu commands that rewrite lines; the input method has ended a composition before them.
    std::string Rewrite()
    {
        pad_.ImeEndComposition();
        const int depth = pad_.UndoItems().Count();
        auto counted = [&](std::string what) {
            if (pad_.UndoItems().Count() > depth) ++rewritesRecorded;
            return what;
        };
        switch (Pick(6)) {
        case 0: transform_.TabToSpace(); return counted("tab to space");
        case 1: pad_.WrappedLineToNewLine(); return counted("wrapped line to new line");
        default: {
            // In the selection, or from the caret to the end when it is collapsed.
            if (Pick(3) == 0) pad_.SetSelStart(pad_.CaretPos());
            TQzFindOptions o;
            const bool regular = Pick(2) == 0;
            if (regular) o.Include(qzfoRegular);
            if (Pick(2)) o.Include(qzfoMatchCase);
            if (Pick(4) == 0) o.Include(qzfoWholeWord);
            const std::string find = SearchText(regular);
            const std::string by = Chars(static_cast<int>(Pick(4)), Pick(4) == 0);
            search_.ReplaceAll(find, by, o);
            return counted(std::string(pad_.GetSelectAvail() ? "replace in the selection " : "replace to the end ") +
                           (regular ? "pattern " : "") + Escaped(find) + " by " + Escaped(by));
        }
        }
    }

    // Column blocks down the rows (continuation rows of one long line in many runs): one made
    // with the mouse, a column paste whose pieces reach, miss or pass their rows' ends, and a
    // press or a drop on one of the block's rows, beside the block or inside it.
    std::string ColumnBlock()
    {
        marksSet_ = true;  // presses and drops land near the gutter
        switch (Pick(5)) {
        case 0: return SelectBlock();
        case 1: case 2: return PasteToRowEnds();
        default: return PressOrDrop(Pick(2) == 0);
        }
    }

    // Alt and the left button held from one cell to another, some rows down.
    std::string SelectBlock()
    {
        const int top = static_cast<int>(Pick(4));
        const TPoint from = CellPixel(static_cast<int>(Pick(8)), top);
        const TPoint to = CellPixel(static_cast<int>(Pick(10)), top + 1 + static_cast<int>(Pick(4)));
        pad_.MouseDown(mbLeft, TShiftState(ssLeft), from.X, from.Y);
        if (pad_.GetSelectAvail()) {
            // Pressed on the selection: released there, the press collapses it.
            pad_.MouseUp(mbLeft, TShiftState(), from.X, from.Y);
            pad_.MouseDown(mbLeft, TShiftState(ssLeft), from.X, from.Y);
        }
        pad_.MouseMove(TShiftState(ssLeft) | TShiftState(ssAlt), to.X, to.Y);
        pad_.MouseUp(mbLeft, TShiftState(), to.X, to.Y);
        return "column block by the mouse";
    }

    std::string PasteToRowEnds()
    {
        const int width = pad_.WordWrap() == qzwwNone ? 3 + static_cast<int>(Pick(8)) : pad_.WrapWidth();
        const int target = std::max(1, width - pad_.CaretX() + static_cast<int>(Pick(3)) - 1);
        std::vector<std::string> pieces(2 + Pick(4));
        std::string block;
        for (std::string& piece : pieces) {
            while (static_cast<int>(piece.size()) < target) piece += Chars(1, false);
            block += piece + "\r\n";
        }
        view_.ClipboardSetText(block);
        // Where the block goes: the caret's column (a row short of it is padded), after a
        // character the caret stands inside.
        const bool checked = pad_.BlockMode() == qzbmColumn && !pad_.GetSelectAvail() && !pad_.Composing();
        const TPoint at(QzAdjustEdge(pad_.ExpandedCurLine(), pad_.CaretX()), pad_.CaretY());
        Key('V', TShiftState(ssCtrl));
        if (checked) {
            ++pastesChecked;
            fault_ = CheckColumnPaste(at, pieces);
        }
        return "paste to the rows' ends " + Escaped(block);
    }

    // The pieces of a column paste made at `at` without a selection, as the rows stand after it:
    // each whole at the block's column of its row (after a character the column falls inside, for
    // that row and those below), counted in the text of its logical line, and each on the row
    // under the one that holds the last byte of the piece before it.
    std::string CheckColumnPaste(TPoint at, const std::vector<std::string>& pieces) const
    {
        int y = at.Y;
        int k = at.X;
        for (size_t i = 0; i < pieces.size(); ++i) {
            const std::string where = "piece " + std::to_string(i) + " of the column paste ";
            if (y >= pad_.Lines().Count()) return where + "has no row";
            if (QzIsTrailAt(pad_.ExpandedLine(y), k)) ++k;
            const int first = pad_.LogicalFirst(y);
            const std::string line = pad_.LogicalLine(first);
            auto whole = [&](int offset) {
                return offset >= 0 && offset <= static_cast<int>(line.size()) &&
                       line.compare(static_cast<size_t>(offset), pieces[i].size(), pieces[i]) == 0;
            };
            int offset = k;
            for (int j = first; j < y; ++j) offset += pad_.ExpandedLineLength(j);
            // At column 0 the row above, cut a byte short before a character that straddled its
            // end, may take the piece's first byte.
            if (!whole(offset) && k == 0 && y > first) --offset;
            if (!whole(offset)) return where + "is not whole at column " + std::to_string(k) + " of row " + std::to_string(y);
            // The next piece goes on the row under the one that holds this piece's last byte.
            int left = offset + static_cast<int>(pieces[i].size()) - 1;
            for (y = first; y < pad_.LogicalLast(first) && left >= pad_.ExpandedLineLength(y); ++y) left -= pad_.ExpandedLineLength(y);
            ++y;
        }
        return std::string();
    }

    // A press or a drop at a point on a shown row of a column block: left of it, right of it or
    // inside it. Inside the block's columns on that row a press keeps the block for a drag and a
    // drop is refused; beside them a press places the caret and a drop is made (recorded).
    std::string PressOrDrop(bool drop)
    {
        if (pad_.BlockMode() != qzbmColumn || !pad_.GetSelectAvail()) return SelectBlock();
        const TPoint s = pad_.GetSelStart();
        const TPoint e = pad_.GetSelEnd();
        const int top = pad_.TopLine();
        const int from = std::max(s.Y, top);
        const int to = std::min(e.Y, top + pad_.VisibleLines() - 1);
        if (from > to) return SelectBlock();
        const int y = from + static_cast<int>(Pick(static_cast<unsigned>(to - from + 1)));
        const std::string row = pad_.ExpandedLine(y);
        const int l = QzAdjustEdge(row, s.X);
        const int r = QzAdjustEdge(row, e.X);
        const int columns[] = {l - 1, l - 2, r, r + 1, l + static_cast<int>(Pick(static_cast<unsigned>(std::max(r - l, 1))))};
        const int x = std::max(columns[Pick(5)], pad_.LeftCol());
        const TPoint pixel = CellPixel(x - pad_.LeftCol(), y - top);
        const bool checked = !pad_.Composing();
        const TPoint p = pad_.TextPosFromPoint(pixel);
        const std::string line = pad_.ExpandedLine(p.Y);
        const bool inside = p.Y >= s.Y && p.Y <= e.Y && p.X >= QzAdjustEdge(line, s.X) && p.X < QzAdjustEdge(line, e.X);
        const std::string where = std::string(inside ? " inside" : " beside") + " the block at " + std::to_string(p.X) + "," + std::to_string(p.Y);
        ++pointsChecked;
        if (drop) {
            const int depth = pad_.UndoItems().Count();
            const bool copy = Pick(2) == 0;
            pad_.DragDrop(true, pixel.X, pixel.Y, copy ? TShiftState(ssCtrl) : TShiftState());
            if (checked && (pad_.UndoItems().Count() > depth) == inside)
                fault_ = std::string(inside ? "a drop was made" : "a drop was refused") + where;
            return (copy ? "drop copy" : "drop move") + where;
        }
        pad_.MouseDown(mbLeft, TShiftState(ssLeft), pixel.X, pixel.Y);
        if (checked && pad_.GetSelectAvail() != inside)
            fault_ = std::string(inside ? "a press collapsed the block" : "a press kept the block") + where;
        pad_.MouseUp(mbLeft, TShiftState(), pixel.X, pixel.Y);
        return "press" + where;
    }

    // Block indent or unindent of a stream of rows, or a replace-all in it or from the caret to the
    // end (a menu command: the input method has ended a composition before it), on lines that
    // gain or lose rows under word wrap. In a stream the result is compared with the logical lines
    // as plain strings: an indent puts the blanks at the start of every line from the start's to
    // the end's (the one before when the end is at column 0), an unindent takes them from there
    // where they stand; a case-sensitive literal replace-all replaces, in each row of the range on
    // its own, left to right, every match that neither begins nor ends inside a character, from
    // the start's column on the first row and up to the end's column on the last.
    std::string StreamRewrite()
    {
        pad_.ImeEndComposition();
        const int count = pad_.Lines().Count();
        // The ends on characters' first bytes: an edit would first move a point off a trail byte.
        auto point = [&](int y) {
            const std::string line = pad_.ExpandedLine(y);
            return TPoint(QzAdjustEdge(line, static_cast<int>(Pick(static_cast<unsigned>(line.size() + 1)))), y);
        };
        const int a = static_cast<int>(Pick(static_cast<unsigned>(count)));
        const TPoint from = point(a);
        const TPoint to = point(std::min(a + static_cast<int>(Pick(6)), count - 1));
        const bool backward = Pick(2) == 0;
        pad_.SetCaretPosition(backward ? from : to);
        pad_.SetSelStart(backward ? to : from);
        pad_.SetSelEnd(backward ? from : to);
        if (Pick(4) == 0) Key('A', TShiftState(ssCtrl));
        const bool replace = Pick(2) == 0;
        if (replace && Pick(3) == 0) pad_.SetSelStart(pad_.CaretPos());
        const bool selected = pad_.GetSelectAvail();
        const TPoint s = selected ? pad_.GetSelStart() : pad_.CaretPos();
        const TPoint e = selected ? pad_.GetSelEnd() : s;
        const bool checked = pad_.BlockMode() == qzbmLine || !selected;
        std::string what;
        Text expected;
        // The caret and the selection's two points as (offset, logical line).
        std::vector<TPoint> points{LogicalPos(pad_.CaretPos()), LogicalPos(pad_.SelAnchor()), LogicalPos(pad_.SelMovingEnd())};
        if (replace) {
            const std::string find = SearchText(false);
            const std::string by = Chars(static_cast<int>(Pick(7)), false);
            expected = Replaced(s, e, selected, find, by);
            search_.ReplaceAll(find, by, {qzfoMatchCase});
            what = std::string(selected ? "replace in the stream " : "replace to the end ") + Escaped(find) + " by " + Escaped(by);
        } else {
            const bool indent = Pick(2) == 0;
            expected = Indented(s, e, indent, points);
            Key(indent ? 'I' : 'U', TShiftState(ssShift) | TShiftState(ssCtrl));
            what = indent ? "block indent of the stream" : "block unindent of the stream";
            if (s.Y == e.Y) return what;
            const std::vector<TPoint> now{LogicalPos(pad_.CaretPos()), LogicalPos(pad_.SelAnchor()), LogicalPos(pad_.SelMovingEnd())};
            if (checked && now != points) fault_ = what + " left the caret or the selection off its text";
        }
        if (!checked) return what;
        ++streamRewritesChecked;
        if (pad_.Lines().Count() != count) ++rowCountsChanged;
        const Text now = Logical();
        if (now != expected) fault_ = what + " gives\n" + Join(now) + "instead of\n" + Join(expected);
        else if (std::string rows = RowsAsWrapped(now); !rows.empty()) fault_ = what + ": " + rows;
        return what;
    }

    // The logical line that row y belongs to, counted from 0.
    int LineOfRow(int y) const
    {
        int line = -1;
        for (int i = 0; i <= y && i < pad_.Lines().Count(); ++i) {
            const TQzLineAttribute* a = pad_.Lines().Attribute(i);
            if (i == 0 || !(a && a->Wrapped)) ++line;
        }
        return line;
    }

    // A place as its offset in its logical line's expanded text (X) and that line's number (Y).
    TPoint LogicalPos(TPoint p) const
    {
        int offset = p.X;
        for (int y = p.Y; y > 0; --y) {
            const TQzLineAttribute* a = pad_.Lines().Attribute(y);
            if (!(a && a->Wrapped)) break;
            offset += pad_.ExpandedLineLength(y - 1);
        }
        return TPoint(offset, LineOfRow(p.Y));
    }

    // The rows of every logical line are those of a wrap of its text at the width: each cut
    // `width` bytes on, one less where it would fall inside a character.
    std::string RowsAsWrapped(const Text& lines) const
    {
        const size_t width = static_cast<size_t>(pad_.WrapWidth());
        Text rows;
        for (const std::string& line : lines) {
            size_t from = 0;
            while (width > 0 && line.size() - from > width) {
                const size_t cut = QzIsTrailAt(std::string_view(line).substr(from), static_cast<int>(width)) ? width - 1 : width;
                rows.push_back(line.substr(from, cut));
                from += cut;
            }
            rows.push_back(line.substr(from));
        }
        Text now;
        for (int y = 0; y < pad_.Lines().Count(); ++y) now.push_back(pad_.ExpandedLine(y));
        return now == rows ? std::string() : "the rows are\n" + Join(now) + "instead of\n" + Join(rows);
    }

    // The lines after a block indent or unindent from s to e; the points (as LogicalPos) go with
    // their text.
    Text Indented(TPoint s, TPoint e, bool indent, std::vector<TPoint>& points) const
    {
        Text out = Logical();
        const int size = pad_.IndentSize();
        const std::string blanks(static_cast<size_t>(size), ' ');
        const int last = LineOfRow(e.X == 0 ? e.Y - 1 : e.Y);
        for (int k = LineOfRow(s.Y); k <= last; ++k) {
            std::string& line = out[static_cast<size_t>(k)];
            if (indent)
                line = blanks + line;
            else if (line.compare(0, blanks.size(), blanks) == 0)
                line.erase(0, blanks.size());
            else
                continue;
            for (TPoint& p : points)
                if (p.Y == k) p.X = indent ? (p.X == 0 ? 0 : p.X + size) : std::max(p.X - size, 0);
        }
        return out;
    }

    Text Replaced(TPoint s, TPoint e, bool selected, const std::string& find, const std::string& by) const
    {
        return JoinedRows([&](int y) {
            std::string row = pad_.Lines().Get(y);
            if (y < s.Y || (selected && y > e.Y)) return row;
            const std::string line = pad_.ExpandedLine(y);
            const size_t n = find.size();
            const size_t limit = selected && y == e.Y ? std::min(static_cast<size_t>(e.X), line.size()) : line.size();
            std::string done;
            size_t copied = 0;
            for (size_t p = y == s.Y ? static_cast<size_t>(s.X) : 0; p + n <= limit;) {
                if (line.compare(p, n, find) == 0 && !QzIsTrailAt(line, static_cast<int>(p)) &&
                    !QzIsTrailAt(line, static_cast<int>(p + n))) {
                    done += line.substr(copied, p - copied) + by;
                    p += n;
                    copied = p;
                } else {
                    ++p;
                }
            }
            return copied > 0 ? done + line.substr(copied) : row;
        });
    }

    // Setting and finding bookmarks, by their keys (the caret line) and by their operations.
    std::string Bookmark()
    {
        const int number = static_cast<int>(Pick(11)) - 1;
        const int digit = std::max(number, 0);
        marksSet_ = true;
        const auto key = static_cast<TVirtualKey>('0' + digit);
        switch (Pick(4)) {
        case 0: Key(key, TShiftState(ssShift) | TShiftState(ssCtrl)); return "set bookmark key " + std::to_string(digit);
        case 1: {
            const int line = static_cast<int>(Pick(static_cast<unsigned>(pad_.Lines().Count() + 1)));
            pad_.SetBookmark(line, number);
            return "set bookmark " + std::to_string(number) + " on " + std::to_string(line);
        }
        case 2: Key(key, TShiftState(ssCtrl)); return "go to bookmark key " + std::to_string(digit);
        default: pad_.GoToBookmark(number); return "go to bookmark " + std::to_string(number);
        }
    }

    std::string Setting(Effect& effect)
    {
        switch (Pick(9)) {
        case 0: {
            const int size = 1 + static_cast<int>(Pick(8));
            pad_.SetTabSize(size);
            // Lines that keep their tabs now read otherwise; earlier texts compare no more.
            effect = Effect::Resets;
            return "tab size " + std::to_string(size);
        }
        case 1: {
            const auto w = static_cast<TQzWordWrapOption>(Pick(3));
            if (w != pad_.WordWrap()) effect = Effect::Empties;
            pad_.SetWordWrap(w);
            return "word wrap " + std::to_string(w);
        }
        case 2: {
            const int before = pad_.WrapWidth();
            if (Pick(2)) {
                pad_.SetClientSize(34 + (5 + static_cast<int>(Pick(12))) * 8, 4 + 8 * 17);
                if (pad_.WordWrap() == qzwwWindow && pad_.WrapWidth() != before) effect = Effect::Empties;
                return "resize";
            }
            pad_.SetColumnCount(3 + static_cast<int>(Pick(10)));
            if (pad_.WordWrap() == qzwwUser && pad_.WrapWidth() != before) effect = Effect::Empties;
            return "column count " + std::to_string(pad_.ColumnCount());
        }
        case 3:
            effect = Effect::Empties;
            if (Pick(2)) {
                pad_.Clear();
                return "clear";
            }
            pad_.SetLines(Lines());
            return "set lines";
        case 4: {
            static const TQzPadOption options[] = {qzoScrollPastEOL, qzoAutoIndent, qzoUseSpace};
            const TQzPadOption o = options[Pick(3)];
            pad_.SetOptions(pad_.HasOption(o) ? pad_.Options().Without(o) : pad_.Options().With(o));
            return "option " + std::to_string(o);
        }
        case 5:
            if (macro_.Recording()) {
                pad_.StopRecord();
                return "stop recording";
            }
            pad_.RecordMacro();
            return "record";
        case 6: {
            // A replay that undoes leaves the list at a depth no step of the run knew. One that
            // sets a bookmark may have taken its line out again before it ends.
            bool setsMarks = false;
            for (int i = 0; i < macro_.StepCount(); ++i) {
                TQzPadCommand c = qzcNone;
                std::string data;
                if (!macro_.GetStep(i, c, data)) continue;
                if (c == qzcUndo) effect = Effect::Resets;
                if (c >= qzcSetBookmark0 && c <= qzcSetBookmark9) setsMarks = true;
            }
            pad_.PlayMacro(1 + static_cast<int>(Pick(2)));
            if (setsMarks) ++markEpoch_;
            marksSet_ = true;
            return "play macro";
        }
        default: {
            const TPoint p = RandomPixel();
            pad_.MouseDown(mbLeft, TShiftState(ssLeft), p.X, p.Y);
            pad_.MouseUp(mbLeft, TShiftState(), p.X, p.Y);
            marksSet_ = true;  // a click in the gutter toggles a bookmark
            return "click";
        }
        }
    }

    // ---- the rules ----

    // Before a step that takes a column block out: the logical lines it must leave, computed
    // from the rows as they stand. Each row of the block loses its columns from the left edge to
    // the right edge (an edge inside a character moves after it), then the rows join into their
    // lines, whatever rows the lines take once they are wrapped again.
    void ExpectColumnRemoval()
    {
        if (pad_.BlockMode() != qzbmColumn || !pad_.GetSelectAvail() || pad_.Composing()) return;
        const TPoint s = pad_.GetSelStart();
        const TPoint e = pad_.GetSelEnd();
        removal_ = JoinedRows([&](int y) {
            std::string row = pad_.Lines().Get(y);
            if (y >= s.Y && y <= e.Y) {
                row = pad_.ExpandStr(row);
                const int l = QzAdjustEdge(row, s.X);
                const int r = std::min(QzAdjustEdge(row, e.X), static_cast<int>(row.size()));
                if (l < r) row.erase(static_cast<size_t>(l), static_cast<size_t>(r - l));
            }
            return row;
        });
    }

    // The logical lines, tab-expanded, of the rows as `row` gives them.
    Text JoinedRows(const std::function<std::string(int y)>& row) const
    {
        Text out;
        for (int y = 0; y < pad_.Lines().Count(); ++y) {
            const TQzLineAttribute* a = pad_.Lines().Attribute(y);
            if (y > 0 && a && a->Wrapped)
                out.back() += row(y);
            else
                out.push_back(row(y));
        }
        for (std::string& line : out) line = pad_.ExpandStr(line);
        return out;
    }

    bool WholeCharacters(const std::string& s) const
    {
        for (size_t i = 0; i < s.size();) {
            const auto b = static_cast<unsigned char>(s[i]);
            if (b >= 0x80) {
                if (i + 1 >= s.size() || pairs_.count(s.substr(i, 2)) == 0) return false;
                i += 2;
            } else {
                if (b != '\t' && b != '\f' && b != '\r' && b != '\n' && (b == 0 || !std::strchr(kAscii, b))) return false;
                ++i;
            }
        }
        return true;
    }

    // The logical lines, tab-expanded, without a composition shown in them.
    Text Logical() const
    {
        Text out;
        int compositionLine = -1;
        const TQzPadModel::TShownComposition c = pad_.ShownComposition();
        for (int i = 0; i < pad_.Lines().Count(); ++i) {
            const TQzLineAttribute* a = pad_.Lines().Attribute(i);
            if (i > 0 && a && a->Wrapped)
                out.back() += pad_.Lines().Get(i);
            else
                out.push_back(pad_.Lines().Get(i));
            if (i == c.Line) compositionLine = static_cast<int>(out.size()) - 1;
        }
        for (std::string& s : out) s = pad_.ExpandStr(s);
        if (!c.Shown.empty() && compositionLine >= 0) {
            std::string& s = out[static_cast<size_t>(compositionLine)];
            if (static_cast<size_t>(c.Offset) <= s.size() && s.compare(static_cast<size_t>(c.Offset), c.Shown.size(), c.Shown) == 0)
                s.replace(static_cast<size_t>(c.Offset), c.Shown.size(), c.Covered);
        }
        return out;
    }

    std::string RuleOne(bool changed)
    {
        for (int y = 0; y < pad_.Lines().Count(); ++y)
            if (!WholeCharacters(pad_.Lines().Get(y))) return "line " + std::to_string(y) + " holds half a character";
        if (pad_.CaretY() < 0 || pad_.CaretY() >= pad_.Lines().Count()) return "caret below the text";
        // The moving edge of a column block may stand inside a character or past the line's end.
        const bool extending = pad_.BlockMode() == qzbmColumn && pad_.GetSelectAvail() && pad_.SelMovingEnd() == pad_.CaretPos();
        // After a change of the text (a replayed macro may end on a move) the caret rests on a
        // character's first byte, past the line's end only where it may.
        const std::string line = pad_.ExpandedCurLine();
        if (changed && !extending && QzIsTrailAt(line, pad_.CaretX())) return "caret on a trail byte after an edit";
        if (changed && !extending && pad_.CaretX() > static_cast<int>(line.size()) && !pad_.HasOption(qzoScrollPastEOL))
            return "caret past the line end after an edit";
        if (pad_.GetSelEnd().Y >= pad_.Lines().Count()) return "selection below the text";
        if (!WholeCharacters(pad_.GetSelText())) return "selected text holds half a character";
        const TQzPadPaint paint = pad_.BuildPaint();
        const int textX = pad_.EditRect().Left - pad_.LeftCol() * pad_.CharWidth();
        for (const TQzPadPaintLine& row : paint.Lines)
            for (const TQzPadPaintToken& t : row.Tokens)
                if (QzIsTrailAt(pad_.ExpandedLine(row.Line), (t.X - textX) / pad_.CharWidth()))
                    return "painted text starts on a trail byte";
        return std::string();
    }

    // Every numbered bookmark stands on one line at most.
    std::string RuleMarks() const
    {
        int line[10];
        std::fill(std::begin(line), std::end(line), -1);
        for (int y = 0; y < pad_.Lines().Count(); ++y) {
            const TQzLineAttribute* a = pad_.Lines().Attribute(y);
            if (!a || a->Bookmark < 0) continue;
            const std::string mark = std::to_string(a->Bookmark);
            if (a->Bookmark > 9) return "line " + std::to_string(y) + " holds bookmark " + mark;
            int& other = line[a->Bookmark];
            if (other >= 0) return "bookmark " + mark + " on lines " + std::to_string(other) + " and " + std::to_string(y);
            other = y;
        }
        return std::string();
    }

    // The bookmarks of the logical lines ("line:bookmark,..."), each on the first row of its line.
    std::string LineMarks() const
    {
        std::string out;
        int line = -1;
        for (int y = 0; y < pad_.Lines().Count(); ++y) {
            const TQzLineAttribute* a = pad_.Lines().Attribute(y);
            if (y > 0 && a && a->Wrapped) continue;
            ++line;
            if (a && a->Bookmark != -2) out += std::to_string(line) + ":" + std::to_string(a->Bookmark) + ",";
        }
        return out;
    }

    struct Snapshot {
        int depth;  // undo records at the time
        Text text;
        std::string marks;  // the bookmarks of the lines at the time
        long epoch;         // bookmark changes made by bookmark steps before it
    };

    void Reset()
    {
        lastMarks_ = pad_.GetBookmarkStr();
        history_.assign(1, Snapshot{pad_.UndoItems().Count(), Logical(), LineMarks(), markEpoch_});
        last_ = history_.back().text;
    }

    void Observe(const std::string& what, Effect effect)
    {
        trace_.push_back(what + "  =>  " + Describe());
        if (trace_.size() > 24) trace_.pop_front();
        const Text now = Logical();
        if (!fault_.empty()) return Fail(std::exchange(fault_, std::string()));
        if (removal_) {
            const Text expected = *std::move(removal_);
            removal_.reset();
            ++removalsChecked;
            if (now != expected) return Fail("the column removal gives\n" + Join(now) + "instead of\n" + Join(expected));
        }
        const bool changed = now != last_ && what != "play macro";
        if (std::string e = RuleOne(changed); !e.empty()) return Fail(e);
        if (std::string e = RuleMarks(); !e.empty()) return Fail(e);
        if (marksSet_ && pad_.GetBookmarkStr() != lastMarks_) {
            ++markEpoch_;
            ++marksChanged;
        }
        marksSet_ = false;
        lastMarks_ = pad_.GetBookmarkStr();
        const std::string marks = LineMarks();
        const int depth = pad_.UndoItems().Count();
        if (effect == Effect::Empties) {
            if (depth != 0) return Fail("the undo list was not emptied");
            return Reset();
        }
        if (effect == Effect::Resets) return Reset();
        if (depth > history_.back().depth) {
            history_.push_back(Snapshot{depth, now, marks, markEpoch_});
        } else if (depth < history_.back().depth) {
            while (!history_.empty() && history_.back().depth > depth) history_.pop_back();
            if (history_.empty()) return Reset();
            const Snapshot& then = history_.back();
            if (then.depth == depth) {
                const std::string to = "undo to depth " + std::to_string(depth);
                if (then.text != now) return Fail(to + " gives\n" + Join(now) + "instead of\n" + Join(then.text));
                if (then.epoch == markEpoch_ && then.marks != marks)
                    return Fail(to + " gives the bookmarks \"" + marks + "\" instead of \"" + then.marks + "\"");
            } else {
                history_.push_back(Snapshot{depth, now, marks, markEpoch_});
            }
        } else if (now != last_) {
            return Fail("the text changed without an undo record");
        }
        last_ = now;
    }

    void UndoCheck(bool all)
    {
        const int depth = pad_.UndoItems().Count();
        const int target = all ? 0 : depth - 1 - static_cast<int>(Pick(static_cast<unsigned>(depth + 1)));
        while (failure.empty() && pad_.UndoItems().Count() > std::max(target, 0)) {
            const int before = pad_.UndoItems().Count();
            pad_.Undo();
            Observe("undo", Effect::Plain);
            if (pad_.UndoItems().Count() >= before) return Fail("undo removed no record");
            ++undosChecked;
        }
    }

    static std::string Escaped(const std::string& s)
    {
        std::string out;
        for (char c : Cp949ToUtf8(s)) {
            if (c == '\t') out += "\\t";
            else if (c == '\r') out += "\\r";
            else if (c == '\n') out += "\\n";
            else if (c == '\f') out += "\\f";
            else out += c;
        }
        return "\"" + out + "\"";
    }

    static std::string Join(const Text& t)
    {
        std::string out;
        for (const std::string& s : t) out += "  " + Escaped(s) + "\n";
        return out;
    }

    std::string Describe() const
    {
        std::string out;
        for (int i = 0; i < pad_.Lines().Count(); ++i) {
            const TQzLineAttribute* a = pad_.Lines().Attribute(i);
            out += Escaped(pad_.Lines().Get(i)) + (a && a->Wrapped ? "w " : " ");
        }
        const TPoint s = pad_.SelAnchor();
        const TPoint e = pad_.SelMovingEnd();
        out += " caret " + std::to_string(pad_.CaretX()) + "," + std::to_string(pad_.CaretY());
        out += " sel " + std::to_string(s.X) + "," + std::to_string(s.Y) + "-" + std::to_string(e.X) + "," + std::to_string(e.Y);
        out += pad_.BlockMode() == qzbmColumn ? " column" : " stream";
        out += pad_.EditMode() == qzmOverwrite ? " overwrite" : " insert";
        out += " wrap " + std::to_string(pad_.WordWrap()) + "/" + std::to_string(pad_.WrapWidth());
        out += " tab " + std::to_string(pad_.TabSize());
        out += pad_.HasOption(qzoScrollPastEOL) ? " pastEOL" : "";
        out += pad_.HasOption(qzoAutoIndent) ? " indent" : "";
        out += pad_.Composing() ? " composing" : "";
        out += " undo " + std::to_string(pad_.UndoItems().Count());
        if (const std::string marks = pad_.GetBookmarkStr(); !marks.empty()) out += " marks " + marks;
        return out;
    }

    void Fail(const std::string& what)
    {
        failure = CombinationName(combo_) + " seed " + std::to_string(seed_) + " step " + std::to_string(step_) + ": " + what + "\n";
        for (const std::string& t : trace_) failure += "  " + t + "\n";
    }

    TQzPadModel& pad_;
    RecorderView& view_;
    TQzPadTransform transform_;
    TQzPadSearch search_;
    const Commands commands_;
    TQzPadMacro macro_;
    std::mt19937 rng_;
    std::vector<std::string> syllables_;
    std::set<std::string> pairs_;
    std::vector<Snapshot> history_;
    Text last_;
    std::optional<Text> removal_;  // what the step must leave, when it takes a column block out
    std::string fault_;            // what the step's own check found wrong
    std::string lastMarks_;
    bool marksSet_ = false;  // the step may have set or cleared a bookmark
    long markEpoch_ = 0;
    std::deque<std::string> trace_;
    uint32_t seed_ = 0;
    int combo_ = 0;
    int step_ = 0;
};

class PadFuzzTest : public PadTest, public ::testing::WithParamInterface<int> {};

// Runs that once failed, kept by their combination and seed; each replays one run in full.
struct KeptSeed {
    const char* name;
    int combination;
    uint32_t seed;
    Commands commands = Commands::First;
};

const KeptSeed kKeptSeeds[] = {
    {"ColumnBlockTextPaddedOnUndo", 0, 4263172427u},
    {"CaretInsideACharacterAfterATabSizeChange", 0, 2388846092u},
    {"PaintedTextFromATrailByte", 1, 1040546249u},
    {"UndoCaretInsideACharacter", 1, 1996284565u},
    {"ColumnRemovalLeftTheCaretInsideACharacter", 1, 1822065712u},
    {"AlignUnderWordWrap", 1, 2286376115u},
    {"OverwriteEnterAtAContinuationRow", 1, 1221879844u},
    {"CompositionPastTheLineEndLeftBlanks", 2, 2463097708u},
    {"TemplateOverATab", 2, 678054615u},
    {"CutWithoutASelectionMovedTheCaret", 2, 4000325684u},
    {"UndoOfAColumnRemoval", 3, 2067734657u},
    {"UndoCaretPastTheLineEnd", 3, 3697262094u},
    {"ColumnRemovalCaretOnATrailByte", 3, 857596355u},
    {"TabOnAContinuationRow", 4, 3112770914u},
    {"UndoCaretAfterScrollPastEOLWentOff", 4, 543200768u},
    {"OverwriteEnterSplitTheWrappedLine", 4, 566294184u},
    {"WordWrapChangeCaretInsideACharacter", 4, 1259801580u},
    {"CaretNotedWithTheCompositionShown", 5, 939271648u},
    {"TabStopsOnAContinuationRow", 5, 1226315011u},
    {"PaintedTextUnderWindowWrap", 6, 52789217u},
    {"OverwriteEnterPastTheRowEnd", 6, 1361709482u},
    {"AlignCaretUnderWindowWrap", 6, 3795402408u},
    {"UndoCaretOnATrailByte", 7, 999556293u},
    {"AlignUnderWindowWrap", 7, 614995005u},
    {"WordWrapChangeWithACompositionShown", 8, 3207629914u},
    {"TabSizeChangeCaretPastTheEnd", 8, 2468896586u},
    {"UndoCaretInAColumnBlock", 9, 272451921u},
    {"TypingPastTheEndOfAContinuedRow", 9, 3962679206u},
    {"BlockIndentCaretPastTheEnd", 9, 2747946376u},
    {"DragAndOverwriteEnter", 10, 4047274312u},
    {"OverwriteEnterUnderColumnWrap", 10, 219550432u},
    {"TabSizeChangeLeftALineLongerThanItsRow", 10, 3510038994u},
    {"UndoInColumnOverwriteMode", 11, 4074923318u},
    {"OverwriteEnterKeptAColumnPastTheRow", 11, 2746817658u},
    {"OverwriteEnterOverASelection", 11, 3029992728u},
    {"EnterAtTheStartOfAContinuation", 11, 2954442967u},
    {"UndoPastATabSizeChangeUnderWordWrap", 0, 2493001443u},
    {"ColumnBlockEdgeOnATrailByteBecameAStream", 2, 1802094238u},
    {"MacroEndingOnAMove", 3, 3940467173u},
    {"MoveCollapsedAColumnBlockOnATrailByte", 3, 3305177211u},
    {"UndoAfterATabSizeChangeUnderWindowWrap", 4, 1232373134u},
    {"DeleteToTheEndFromAColumnBlockEdge", 5, 1385765191u},
    {"MacroReplayUnderWindowWrap", 5, 703783157u},
    {"MacroReplayOfAStreamSelection", 5, 251760801u},
    {"MacroReplayInOverwriteMode", 6, 2360355795u},
    {"UndoToTheStartUnderWindowWrap", 6, 3709353790u},
    {"DropMovedUnderWordWrap", 7, 207153896u},
    {"MacroReplayUnderColumnWrap", 8, 909414986u},
    {"DropLeftTheSelectionBelowTheText", 9, 563330192u},
    {"ReplaceToTheEndRecordedNoUndo", 0, 1791095845u, Commands::WithRewritesAndBookmarks},
    {"PatternReplaceToTheEndRecordedNoUndo", 4, 953453411u, Commands::WithRewritesAndBookmarks},
    {"ReplaceInTheSelectionRecordedNoUndo", 1, 44556670u, Commands::WithRewritesAndBookmarks},
    {"PatternReplaceInTheSelectionRecordedNoUndo", 11, 3968700593u, Commands::WithRewritesAndBookmarks},
    {"ReplaceLeftTheCaretOnATrailByte", 7, 1384409982u, Commands::WithRewritesAndBookmarks},
    {"ReplaceLeftTheCaretPastTheLineEnd", 11, 895331189u, Commands::WithRewritesAndBookmarks},
    {"WrappedLineToNewLineRecordedNoUndo", 11, 3340206418u, Commands::WithRewritesAndBookmarks},
    {"UndoPutANumberedBookmarkOnTwoLines", 1, 2766575397u, Commands::WithRewritesAndBookmarks},
    {"ColumnRemovalUnderWordWrapCutOutsideTheBlock", 9, 2941356755u, Commands::WithRewritesAndBookmarks},
    {"ColumnRemovalWithItsMovingEdgeInsideACharacter", 5, 476714926u, Commands::WithRewritesAndBookmarks},
    {"ColumnPasteSplitAPieceThatPassedItsRowEnd", 8, 3207629914u, Commands::WithLongLineBlocks},
    {"ColumnPastePiecesOutOfLineDownALongLine", 9, 272451921u, Commands::WithLongLineBlocks},
    {"UndoOfAColumnPasteAtTheStartOfARowAfterAShortRow", 1, 3031773997u, Commands::WithLongLineBlocks},
    {"PressBesideAColumnBlockStartedADrag", 3, 3697262094u, Commands::WithLongLineBlocks},
    {"DropBesideAColumnBlockWasRefused", 3, 953453411u, Commands::WithLongLineBlocks},
    {"DropBesideAColumnBlockWasRefusedUnderColumnWrap", 10, 774252441u, Commands::WithLongLineBlocks},
};

class PadFuzzSeedTest : public PadTest, public ::testing::WithParamInterface<KeptSeed> {};

}  // namespace

TEST_P(PadFuzzTest, EditsKeepCharactersWholeAndUndoGivesBackEveryStep)
{
    const int steps = StepsPerCombination();
    Fuzz fuzz(pad, view);
    const auto t0 = std::chrono::steady_clock::now();
    fuzz.RunSteps(GetParam(), BaseSeed() + static_cast<uint32_t>(GetParam()), steps);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    if (!fuzz.failure.empty()) FAIL() << fuzz.failure;
    RecordProperty("steps", static_cast<int>(fuzz.stepsRun));
    if (steps > 1000)
        std::printf("%s: %ld steps, %ld undo steps checked, %ld column removals checked, %ld column pastes checked, "
                    "%ld points on column blocks checked, %ld stream rewrites checked (%ld changing the rows), "
                    "%ld rewrites recorded, %ld bookmark changes, %lld ms\n",
                    CombinationName(GetParam()).c_str(), fuzz.stepsRun, fuzz.undosChecked, fuzz.removalsChecked,
                    fuzz.pastesChecked, fuzz.pointsChecked, fuzz.streamRewritesChecked, fuzz.rowCountsChanged,
                    fuzz.rewritesRecorded, fuzz.marksChanged, static_cast<long long>(ms));
}

INSTANTIATE_TEST_SUITE_P(EveryMode, PadFuzzTest, ::testing::Range(0, kCombinations),
                         [](const ::testing::TestParamInfo<int>& info) { return CombinationName(info.param); });

TEST_P(PadFuzzSeedTest, KeptRunStillHoldsTheRules)
{
    Fuzz fuzz(pad, view, GetParam().commands);
    fuzz.RunOne(GetParam().combination, GetParam().seed, kRunLength);
    if (!fuzz.failure.empty()) FAIL() << fuzz.failure;
}

INSTANTIATE_TEST_SUITE_P(Kept, PadFuzzSeedTest, ::testing::ValuesIn(kKeptSeeds),
                         [](const ::testing::TestParamInfo<KeptSeed>& info) { return std::string(info.param.name); });
