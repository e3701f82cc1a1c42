#include "app/FormDialogFrame.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <algorithm>

#include "app/WindowLook.h"
#include "controls/NvOS8PushButton.h"
#include "controls/TFlatSpeedButtonUnit.h"
#include "controls/TarkiForm.h"
#include "controls/TarkiPanel.h"
#include "document/QzText.h"
#include "editor/model/QzPadShortCut.h"
#include "editor/widget/QzPad.h"
#include "platform/core/Cp949.h"
#include "platform/gui/MenuKeys.h"
#include "platform/gui/QtText.h"

namespace {

constexpr int TitleHeight = 18;
constexpr TColor TitleColor = 0xA56E3A;

}  // namespace

QString UiText(const char* utf8) { return Cp949ToQString(Cp949(utf8)); }

QFont DialogFont()
{
    TFont f;
    f.SetName(Cp949("굴림"));
    f.SetHeight(-12);
    return f.ToQFont();
}

TDialogFrame BuildDialogFrame(TForm* form, const std::string& title, bool titleBar, int bodyBorder)
{
    TDialogFrame d;
    form->SetBorderStyle(bsFormNone);
    form->SetCaption(title);

    d.Frame = new TTarkiForm(form, form);
    d.Frame->SetBevelOuter(bvNone);
    d.Frame->SetBorderWidth(2);
    d.Frame->SetCaptionMove(true);
    d.Frame->SetAlign(alClient);

    if (titleBar) {
        TTarkiForm* bar = new TTarkiForm(d.Frame, form);
        d.TitleBar = bar;
        bar->SetBevelOuter(bvNone);
        bar->SetColor(TitleColor);
        bar->SetLineTop(TitleColor);
        bar->SetLineLeft(TitleColor);
        bar->SetLineRight(TitleColor);
        bar->SetLineBottom(TitleColor);
        bar->SetCaptionMove(true);
        bar->SetHeight(TitleHeight);
        bar->SetAlign(alTop);
        d.Title = new QLabel(Cp949ToQString(title), bar);
        QFont titleFont = DialogFont();
        titleFont.setBold(true);
        d.Title->setFont(titleFont);
        d.Title->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
        d.Title->setAttribute(Qt::WA_TransparentForMouseEvents);
        d.Icon = CreateTitleIcon(bar, 4, 4);
        d.Title->move(24, 2);
        d.Title->adjustSize();
        // The caption's box starts 1 pixel below the button's top edge: centred, the "X" of a
        // 12-pixel font would sit a pixel low and touch the frame while held.
        const auto titleButton = [bar, form](const char* caption) {
            auto* b = new TFlatSpeedButton(bar, form);
            b->SetCaption(caption);
            b->SetColor(TitleColor);
            SetTitleButtonLook(b);
            b->SetMargin(1);
            return b;
        };
        TFlatSpeedButton* minimize = d.MinButton = titleButton("_");
        minimize->SetVisible(false);
        TFlatSpeedButton* close = d.CloseButton = titleButton("X");
        close->SetModalResult(mrCancel);
        // 21 x 17 at the bar's top, 1 pixel in from its right end: the row left below them keeps
        // their white frame apart from the body's white top line.
        bar->OnResize = [bar, minimize, close](TObject*) {
            close->SetBounds(bar->Width() - 22, 0, 21, TitleHeight - 1);
            minimize->SetBounds(bar->Width() - 44, 0, 21, TitleHeight - 1);
        };
    }

    d.Body = new TTarkiForm(d.Frame, form);
    d.Body->SetBevelOuter(bvNone);
    d.Body->SetBorderWidth(bodyBorder);
    d.Body->SetLineTop(clWhite);
    d.Body->SetLineLeft(clWhite);
    d.Body->SetLineRight(clGray);
    d.Body->SetLineBottom(clGray);
    d.Body->SetCaptionMove(true);
    d.Body->SetAlign(alClient);
    return d;
}

void PlaceDialog(TForm* form, int width, int height)
{
    TQzPoint at;
    CenterOnMainForm(at, width, height);
    form->SetBounds(at.X, at.Y, width, height);
}

