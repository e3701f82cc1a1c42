#pragma once
// The multi-line text editor control: the window of a TQzPadModel.
//
// The model holds the text, caret, selection, undo list and every published property of the
// control; this widget gives it a window: it measures the font, tells the model its client size,
// turns Qt's key, mouse, wheel, focus and scroll-bar events into the model's calls, draws the
// caret, keeps the scroll bars, reaches the clipboard (code page 949 text) and paints what the
// model's BuildPaint describes through an off-screen image.
//
// Use from a window:
//   auto* pad = new TQzPad(parent);
//   pad->SetText(Cp949("첫 줄\n둘째 줄"));      // code page 949, LF between lines
//   pad->OnChanged = [](TQzPad* sender) { ... };
//   pad->SetShortCut(&shortCuts);                // without key bindings keys only type
//   pad->Model().SetOptions(...);                // every other property lives on the model
// Events take the sender first and fire only when assigned. OnChanged follows the model's change
// rules: whole-line changes, cut, paste, SetSelText, deleting the selection, a change of block
// mode, SetText and every focus gain fire it; typing inside a line only sets Modified().

#include "editor/model/QzCodeTemplates.h"
#include "editor/model/QzPadModel.h"
#include "editor/model/QzPadSearch.h"
#include "editor/model/QzPadTransform.h"
#include "editor/widget/QzPadPainter.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

class QMenu;
class TImageList;
class TQzPadShortCut;
class TQzSyntax;

class TQzPadPrint;

class TQzPad : public QAbstractScrollArea {
public:
    using TNotifyEvent = std::function<void(TQzPad* Sender)>;
    using TKeyEvent = std::function<void(TQzPad* Sender, TVirtualKey& Key, TShiftState Shift)>;
    using TKeyPressEvent = std::function<void(TQzPad* Sender, char& Key)>;
    using TMouseEvent = std::function<void(TQzPad* Sender, TQzMouseButton Button, TShiftState Shift, int X, int Y)>;
    using TMouseMoveEvent = std::function<void(TQzPad* Sender, TShiftState Shift, int X, int Y)>;
    // WheelDelta in Qt's units (120 per notch); set Handled to keep the control from scrolling.
    using TMouseWheelEvent = std::function<void(TQzPad* Sender, TShiftState Shift, int WheelDelta, int X, int Y, bool& Handled)>;
    using TOpenFileEvent = std::function<void(TQzPad* Sender, const std::string& FileName)>;

    explicit TQzPad(QWidget* parent = nullptr);
    ~TQzPad() override;
    TQzPad(const TQzPad&) = delete;
    TQzPad& operator=(const TQzPad&) = delete;

    // The control's state and properties.
    TQzPadModel& Model() { return model_; }
    const TQzPadModel& Model() const { return model_; }

    // ---- the text ----
    // The whole text: lines joined by LF (no LF after the last line); continuation lines of a
    // word wrap are joined to their line without a break.
    std::string Text() const;
    // True when Text() would give `text`.
    bool TextIs(std::string_view text) const;
    // Replaces the text (split at CR LF, LF or CR; an empty text is one empty line). Empties the
    // undo list, wraps when WordWrap is on and fires OnChanged.
    void SetText(const std::string& text);
    // SetText that lets the text go once it is split into lines.
    void SetText(std::string&& text);
    void Clear() { model_.Clear(); }
    TQzPadStrings& Lines() { return model_.Lines(); }
    std::string SelText() const { return model_.GetSelText(); }
    void SetSelText(const std::string& s) { model_.SetSelText(s); }
    void SelectAll() { model_.SelectAll(); }
    void CutToClipboard() { model_.CutToClipboard(); }
    void CopyToClipboard() { model_.CopyToClipboard(); }
    void PasteFromClipboard() { model_.PasteFromClipboard(); }
    void Undo() { model_.Undo(); }
    bool CanUndo() const { return model_.CanUndo(); }
    bool Modified() const { return model_.Modified(); }
    void SetModified(bool v) { model_.SetModified(v); }

