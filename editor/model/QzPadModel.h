#pragma once
// The text editor control without its window: lines, caret, scrolling, selection, editing,
// command dispatch, undo, bookmarks, indentation, input-method composition, text files, brace
// matching, code-template insertion, page breaks, macro replay and what a paint must draw.
//
// Contract:
// - Text positions are (X, Y): Y the 0-based line, X the 0-based column of the line's
//   tab-expanded form (tab stops every TabSize columns from column 0). One column per byte, so a
//   double-byte character (lead byte >= 0x80) covers two columns; caret steps, deletions and
//   block edges never split one.
// - The widget owns one model, implements IQzPadView for it, feeds it its geometry
//   (SetFontMetrics, SetClientSize), its focus, keys (virtual-key codes and shift states), mouse
//   events and scroll requests, and paints what BuildPaint describes. Nothing here needs a display.
// - OnChanged fires when whole lines are inserted or deleted through the line store, on cut,
//   paste, SetSelText, deletion of the selection, a change of the block mode, SetLines, a change
//   of HanguelCodeType and on every focus gain; typing and deleting inside one line only set
//   Modified. It never fires while Loading is on.
// - Edits record undo items while UndoRecording is on; Undo takes the newest one back, giving
//   back exactly the text before its step. The list is emptied by a change of the word wrap, a
//   re-wrap to another width, Clear, SetLines and loading a file.

#include "controls/common/QzString.h"
#include "editor/model/QzPadCommand.h"
#include "editor/model/QzPadStrings.h"
#include "editor/model/QzPadTypes.h"
#include "editor/model/QzPadUndo.h"
#include "editor/model/QzPadView.h"

#include <functional>
#include <string>
#include <vector>

class TQzSyntax;
class TQzPadShortCut;
class TStringList;

using TQzMouseButton = TMouseButton;

// Scroll request codes of the scroll bars.
enum TQzScrollCode : uint8_t {
    qzscLineUp, qzscLineDown, qzscPageUp, qzscPageDown, qzscThumbPosition, qzscThumbTrack,
    qzscTop, qzscBottom, qzscEndScroll,
};

// Receives the steps of a keyboard macro while it records.
class IQzPadMacroRecorder {
public:
    virtual ~IQzPadMacroRecorder() = default;
    virtual bool Recording() const = 0;
    virtual void AddStep(TQzPadCommand command, TPoint caret, TPoint selStart, TPoint selEnd,
                         const std::string& text) = 0;
    // Starts a new recording (the old steps go) and ends it (the steps stay).
    virtual void RecordMacro() {}
    virtual void StopRecord() {}
    // The recorded steps for replay: 0 .. StepCount() - 1, each a command and, for qzcInsert and
    // qzcInsertBlock, its text. False for an index outside the steps.
    virtual int StepCount() const { return 0; }
    virtual bool GetStep(int index, TQzPadCommand& command, std::string& data) const { return false; }
};

// Where the code-template popup goes: one line below the caret's screen point, moved left by its
// width where it would pass the screen's right edge and up by its height plus one line where it
// would pass the bottom. `screen` is the work area in the same coordinates.
TPoint QzCodeTemplatesPopupPos(TPoint caretScreen, int lineHeight, int popupWidth, int popupHeight,
                               const TRect& screen);

// One coloured piece of a painted line; X is its left pixel.
struct TQzPadPaintToken {
    int X = 0;
    std::string Text;
    TColor Color = clNone;  // clNone: the font colour
};

// One row of a paint, from the top of the view down.
struct TQzPadPaintLine {
    int Line = 0;                 // line index (may be past the last line: background only)
    bool Exists = false;
    int Top = 0;                  // pixel top of the row
    TColor Background = 0;      // fill from EditRect.Left - 4 to EditRect.Right
    bool PageBreak = false;       // dotted rule along Top in PageBreakLineColor
    std::vector<int> GutterImages;  // image indexes at x = 2, 2 + w + 2, ...
    std::string LineNumber;       // empty: none
    int LineNumberX = 0;
    bool TextFits = false;        // the text is drawn only when the row fits above EditRect.Bottom
    std::vector<TQzPadPaintToken> Tokens;
    bool NewLineMark = false;
    int NewLineMarkX = 0;
    bool FocusRect = false;       // current-line frame from EditRect.Left - 4 to EditRect.Right + 1
    std::vector<std::pair<int, int>> Inverted;  // pixel spans [left, right) to invert
};