QLabel* CreateLabel(QWidget* parent, const char* utf8, int x, int y, int w, int h)
{
    auto* label = new QLabel(UiText(utf8), parent);
    label->setFont(DialogFont());
    label->setGeometry(x, y, w, h);
    return label;
}

QLineEdit* CreateEdit(QWidget* parent, int x, int y, int w, int h)
{
    auto* edit = new QLineEdit(parent);
    edit->setFont(DialogFont());
    edit->setGeometry(x, y, w, h);
    return edit;
}

std::string EditText(const QLineEdit* edit) { return QStringToCp949(edit->text()); }

void SetEditText(QLineEdit* edit, const std::string& cp949) { edit->setText(Cp949ToQString(cp949)); }

TOkCancelButtons CreateOkCancelButtons(QWidget* body, TForm* owner, int okX, int okY, int cancelX, int cancelY)
{
    auto* ok = new TNvOS8PushButton(body, owner);
    ok->SetCaption(Cp949("확인"));
    SetShadedButtonLook(ok);
    ok->SetBounds(okX, okY, 70, 26);
    auto* cancel = new TNvOS8PushButton(body, owner);
    cancel->SetCaption(Cp949("취소"));
    SetShadedButtonLook(cancel);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    cancel->SetBounds(cancelX, cancelY, 70, 26);
    return {ok, cancel};
}

TQzPad* CreateNoticeMemo(QWidget* parent, TQzPadShortCut* shortCut, QMenu* popup, int x, int y, int w, int h)
{
    auto* box = new TTarkiPanel(parent);
    box->SetBevelOuter(bvNone);
    box->SetColor(clWindow);
    box->SetLineTop(clGray);
    box->SetLineLeft(clGray);
    box->SetLineRight(clWhite);
    box->SetLineBottom(clWhite);
    box->SetBounds(x, y, w, h);
    auto* pad = new TQzPad(box);
    pad->setGeometry(1, 1, w - 2, h - 2);
    pad->SetFont(TQzFontDesc{Cp949("NanumGothicCoding"), 10, clWindowText, true});
    pad->SetBorderStyle(bsNone);
    pad->Model().SetColumnCount(54);
    pad->Model().SetLineSpace(5);
    pad->Model().SetNewLineMark(Cp949("↓"));
    TQzPadOptions options;
    options.Include(qzoAutoIndent).Include(qzoSelectDblClick).Include(qzoShowColumnIndicator);
    options.Include(qzoSmartHome).Include(qzoUseSpace);
    pad->SetOptions(options);
    pad->Model().SetSaveFormat(qzsfDos);
    pad->Model().SetConvertNullToSpace(true);
    pad->SetShortCut(shortCut);
    // The popup menu's keys reach the editor through the window's key routing.
    pad->SetPopupMenu(popup);
    SetPopupMenu(pad, popup);
    return pad;
}

TRadioGroup::TRadioGroup(const std::string& caption, const std::vector<std::string>& items, QWidget* parent)
    : QGroupBox(Cp949ToQString(caption), parent)
{
    setFont(DialogFont());
    for (const std::string& item : items) {
        auto* b = new QRadioButton(Cp949ToQString(item), this);
        b->setFont(font());
        buttons_.push_back(b);
    }
    LayoutButtons();
}

int TRadioGroup::ItemIndex() const
{
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked())
            return static_cast<int>(i);
    return -1;
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index >= 0 && index < ItemCount()) {
        buttons_[static_cast<size_t>(index)]->setChecked(true);
        return;
    }
    // Radio buttons of one parent are exclusive; to choose none, the rule is lifted for a moment.
    for (QRadioButton* b : buttons_) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
}

void TRadioGroup::resizeEvent(QResizeEvent* e)
{
    QGroupBox::resizeEvent(e);
    LayoutButtons();
}

// One item per row below the caption, spread over the group's height like the platform's radio
// group.
void TRadioGroup::LayoutButtons()
{
    if (buttons_.empty())
        return;
    const int top = 18;
    const int rowHeight = std::max(18, (height() - top - 4) / ItemCount());
    for (int i = 0; i < ItemCount(); ++i)
        buttons_[static_cast<size_t>(i)]->setGeometry(8, top + i * rowHeight, std::max(0, width() - 16), 18);
}