    // ---- properties the window takes part in ----
    static std::string About() { return TQzPadModel::About(); }
    TQzBlockMode BlockMode() const { return model_.BlockMode(); }
    void SetBlockMode(TQzBlockMode m) { model_.SetBlockMode(m); }
    TQzWordWrapOption WordWrap() const { return model_.WordWrap(); }
    void SetWordWrap(TQzWordWrapOption w) { model_.SetWordWrap(w); }
    bool ReadOnly() const { return model_.HasOption(qzoReadOnly); }
    void SetReadOnly(bool on);
    TQzPadOptions Options() const { return model_.Options(); }
    void SetOptions(TQzPadOptions o) { model_.SetOptions(o); }
    // The font (name in code page 949, size in points); the control measures it again.
    const TQzFontDesc& Font() const { return model_.Font(); }
    void SetFont(const TQzFontDesc& font);
    QFont ScreenFont() const { return qfont_; }
    TQzBorderStyle BorderStyle() const { return model_.BorderStyle(); }
    void SetBorderStyle(TQzBorderStyle s) { model_.SetBorderStyle(s); }
    // The key-binding component and the colouriser: not owned; the owner calls
    // ForgetComponent (or sets null) before freeing one.
    TQzPadShortCut* ShortCut() const { return model_.ShortCut(); }
    void SetShortCut(TQzPadShortCut* s) { model_.SetShortCut(s); }
    TQzSyntax* Syntax() const { return model_.Syntax(); }
    void SetSyntax(TQzSyntax* s) { model_.SetSyntax(s); }
    // Gutter images: image n (0..9) marks bookmark n, image 10 a continuation line (with exactly
    // 11 images). Not owned.
    const TImageList* GutterImages() const { return gutterImages_; }
    void SetGutterImages(const TImageList* images);
    void ForgetComponent(const void* component);
    // TabStop: the control takes the focus with Tab and with a click (true when made).
    bool TabStop() const { return model_.TabStop(); }
    void SetTabStop(bool v);
    TQzImeInputMode ImeInputMode() const { return imeMode_; }
    // The input method's Hangul/English mode as the control keeps it (Qt offers no way to switch
    // the platform's input method, so the control's own state is what commands toggle).
    TQzImeInputMode GetImeInputMode() const { return imeMode_; }
    void SetImeInputMode(TQzImeInputMode mode) { model_.SetImeInputMode(mode); }
    // The menu a right click opens (not owned); with one, a right click leaves the text alone.
    QMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(QMenu* menu);

    // ---- text files ----
    // See TQzPadModel::LoadFromFile / SaveToFile: EFOpenError / EFCreateError reach the caller.
    void LoadFromFile(const std::string& fileName) { model_.LoadFromFile(fileName); }
    void SaveToFile(const std::string& fileName) { model_.SaveToFile(fileName); }
    TQzPadSaveFormat SaveFormat() const { return model_.SaveFormat(); }
    void SetSaveFormat(TQzPadSaveFormat f) { model_.SetSaveFormat(f); }
    TQzPadCodeType HanguelCodeType() const { return model_.HanguelCodeType(); }
    bool ConvertNullToSpace() const { return model_.ConvertNullToSpace(); }
    void SetConvertNullToSpace(bool v) { model_.SetConvertNullToSpace(v); }