struct TQzPadPaint {
    bool Skip = false;            // UpdateCount >= 1: draw nothing
    TRect EditRect;
    int ColumnIndicatorX = -1;    // -1: none
    std::vector<TQzPadPaintLine> Lines;
};

class TQzPadModel {
public:
    using TNotifyEvent = std::function<void(TQzPadModel& sender)>;

    TQzPadModel();
    ~TQzPadModel();
    TQzPadModel(const TQzPadModel&) = delete;
    TQzPadModel& operator=(const TQzPadModel&) = delete;

    // The window; null detaches (the model then behaves as a hidden control without focus).
    void SetView(IQzPadView* view);

    // ---- events ----
    TNotifyEvent OnChanged;
    TNotifyEvent OnConfirmConvert;
    TNotifyEvent OnImeInputModeChange;
    TNotifyEvent OnPosChanged;
    TNotifyEvent OnDblClick;
    std::function<void(TQzPadModel& sender, const std::string& fileName)> OnOpenFile;
    std::function<void(TQzPadModel& sender, TVirtualKey& key, TShiftState shift)> OnKeyDown;
    std::function<void(TQzPadModel& sender, char& key)> OnKeyPress;
    // Replaces the built-in brace matching of the dispatch when assigned.
    std::function<void(TQzPadModel& sender, bool forward)> MatchBraceHandler;
    // The code-template list: the code of the template named `name` (empty: none); the popup is
    // shown below the caret (QzCodeTemplatesPopupPos) and hidden on a mouse press or release.
    std::function<std::string(TQzPadModel& sender, const std::string& name)> FindCodeTemplateHandler;
    TNotifyEvent ShowCodeTemplatesHandler;
    TNotifyEvent HideCodeTemplatesHandler;

