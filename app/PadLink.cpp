#include "app/PadLink.h"

#include <algorithm>
#include <vector>

#include "editor/model/QzPadShortCut.h"
#include "editor/model/QzSmiSyntax.h"
#include "editor/widget/QzPad.h"
#include "platform/core/Cp949.h"
#include "platform/gui/MenuKeys.h"

struct TPadLink::TImpl {
    TQzSmiSyntax syntax;
    TQzPadShortCut shortCut;
    std::vector<TQzPad*> pads;
};

namespace {

// The main window's SAMI colouriser as its layout sets it up; the four tag colours keep the
// class's own values.
void ConfigureMainWindowSyntax(TQzSmiSyntax& s) {
    s.CaseSensitive = false;
    s.ForceUpperCase = true;
    s.LineComment1 = "//";
    s.BlockCommentStart1 = "<!--";
    s.BlockCommentEnd1 = "-->";
    s.BlockCommentStart2 = s.BlockCommentEnd2 = "'";
    s.BlockCommentStart3 = s.BlockCommentEnd3 = "\"";
    s.CommentColor = clGray;
    s.SetDelimiter("<>= /\t '\"&");
    s.StringColor = clSilver;
    s.NumberColor = clLime;
    s.KeywordColor1 = clYellow;
    s.KeywordColor2 = clAqua;
    s.KeywordColor3 = clFuchsia;
    s.KeywordColor4 = 0x34DC4E;
    s.KeywordColor5 = 0x80FF80;
    TStringList entities;
    for (const char* e : {"&amp;", "&gt;", "&lt;", "&nbsp;", "&quot;"}) entities.Add(e);
    s.SetKeyword(6, entities);
    s.KeywordColor6 = clLime;
    s.OperatorColor = clNone;
}

}  // namespace

TPadLink::TPadLink() : impl_(std::make_unique<TImpl>()) {
    impl_->shortCut.ResetToDefaultShortCut();
    ConfigureMainWindowSyntax(impl_->syntax);
}

TPadLink::~TPadLink() { Release(); }

TQzPad* TPadLink::CreatePad(QWidget* parent, bool memo) {
    auto* pad = new TQzPad(parent);
    // Light text on black: the SAMI colouriser's tag, number and entity colours (yellow, lime,
    // aqua, silver) are bright and cannot be read on a white background.
    pad->SetFont(TQzFontDesc{Cp949("NanumGothicCoding"), 10, clWhite, true});
    pad->Model().SetColor(clBlack);
    pad->SetSyntax(&impl_->syntax);
    pad->SetShortCut(&impl_->shortCut);
    TQzPadOptions options = pad->Options().With(qzoHighlightSyntax);
    options = memo ? options.With(qzoAutoIndent) : options.Without(qzoShowGutter);
    pad->SetOptions(options);
    pad->SetBlockMode(qzbmLine);
    impl_->pads.push_back(pad);
    return pad;
}

void TPadLink::Release() {
    for (TQzPad* pad : impl_->pads) {
        pad->SetSyntax(nullptr);
        pad->SetShortCut(nullptr);
    }
    impl_->pads.clear();
}

bool TPadLink::Find(TQzPad* pad, const std::string& text, TQzFindOptions options) { return pad->Find(text, options); }

QWidget* TPadLink::Widget(TQzPad* pad) { return pad; }
QWidget* TPadLink::Viewport(TQzPad* pad) { return pad->viewport(); }
TQzPad* TPadLink::FromWidget(QWidget* widget) { return dynamic_cast<TQzPad*>(widget); }

std::string TPadLink::Text(TQzPad* pad) { return pad->Text(); }
bool TPadLink::TextIs(TQzPad* pad, std::string_view text) { return pad->TextIs(text); }
void TPadLink::SetText(TQzPad* pad, const std::string& text) { pad->SetText(text); }

void TPadLink::RefillText(TQzPad* pad, std::string&& text) {
    TQzPadModel& m = pad->Model();
    const int top = m.TopLine();
    const int line = m.CaretY();
    pad->SetText(std::move(text));
    const int last = std::max(0, m.Lines().Count() - 1);
    m.SetTopLine(std::min(top, last));
    m.SetCaretPosition(TPoint(0, std::min(line, last)));
    m.UpdateCaretPos();
}

void TPadLink::GoToLine(TQzPad* pad, int line) {
    // Soft-wrapped rows continue the logical line above them.
    const TQzPadStrings& rows = pad->Model().Lines();
    int logical = 0;
    for (int row = 0; row < rows.Count(); ++row) {
        const TQzLineAttribute* a = rows.Attribute(row);
        if (row > 0 && !(a && a->Wrapped)) ++logical;
        if (logical == line) {
            pad->Model().GoToLine(row + 1);
            return;
        }
    }
}
bool TPadLink::Modified(TQzPad* pad) { return pad->Modified(); }
void TPadLink::SetModified(TQzPad* pad, bool modified) { pad->SetModified(modified); }
std::string TPadLink::SelText(TQzPad* pad) { return pad->SelText(); }
void TPadLink::SetSelText(TQzPad* pad, const std::string& text) { pad->SetSelText(text); }
void TPadLink::Undo(TQzPad* pad) { pad->Undo(); }
void TPadLink::Cut(TQzPad* pad) { pad->CutToClipboard(); }
void TPadLink::Copy(TQzPad* pad) { pad->CopyToClipboard(); }
void TPadLink::Paste(TQzPad* pad) { pad->PasteFromClipboard(); }
void TPadLink::SelectAll(TQzPad* pad) { pad->SelectAll(); }

void TPadLink::SetPopupMenu(TQzPad* pad, QMenu* menu) {
    pad->SetPopupMenu(menu);
    ::SetPopupMenu(pad, menu);
}

void TPadLink::SetWordWrap(TQzPad* pad, int mode) {
    static const TQzWordWrapOption modes[] = {qzwwNone, qzwwWindow, qzwwUser};
    if (mode >= 0 && mode < 3) pad->SetWordWrap(modes[mode]);
}

void TPadLink::SetLineBlockMode(TQzPad* pad) { pad->SetBlockMode(qzbmLine); }
bool TPadLink::IsLineBlockMode(TQzPad* pad) { return pad->BlockMode() == qzbmLine; }

void TPadLink::OnChanged(TQzPad* pad, std::function<void()> run) {
    pad->OnChanged = [run](TQzPad*) { run(); };
}
void TPadLink::OnKeyDown(TQzPad* pad, std::function<void()> run) {
    pad->OnKeyDown = [run](TQzPad*, TVirtualKey&, TShiftState) { run(); };
}
void TPadLink::OnKeyPress(TQzPad* pad, std::function<void()> run) {
    pad->OnKeyPress = [run](TQzPad*, char&) { run(); };
}
void TPadLink::OnKeyUp(TQzPad* pad, std::function<void()> run) {
    pad->OnKeyUp = [run](TQzPad*, TVirtualKey&, TShiftState) { run(); };
}