    // ---- braces, code templates, page breaks, macros ----
    void MatchBrace(bool forward) { model_.MatchBrace(forward); }
    void ShowCodeTemplates() { model_.ShowCodeTemplates(); }
    // The code templates of the control: the template file, the popup's settings and (through
    // PopupFactory, set by whoever provides the popup window) the popup. Ctrl+J looks the word
    // before the caret up in it, or shows the popup below the caret.
    TQzCodeTemplates& CodeTemplates() { return codeTemplates_; }
    // The handler the template popup calls with the chosen template's code.
    void InsertCodeTemplate(void* sender, const std::string& code) { model_.InsertCodeTemplate(code); }
    // The screen point where a popup of the given size goes: below the caret, kept on the
    // screen (moved left by its width, or up above the caret line).
    QPoint CodeTemplatesPopupPos(int width, int height) const;
    void InsertPageBreak() { model_.InsertPageBreak(); }
    IQzPadMacroRecorder* Macro() const { return model_.Macro(); }
    void SetMacro(IQzPadMacroRecorder* m) { model_.SetMacro(m); }

    // ---- find and replace; printing; text transformations ----
    // The control remembers the last search, so FindContinue searches on with it.
    bool Find(const std::string& text, TQzFindOptions options) { return search_.Find(text, options); }
    bool FindContinue() { return search_.FindContinue(); }
    bool ReplaceAll(const std::string& findText, const std::string& replaceText, TQzFindOptions options)
    {
        return search_.ReplaceAll(findText, replaceText, options);
    }
    // Pagination, printing and the preview, made at first use.
    TQzPadPrint& Printing();
    // Sorting, numbering, aligning, joining, filling and converting lines.
    TQzPadTransform& Transform() { return transform_; }
    void PlayMacro(int count) { model_.PlayMacro(count); }
    void RecordMacro() { model_.RecordMacro(); }
    void StopRecord() { model_.StopRecord(); }

    // ---- events ----
    TNotifyEvent OnChanged;
    TNotifyEvent OnConfirmConvert;
    TNotifyEvent OnImeInputModeChange;
    TNotifyEvent OnPosChanged;
    TOpenFileEvent OnOpenFile;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;

    // ---- what tests and benchmarks look at ----
    // Paints the control as a paint event would, without the caret, and returns the image
    // (the viewport's size). Returns the previous image while an update bracket is open.
    QImage RenderImage();
    // The caret: created, shown, and its rectangle in viewport pixels.
    bool CaretVisible() const { return caretCreated_ && caretShown_; }
    QRect CaretRect() const { return caretRect_; }
    bool DraggingSelection() const { return dragging_; }

protected:
    bool event(QEvent* e) override;
    bool focusNextPrevChild(bool next) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void scrollContentsBy(int dx, int dy) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    class TViewLink;
    friend class TViewLink;

    void BindModelEvents();
    void MeasureFont();
    void ApplyBorderStyle();
    void UpdateCaretArea();
    void TypeText(const QString& text, TShiftState shift);
    // Ends a composition before the caret or the focus moves away from it: the syllable being
    // built is committed as it stands; `resetInputMethod` also tells the input method to drop it
    // (only while the control still has the focus).
    void FinishComposition(bool resetInputMethod);
    void ScrollBarAction(Qt::Orientation orientation, int action);
    void SetScrollBar(Qt::Orientation orientation, int min, int max, int page, int pos);
    void PaintOffscreen();

    TQzPadModel model_;
    TQzPadSearch search_{model_};
    TQzPadTransform transform_{model_};
    std::unique_ptr<TQzPadPrint> print_;
    TQzCodeTemplates codeTemplates_;
    std::unique_ptr<TViewLink> link_;
    QFont qfont_;
    TQzPadPainter painter_;
    QImage offscreen_;
    const TImageList* gutterImages_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    TQzImeInputMode imeMode_ = imEnglish;
    std::string preedit_;  // the composition being built, code page 949

    // The caret, drawn by inverting its rectangle; it blinks while shown.
    QRect caretRect_;
    bool caretCreated_ = false;
    bool caretShown_ = false;
    bool caretBlinkOn_ = true;
    QTimer caretTimer_;

    // Drag selection and drag-and-drop of the selection within the control.
    QTimer autoScrollTimer_;
    QPoint lastMousePos_;
    bool dragging_ = false;
    int wheelRemainder_ = 0;
};