    // ---- published properties (construction values in the constructor) ----
    static std::string About();
    int CursorWidth() const { return cursorWidth_; }
    void SetCursorWidth(int v);
    TQzBlockMode BlockMode() const { return blockMode_; }
    void SetBlockMode(TQzBlockMode m);
    TColor BookmarkColor() const { return bookmarkColor_; }
    void SetBookmarkColor(TColor c) { SetColorProp(bookmarkColor_, c); }
    TQzBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TQzBorderStyle s);
    TColor Color() const { return color_; }
    void SetColor(TColor c) { SetColorProp(color_, c); }
    int ColumnCount() const { return columnCount_; }
    void SetColumnCount(int v);
    bool ConvertNullToSpace() const { return lines_.ConvertNullToSpace; }
    void SetConvertNullToSpace(bool v) { lines_.ConvertNullToSpace = v; }
    TColor CurrentLineColor() const { return currentLineColor_; }
    void SetCurrentLineColor(TColor c) { SetColorProp(currentLineColor_, c); }
    TQzEditMode EditMode() const { return editMode_; }
    void SetEditMode(TQzEditMode m);
    // The native path of the loaded or saved file.
    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string f) { fileName_ = std::move(f); }
    const TQzFontDesc& Font() const { return font_; }
    // The widget measures the font and calls SetFontMetrics.
    void SetFont(const TQzFontDesc& f);
    TColor GutterColor() const { return gutterColor_; }
    void SetGutterColor(TColor c) { SetColorProp(gutterColor_, c); }
    int GutterWidth() const { return gutterWidth_; }
    void SetGutterWidth(int v);
    TQzPadCodeType HanguelCodeType() const { return hanguelCodeType_; }
    void SetHanguelCode(TQzPadCodeType t);
    int IndentSize() const { return indentSize_; }
    void SetIndentSize(int v) { indentSize_ = v; }
    TColor LineNoColor() const { return lineNoColor_; }
    void SetLineNoColor(TColor c) { SetColorProp(lineNoColor_, c); }
    TQzPadStrings& Lines() { return lines_; }
    const TQzPadStrings& Lines() const { return lines_; }
    int LineSpace() const { return lineSpace_; }
    void SetLineSpace(int v);
    IQzPadMacroRecorder* Macro() const { return macro_; }
    void SetMacro(IQzPadMacroRecorder* m) { macro_ = m; }
    const std::string& NewLineMark() const { return newLineMark_; }
    void SetNewLineMark(const std::string& s);
    TColor NewLineMarkColor() const { return newLineMarkColor_; }
    void SetNewLineMarkColor(TColor c) { SetColorProp(newLineMarkColor_, c); }
    TQzPadOptions Options() const { return options_; }
    void SetOptions(TQzPadOptions o);
    bool HasOption(TQzPadOption o) const { return options_.Contains(o); }
    TColor PageBreakLineColor() const { return pageBreakLineColor_; }
    void SetPageBreakLineColor(TColor c) { SetColorProp(pageBreakLineColor_, c); }
    TQzPrintHeader& PrintHeader() { return printHeader_; }
    TQzPrintHeader& PrintFooter() { return printFooter_; }
    TQzPrintOptions& PrintOptions() { return printOptions_; }
    void SetPrintHeader(const TQzPrintHeader& h) { printHeader_ = h; }
    void SetPrintFooter(const TQzPrintHeader& h) { printFooter_ = h; }
    void SetPrintOptions(const TQzPrintOptions& o) { printOptions_ = o; }
    TQzPadSaveFormat SaveFormat() const { return lines_.SaveFormat; }
    void SetSaveFormat(TQzPadSaveFormat f) { lines_.SaveFormat = f; }
    TQzPadShortCut* ShortCut() const { return shortCut_; }
    void SetShortCut(TQzPadShortCut* s) { shortCut_ = s; }
    TQzSyntax* Syntax() const { return syntax_; }
    void SetSyntax(TQzSyntax* s);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v) { tabStop_ = v; }
    int TabSize() const { return tabSize_; }
    void SetTabSize(int v);
    TQzWordWrapOption WordWrap() const { return wordWrap_; }
    void SetWordWrap(TQzWordWrapOption w);
    // Gutter image list: number of images and their size (0 when none is assigned).
    void SetGutterImages(int count, int width, int height);
    // The owner frees a component the control points to.
    void ForgetComponent(const void* component);

    // ---- state ----
    int UpdateCount() const { return updateCount_; }
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    bool Modified() const { return modified_; }
    void SetModified(bool v) { modified_ = v; }
    bool Loading() const { return loading_; }
    bool UndoRecording() const { return undoRecording_; }
    void SetUndoRecording(bool v) { undoRecording_ = v; }
    bool Composing() const { return composing_; }
    bool TrailStep() const { return trailStep_; }
    int TopLine() const { return topLine_; }
    void SetTopLine(int n);
    int LeftCol() const { return leftCol_; }
    int MaxColumn() const { return maxColumn_; }
    void SetMaxColumn(int n);
    const std::vector<int>& Advances() const { return advances_; }
    TPoint GetPosition() const { return TPoint(caretX_ + 1, caretY_ + 1); }
    int GetWidth(const std::string& s) const { return static_cast<int>(s.size()) * charWidth_; }

    // ---- geometry (from the widget) ----
    // Average character width and font height in pixels; a value below 1 counts as 1.
    void SetFontMetrics(int charWidth, int fontHeight);
    // The client area changed size (the resize handling).
    void SetClientSize(int width, int height);
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    int CharWidth() const { return charWidth_; }
    int LineHeight() const { return lineHeight_; }
    const TRect& EditRect() const { return editRect_; }
    void LayoutEditRect();
    int VisibleLines() const;
    int VisibleCols() const;

    // ---- focus and caret ----
    void FocusIn();
    void FocusOut();
    int CaretX() const { return caretX_; }
    int CaretY() const { return caretY_; }
    TPoint CaretPos() const { return TPoint(caretX_, caretY_); }
    void SetCaretX(int x);
    void SetCaretY(int y);
    void SetCaretPosition(TPoint p);
    void UpdateCaretPos();
    void InitializeCaret();
    void HideCaret();
    void ShowCaret();
    void AdjustCaretX();
    void MoveCaretY(int n);

    // ---- positions ----
    std::string ExpandStr(std::string_view s) const;
    std::string ExpandedLine(int i) const;
    std::string ExpandedCurLine() const { return ExpandedLine(caretY_); }
    int ExpandedLineLength(int i) const;
    int ExpandedCurLineLength() const { return ExpandedLineLength(caretY_); }
    bool IsLineVisible(int y) const { return y >= topLine_ && y < topLine_ + VisibleLines(); }
    std::string CurLine() const { return lines_.Get(caretY_); }
    TPoint TextPosFromPoint(TPoint p);
    int NextWordPos(int x, bool skipDelimiters) const;
    int PrevWordPos(int x) const;
    // Raw byte index (0-based) of an expanded column of a line.
    int GetActualPos(int line, int column) const;

    // ---- selection ----
    TPoint GetSelStart() const;
    TPoint GetSelEnd() const;
    void SetSelStart(TPoint p);
    void SetSelEnd(TPoint p);
    bool GetSelectAvail() const { return selAnchor_ != selEnd_; }
    TPoint SelAnchor() const { return selAnchor_; }
    TPoint SelMovingEnd() const { return selEnd_; }
    void SelectAll();
    void SelectNone();
    // A stream holds the points from its start (inclusive) to its end (exclusive); a column block
    // holds on each of its rows the columns between its edges, each moved off a trail byte on
    // that row as the block is shown and cut.
    bool PosInSelect(TPoint p) const;
    void UpdateSelectionBegin();
    void UpdateSelectionEnd();

    // ---- scrolling ----
    void UpdateVertScrollBar();
    void UpdateHorzScrollBar();
    void ScrollVert(int pixels);
    void ScrollHorz(int pixels);
    void InvalidateLine(int y);
    void InvalidateLines(int a, int b);
    void Invalidate();
    void GoToLine(int n);
    void GoToPos(TPoint p);
    void VScroll(TQzScrollCode code, int count = 1);
    void HScroll(TQzScrollCode code);
    // A wheel turn: delta > 0 scrolls up by `lines` lines, else down.
    void MouseWheel(int delta, int lines);

    // ---- word wrap ----
    void MakeWordWrap(TQzWordWrapOption w);
    void WrappedLineToNewLine();
    // The effective wrap width in columns (at least 2); 0 without word wrap.
    int WrapWidth() const;
    // The text with continuation lines joined to their line, every line followed by CR LF.
    std::string LogicalText() const;
    // A logical line is a row with the soft-wrap continuations that follow it: the first row of
    // the one row y belongs to, its last row, and its tab-expanded text. Without word wrap every
    // row is a logical line of its own.
    int LogicalFirst(int y) const;
    int LogicalLast(int first) const;
    std::string LogicalLine(int first) const;

    // ---- keys and mouse ----
    void KeyDown(TVirtualKey& key, TShiftState shift);
    void KeyPress(char& key, TShiftState shift);
    void MouseDown(TQzMouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TShiftState shift, int x, int y);
    void MouseUp(TQzMouseButton button, TShiftState shift, int x, int y);
    void DblClick(int x, int y);
    // One tick of the auto-scroll timer with the pointer at (x, y).
    void AutoScrollTick(int x, int y) { MouseMove(TShiftState(ssLeft), x, y); }
    // Drag and drop of the selection; `fromSelf` is true when the source is this control.
    bool DragOver(bool fromSelf, int x, int y, TShiftState shift);
    void DragDrop(bool fromSelf, int x, int y, TShiftState shift);
    bool HasPopupMenu = false;  // a right click then does nothing in the text

    // ---- commands and editing ----
    void ProcessEditorCommand(TQzPadCommand command);
    void AddChar(char ch);
    void PutString(const std::string& s);
    void SetLine(int index, const std::string& s);
    void InsertText(const std::string& s);
    // Removes the selected text. With `keep`, a point outside a column block that is carried to
    // the same place in the text that remains (as the rows stand after the removal).
    void DeleteSelection(TPoint* keep = nullptr);
    std::string GetSelText() const;
    void SetSelText(const std::string& s);
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void Clear();
    void SetLines(const std::vector<std::string>& source);
    // SetLines taking the strings over instead of copying them.
    void SetLines(std::vector<std::string>&& source);
    // SetLines with the lines of a text made straight from it (TQzPadStrings::AssignSplit): the
    // previous lines are gone before the new ones are made.
    void SetLinesOf(std::string_view text);
    void SetLines(const TStringList& source);
    // SetLines with the lines of a text (CR LF, LF or CR line ends; a final line end adds no line).
    void SetText(std::string_view text);
    void TrimTrailingSpace();
    std::string GetHexCode() const;
    // All lines, each followed by CR LF.
    std::string Text() const { return lines_.Text(); }

    // ---- undo ----
    // Takes the newest record back: the text before its step comes back exactly, with the caret
    // and selection of that moment (a move by drag and drop and an overwrite of a selection go
    // back together with their removal). Nothing in qzoReadOnly.
    void Undo();
    bool CanUndo() const { return undoList_.Count() > 0; }
    void ClearUndoItem() { undoList_.Clear(); }
    const TQzUndoItems& UndoItems() const { return undoList_; }
    // Runs `rewrite` as one undo step of a rewrite of rows first .. last: `rewrite` changes the
    // lines (through SetLine or the line store) and answers the last row of the range as it
    // stands afterwards. When the lines changed, the step is recorded as the rewrite pair:
    // qzcDeleteSelBlock with the range's text before and qzcOverwriteBlock with its text after.
    // Undo then gives back the text, the caret and the selection of the moment before the call.
    void RewriteStep(int first, int last, const std::function<int()>& rewrite);
    // Rewrites the logical lines that rows top .. bottom belong to, from the top down. For each
    // line, its rows first .. last as they stood when the call began (the store is read unchanged
    // until the end, so `edit` may read them), `edit` answers false to keep the line, or true with
    // its new text, which is wrapped once. The caret and the selection points on a changed line
    // go to move(their offset in it), those below follow the rows. The lines go into the store in
    // one splice, so the rewrite and its undo cost time in proportion to the rows, however many
    // rows the lines gain or lose. Answers the rows gained (negative: lost).
    int RewriteLines(int top, int bottom, const std::function<bool(int first, int last, std::string& text)>& edit,
                     const std::function<int(int)>& move);

    // ---- bookmarks, tabs, indentation ----
    void SetBookmark(int line, int number);
    void GoToBookmark(int number);
    int FindBookmark(int number) const;
    bool NextBookmark();
    bool PrevBookmark();
    void ClearBookmark();
    std::string GetBookmarkStr() const;
    void InsertTab();
    void BlockIndent();
    void BlockUnindent();
    TCharSet GetDelimSet() const;
    bool CheckCommentChar(const std::string& s) const;

    // ---- text files ----
    // Loads a text file: the control is reset (caret, scroll position, selection, bookmarks,
    // Modified), the file's lines replace the text (SaveFormat from its line ends), Johab text
    // (IsJohabText) is converted to Wansung (HanguelCodeType qzctJohab), qzoReadOnly follows the
    // file's owner-write permission, OnChanged fires. A missing file gives one empty line and a
    // read-only control. A file that exists but cannot be read, anything but a regular file (a
    // folder, FIFO or device, refused before a byte is read) and a file whose bytes or lines
    // cannot be held in memory raise EFOpenError and change nothing.
    void LoadFromFile(const std::string& fileName);
    // Writes the text in SaveFormat (continuation lines of a word wrap joined to their line), or
    // in Johab with CR LF after every line when the text was loaded as Johab; clears Modified and
    // fires OnChanged. A file that cannot be written raises EFCreateError and changes nothing.
    void SaveToFile(const std::string& fileName);

    // ---- braces, code templates, page breaks, macro replay ----
    // Moves the caret onto the bracket matching the one under it (or selects up to it with
    // qzoSelectMatchBrace); the scan is byte-wise over the following or preceding lines.
    void MatchBrace(bool forward);
    // Replaces the word before the caret by the template of that name, or shows the popup.
    void ShowCodeTemplates();
    // Inserts `code` through SetSelText; a "|" in it is removed and marks where the caret goes.
    void InsertCodeTemplate(const std::string& code);
    // Puts a form feed at the start of a line (breaking the caret line when needed).
    void InsertPageBreak();
    // Replays the macro's steps `count` times; nothing without a macro, read-only or count < 1.
    void PlayMacro(int count);
    void RecordMacro();
    void StopRecord();

    // ---- input method ----
    // A composition is shown in place: the composing bytes sit in the caret line at the caret
    // (inserted, or written over the text in qzmOverwrite) under a caret as wide as they are, and
    // only the result makes an undo record. Nothing changes in qzoReadOnly.
    void ImeStartComposition();
    void ImeComposition(const std::string& compString);
    void ImeResult(const std::string& result);
    void ImeEndComposition();
    // The composition as it stands in the text: the first row of its logical line, its byte
    // offset in that line's expanded text, the bytes shown there and (overwrite mode) the bytes
    // they cover. `Shown` is empty while no composition is in the text.
    struct TShownComposition {
        int Line = 0;
        int Offset = 0;
        std::string Shown;
        std::string Covered;
    };
    TShownComposition ShownComposition() const
    {
        if (imeShown_.empty()) return {imeFirst_, imeOffset_, std::string(), imeCovered_};
        return {imeFirst_, imeOffset_ - imePad_, std::string(static_cast<size_t>(imePad_), ' ') + imeShown_, imeCovered_};
    }
    TQzImeInputMode GetImeInputMode() const { return view_->GetImeInputMode(); }
    void SetImeInputMode(TQzImeInputMode mode) { view_->SetImeInputMode(mode); }

    // ---- painting ----
    // What a paint draws now: rows TopLine .. TopLine + VisibleLines. Creates colouring attributes
    // and carries colouriser states down the painted rows; grows MaxColumn.
    TQzPadPaint BuildPaint();

private:
    void SetColorProp(TColor& field, TColor c);
    void FireChanged();
    void LinesChanged();
    void LinesInsertedOrDeleted(int index, int count, bool inserted);
    void Initialize();
    void MeasureFont();
    int SafeCharWidth() const { return charWidth_ < 1 ? 1 : charWidth_; }
    int SafeLineHeight() const { return lineHeight_ < 1 ? 1 : lineHeight_; }
    int SafeTabSize() const { return tabSize_ < 1 ? 1 : tabSize_; }
    bool ReadOnly() const { return options_.Contains(qzoReadOnly); }
    bool Colouring() const { return syntax_ && options_.Contains(qzoHighlightSyntax); }
    // An edit that records undo runs inside a scope (they nest): while the outermost one lasts
    // the line store logs the changes of the lines, and each record takes the changes made since
    // the previous record, with the caret and selection of that moment.
    class TEditScope {
    public:
        explicit TEditScope(TQzPadModel& pad);
        ~TEditScope();
        TEditScope(const TEditScope&) = delete;
        TEditScope& operator=(const TEditScope&) = delete;

    private:
        TQzPadModel& pad_;
    };
    void MarkBefore();
    // After an edit: the caret on a character's first byte, past the line's end only where it
    // may stand there (the moving edge of a column block excepted).
    void KeepCaretOnText();
    // Records a step with the changes made since the previous record (made after the change).
    void Record(TQzPadCommand c, TPoint caret, TPoint start, TPoint end, std::string text);
    // A record whose range is a stream of text whatever the block mode (a line break).
    void RecordStream(TQzPadCommand c, TPoint caret, TPoint start, TPoint end);
    void AddMacroStep(TQzPadCommand c, const std::string& text);
    // Typed text: replaces the selection, goes in at the caret (written over in qzmOverwrite),
    // undo kind qzcInsert and the macro step.
    void TypeText(const std::string& text);
    // Takes the composition's bytes out of its line (restoring what they were written over);
    // only when they are still there.
    void ImeRemoveShown();
    // Any other edit or move made while a composition is shown takes the composition out of the
    // text first; the input method's next update shows it again at the caret.
    void ImeTakeOut();
    bool ImeAtCaret() const;
    // Writes the composition's bytes at the caret (inserted, or over the text in overwrite mode).
    void ImePutShown(const std::string& bytes);
    // Where the composition goes in the logical line that starts at row `first`: the caret's
    // offset, off a trail byte and cut to the line's end where the caret may not pass it (the
    // caret moves there too).
    int ImePlace(int first);
    // True when the caret may stand past the end of row y: with ScrollPastEOL, on a row that
    // ends its logical line.
    bool PastEndAllowed(int y) const;
    int LogicalOffset(TPoint p) const;
    TPoint PhysicalPos(int first, int offset) const;
    // A place as the number of the logical line and the offset in it.
    struct TLogicalPos {
        int Line;
        int Offset;
    };
    TLogicalPos ToLogical(TPoint p) const;
    TPoint FromLogical(TLogicalPos p) const;
    // Replaces the logical line that starts at row `first` by `text` (wrapped again); the caret and
    // the selection points on it go to move(offset), those below follow the rows.
    void RewriteLogicalLine(int first, const std::string& text, const std::function<int(int)>& move);
    void StoreCaret(TPoint p);  // no events, no scrolling
    // A store emptied from outside gets its one empty line back before an edit.
    void EnsureLine();
    TPoint StablePos(TPoint p) const;
    TPoint ClampPos(TPoint p) const;
    void InvalidateSelection(TPoint a, TPoint b);
    void InvalidateColumnChange(TPoint anchor, TPoint oldEnd, TPoint newEnd);

    // movement
    void MoveLeft();
    void MoveRight();
    void MoveWordLeft();
    void MoveWordRight();
    void MovePage(int dir);
    void MoveHome();
    void MoveEnd();
    void MoveTop();
    void MoveBottom();
    void ScrollLine(int dir);
    void RunMove(void (TQzPadModel::*move)());

    // editing
    void DeleteChar();
    void DeletePrevChar();
    void DeleteWord();
    void DeletePrevWord();
    void DeleteLine();
    void DeleteEOL();
    void ProcessInsertNewLine();
    void ProcessReturn();
    bool BreakAtContinuation();
    void OpenFileUnderCaret();
    // The body of SetLines: `fill` puts the new lines into the store.
    void ReplaceLines(const std::function<void()>& fill);
    void InsertTextLines(const std::vector<std::string>& pieces, bool endsWithLf);
    // The rows the line writer reads and rewrites (QzPadEdit.cpp): the line store itself, or a
    // window over it that gathers the rows of a column insertion or removal and puts them into
    // the store in one splice.
    class TRows;
    class TStoreRows;
    class TRowWindow;
    // SetLine over `rows`: row `index` becomes `s`, its logical line wrapped again under word
    // wrap; the caret follows its text, the caret and the selection are kept on the rows.
    void WriteRow(TRows& rows, int index, const std::string& s);
    // The column insertion of InsertText, at the caret's column from the caret's row down: each
    // piece goes whole on the row under the one that holds the end of the piece before it, as the
    // rows stand once that piece is in. The caret ends after the last piece.
    void InsertColumn(const std::vector<std::string>& pieces);
    // The column removal of DeleteSelection: the block from column s.X to e.X on rows s.Y .. e.Y
    // as they stand when it begins. The caret goes to the block's left edge on its row; `keep`
    // (if given) keeps its place in the text.
    void RemoveColumn(TPoint s, TPoint e, TPoint* keep);
    std::vector<std::string> WrapLine(const std::string& s, int width) const;
    void RepaintForComment(const std::string& s);
    void RewrapForWindow();
    // Wraps the whole text again at the current width (the undo list is emptied, Modified kept).
    void Rewrap();
    void DoBlockIndent(bool indent);
    void IndentLines(TPoint s, TPoint e, bool indent, const std::string& blanks);
    void IndentInRow(TPoint s, bool hasSel, bool indent, const std::string& blanks);
    void IndentAtEdge(TPoint s, TPoint e, bool hasSel, bool indent, const std::string& blanks);
    TPoint OffTrailByte(TPoint p) const;
    // A point of the selection moved right off a trail byte.
    TPoint SelEdge(TPoint p) const;
    // Cuts the points of a stream selection that lie past their line's end, where the caret may
    // not stand, back to it, so that a removal records where its text really began.
    void ClampSelectionToText();
    // What typing over a selection does first: clamps it to the text and, when there is one,
    // deletes it as an undoable step and puts the caret at its start. True when it deleted one;
    // `start` is then that caret position.
    bool DeleteSelectionForTyping(TPoint& start);

    // syntax link
    std::string SyntaxBlockBegin() const;
    bool SyntaxDelimSet(TCharSet& set) const;
    void SyntaxCommentMarks(std::vector<std::string>& marks) const;
    void SyntaxParse(const std::string& line, int& state, std::vector<std::pair<std::string, TColor>>& items) const;

    IQzPadView* view_;
    TQzPadStrings lines_;
    TQzUndoItems undoList_;

    int cursorWidth_ = 2;
    TQzBlockMode blockMode_ = qzbmLine;
    TColor bookmarkColor_ = 0x00FFFF;
    TQzBorderStyle borderStyle_ = bsSingle;
    TColor color_ = 0xFFFFFF;
    int columnCount_ = 80;
    TColor currentLineColor_ = 0x00FFFF;
    TQzEditMode editMode_ = qzmInsert;
    std::string fileName_;
    TQzFontDesc font_;
    TColor gutterColor_ = clBtnFace;
    int gutterWidth_ = 30;
    TQzPadCodeType hanguelCodeType_ = qzctWansung;
    int indentSize_ = 2;
    TColor lineNoColor_ = clBtnFace;
    int lineSpace_ = 2;
    IQzPadMacroRecorder* macro_ = nullptr;
    std::string newLineMark_;
    TColor newLineMarkColor_ = 0x808000;
    TQzPadOptions options_ = TQzPadOptions::FromWord(QzPadDefaultOptionsWord);
    TColor pageBreakLineColor_ = clWindowFrame;
    TQzPrintHeader printHeader_;
    TQzPrintHeader printFooter_;
    TQzPrintOptions printOptions_;
    TQzPadShortCut* shortCut_ = nullptr;
    TQzSyntax* syntax_ = nullptr;
    bool tabStop_ = true;
    int tabSize_ = 2;
    TQzWordWrapOption wordWrap_ = qzwwNone;
    int gutterImageCount_ = 0;
    int gutterImageWidth_ = 0;
    int gutterImageHeight_ = 0;

    int updateCount_ = 0;
    int topLine_ = 0;
    int leftCol_ = 0;
    int charWidth_ = 8;
    int fontHeight_ = 13;
    int lineHeight_ = 17;
    int clientWidth_ = 200;
    int clientHeight_ = 100;
    TRect editRect_;
    int maxColumn_ = 0;
    std::vector<int> advances_;
    int caretX_ = 0;
    int caretY_ = 0;
    TPoint selAnchor_;
    TPoint selEnd_;
    bool modified_ = false;
    bool loading_ = false;
    bool selecting_ = false;
    bool undoRecording_ = true;
    bool composing_ = false;
    bool trailStep_ = false;
    bool dragPending_ = false;
    bool mouseSelecting_ = false;
    bool caretShown_ = false;
    bool mouseCaptured_ = false;
    bool dblClickPending_ = false;
    TPoint mouseDownPoint_;
    int lastWrapWidth_ = 0;
    int lastInsertMaxCol_ = 0;    // rightmost column a column-block insertion reached
    int editDepth_ = 0;           // edit scopes open
    std::vector<TQzLineChange> pending_;  // changes not yet taken by a record
    TPoint beforeCaret_;          // caret and selection before the pending changes
    TPoint beforeAnchor_;
    TPoint beforeEnd_;
    // The composition in the text: where it is (the first line of its logical line and the byte
    // offset there, so that a word wrap may move it between rows), the bytes it shows there, and
    // (overwrite mode) the bytes they were written over.
    int imeFirst_ = 0;
    int imeOffset_ = 0;
    int imePad_ = 0;              // blanks put before the composition to reach a caret past the end
    std::string imeShown_;
    std::string imeCovered_;
    bool playing_ = false;        // a macro is being replayed: nothing is recorded into it
};
