#include "controls/TFlatComboBoxUnit.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QStyle>

#include <algorithm>

#include "platform/core/SysUtils.h"
#include "platform/gui/Controls.h"
#include "platform/gui/QtText.h"

namespace {

// The character a key types, as the platform's character message gives it: Enter, Escape and
// Backspace as their control codes, other single-byte characters as themselves; 0 when the key
// types nothing or a double-byte character.
char KeyChar(const QKeyEvent& e) {
    switch (e.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return '\r';
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Backspace:
        return 8;
    default:
        break;
    }
    const QString text = e.text();
    if (text.isEmpty())
        return 0;
    const std::string bytes = QStringToCp949(text);
    return bytes.size() == 1 ? bytes[0] : 0;
}

// Byte length of the code page 949 form of the first `chars` characters of `text`.
int BytesOf(const QString& text, int chars) {
    return static_cast<int>(QStringToCp949(text.left(std::max(chars, 0))).size());
}

// Number of characters of `text` whose code page 949 form fills the first `bytes` bytes (a
// position inside a double-byte character counts as after it).
int CharsOf(const QString& text, int bytes) {
    int count = 0;
    int used = 0;
    while (count < text.size() && used < bytes) {
        used += static_cast<int>(QStringToCp949(text.mid(count, 1)).size());
        ++count;
    }
    return count;
}

}  // namespace

TFlatComboBox::TFlatComboBox(QWidget* parent, TComponent* owner)
    : QComboBox(parent), TComponent(owner, false), font_(std::make_unique<TFont>()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    scrollBarWidth_ = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    setFrame(false);
    setMaxVisibleItems(8);
    font_->OnChange = [this](TObject*) {
        itemHeight_ = 13;
        ApplyFont();
    };
    connect(this, QOverload<int>::of(&QComboBox::activated), this, [this](int) {
        if (OnClick)
            OnClick(this);
        if (OnChange)
            OnChange(this);
    });
    ApplyStyle();
    ApplyFont();
    if (parent)
        setVisible(true);
}

TFlatComboBox::~TFlatComboBox() { canvas_.Unbind(); }

void TFlatComboBox::SetBounds(int left, int top, int width, int height) {
    setGeometry(left, top, std::max(width, 0), std::max(height, 0));
}

void TFlatComboBox::SetStyle(TComboBoxStyle style) {
    if (style == style_)
        return;
    style_ = style;
    ApplyStyle();
    update();
}

// The editable styles get a line edit without Qt's completion or list insertion.
void TFlatComboBox::ApplyStyle() {
    const bool editable = style_ == csDropDown || style_ == csSimple;
    setEditable(editable);
    setInsertPolicy(QComboBox::NoInsert);
    if (!editable)
        return;
    setCompleter(nullptr);
    QLineEdit* edit = lineEdit();
    edit->setFrame(false);
    edit->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
    if (edit != connectedEdit_) {
        connectedEdit_ = edit;
        connect(edit, &QLineEdit::textEdited, this, [this](const QString&) {
            if (OnChange)
                OnChange(this);
        });
    }
    ApplyColors();
    ApplyFont();
    UpdateEditGeometry();
}

void TFlatComboBox::ApplyFont() {
    const QFont f = font_->ToQFont();
    setFont(f);
    if (QLineEdit* edit = lineEdit())
        edit->setFont(f);
    if (view())
        view()->setFont(f);
    canvas_.Font->Assign(*font_);
    ApplyColors();
    UpdateEditGeometry();
    update();
}

void TFlatComboBox::ApplyColors() {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ToQColor(color_));
    pal.setColor(QPalette::Window, ToQColor(color_));
    pal.setColor(QPalette::Text, ToQColor(font_->Color()));
    setPalette(pal);
    if (QLineEdit* edit = lineEdit())
        edit->setPalette(pal);
    // The drop-down list is painted on the combo's own colour.
    if (QAbstractItemView* list = view()) {
        QPalette lp = list->palette();
        lp.setColor(QPalette::Base, ToQColor(color_));
        lp.setColor(QPalette::Text, ToQColor(font_->Color()));
        list->setPalette(lp);
    }
}

void TFlatComboBox::SetColor(TColor color) {
    if (color == color_)
        return;
    color_ = color;
    ApplyColors();
    update();
}

void TFlatComboBox::SetColors(int index, TColor color) {
    switch (index) {
    case 0:
        colorArrow_ = color;
        break;
    case 1:
        colorArrowBackground_ = color;
        break;
    case 2:
        colorBorder_ = color;
        break;
    default:
        return;
    }
    update();
}

void TFlatComboBox::SetAdvColors(int index, TAdvColors value) {
    switch (index) {
    case 0:
        advColorBorder_ = value;
        break;
    case 1:
        advColorArrowBackground_ = value;
        break;
    default:
        return;
    }
    CalcAdvColors();
    update();
}

void TFlatComboBox::SetUseAdvColors(bool v) {
    if (v == useAdvColors_)
        return;
    useAdvColors_ = v;
    CalcAdvColors();
    update();
}

void TFlatComboBox::CalcAdvColors() {
    if (!useAdvColors_)
        return;
    TColor parentColor = clBtnFace;
    if (const auto* p = dynamic_cast<const TControl*>(parentWidget()))
        parentColor = p->Color();
    colorBorder_ = CalcAdvancedColor(parentColor, colorBorder_, advColorBorder_, darken);
    colorArrowBackground_ = CalcAdvancedColor(parentColor, colorArrowBackground_, advColorArrowBackground_, darken);
}

void TFlatComboBox::ParentColorChanged() {
    CalcAdvColors();
    update();
}

void TFlatComboBox::SetMaxLength(int v) {
    maxLength_ = std::max(v, 0);
    if (QLineEdit* edit = lineEdit())
        edit->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
}

void TFlatComboBox::SetSorted(bool v) {
    if (v == sorted_)
        return;
    sorted_ = v;
    if (!sorted_)
        return;
    const std::string current = Text();
    std::vector<std::string> items;
    for (int i = 0; i < count(); ++i)
        items.push_back(Item(i));
    std::stable_sort(items.begin(), items.end(),
                     [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    clear();
    for (const std::string& s : items)
        addItem(Cp949ToQString(s));
    if (isEditable())
        SetText(current);
}

std::string TFlatComboBox::Item(int index) const {
    if (index < 0 || index >= count())
        return std::string();
    return QStringToCp949(itemText(index));
}

int TFlatComboBox::SortedIndexFor(const std::string& text) const {
    int i = 0;
    while (i < count() && CompareText(Item(i), text) <= 0)
        ++i;
    return i;
}

int TFlatComboBox::AddItem(const std::string& text) {
    const int index = sorted_ ? SortedIndexFor(text) : count();
    const QString keep = isEditable() ? lineEdit()->text() : QString();
    insertItem(index, Cp949ToQString(text));
    if (isEditable() && lineEdit()->text() != keep)
        lineEdit()->setText(keep);
    return index;
}

void TFlatComboBox::InsertItem(int index, const std::string& text) {
    index = std::clamp(index, 0, count());
    const QString keep = isEditable() ? lineEdit()->text() : QString();
    insertItem(index, Cp949ToQString(text));
    if (isEditable() && lineEdit()->text() != keep)
        lineEdit()->setText(keep);
}

void TFlatComboBox::DeleteItem(int index) {
    if (index < 0 || index >= count())
        return;
    const QString keep = isEditable() ? lineEdit()->text() : QString();
    removeItem(index);
    if (isEditable() && lineEdit()->text() != keep)
        lineEdit()->setText(keep);
}

int TFlatComboBox::IndexOfItem(const std::string& text) const {
    for (int i = 0; i < count(); ++i)
        if (SameText(Item(i), text))
            return i;
    return -1;
}

std::string TFlatComboBox::Text() const {
    if (QLineEdit* edit = lineEdit())
        return QStringToCp949(edit->text());
    return QStringToCp949(currentText());
}

void TFlatComboBox::SetText(const std::string& text) {
    const QString q = Cp949ToQString(text);
    if (QLineEdit* edit = lineEdit()) {
        edit->setText(q);
        return;
    }
    // A list-only combo shows only its items: the text selects the item that has it.
    setCurrentIndex(findText(q, Qt::MatchFixedString | Qt::MatchCaseSensitive));
    update();
}

void TFlatComboBox::SetItemIndex(int index) {
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
    update();
}

int TFlatComboBox::SelStart() const {
    const QLineEdit* edit = lineEdit();
    if (!edit)
        return 0;
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    return BytesOf(edit->text(), start);
}

int TFlatComboBox::SelLength() const {
    const QLineEdit* edit = lineEdit();
    if (!edit || !edit->hasSelectedText())
        return 0;
    const int start = edit->selectionStart();
    return BytesOf(edit->text(), start + edit->selectedText().size()) - BytesOf(edit->text(), start);
}

void TFlatComboBox::SetSelStart(int start) {
    if (QLineEdit* edit = lineEdit())
        edit->setCursorPosition(CharsOf(edit->text(), std::max(start, 0)));
}

void TFlatComboBox::SetSelLength(int length) {
    QLineEdit* edit = lineEdit();
    if (!edit)
        return;
    const QString text = edit->text();
    const int startBytes = SelStart();
    const int start = CharsOf(text, startBytes);
    const int end = CharsOf(text, startBytes + std::max(length, 0));
    edit->setSelection(start, end - start);
}

void TFlatComboBox::SelectAll() {
    if (QLineEdit* edit = lineEdit())
        edit->selectAll();
}

void TFlatComboBox::SetDroppedDown(bool v) {
    if (v)
        showPopup();
    else
        hidePopup();
}

void TFlatComboBox::showPopup() {
    if (OnDropDown)
        OnDropDown(this);
    dropped_ = true;
    UpdateSolidBorder();
    repaint();
    QComboBox::showPopup();
}

void TFlatComboBox::hidePopup() {
    const bool was = dropped_;
    QComboBox::hidePopup();
    dropped_ = false;
    UpdateSolidBorder();
    if (was) {
        TRect r = ButtonRect();
        update(r.Left - 2, r.Top, r.Width() + 2, r.Height());
        if (OnCloseUp)
            OnCloseUp(this);
    }
}

TRect TFlatComboBox::ButtonRect() const {
    return Rect(width() - ButtonWidth - 1, 0, width() - 1, height());
}

void TFlatComboBox::UpdateEditGeometry() {
    if (QLineEdit* edit = lineEdit())
        edit->setGeometry(3, 3, std::max(width() - ButtonWidth - 8, 0), std::max(height() - 6, 0));
}

void TFlatComboBox::resizeEvent(QResizeEvent* e) {
    QComboBox::resizeEvent(e);
    UpdateEditGeometry();
}

void TFlatComboBox::showEvent(QShowEvent* e) {
    QComboBox::showEvent(e);
    UpdateEditGeometry();
}

void TFlatComboBox::changeEvent(QEvent* e) {
    QComboBox::changeEvent(e);
    switch (e->type()) {
    case QEvent::EnabledChange:
        update();
        break;
    case QEvent::StyleChange:
    case QEvent::FontChange:
        UpdateEditGeometry();
        break;
    case QEvent::ParentChange:
        ParentColorChanged();
        break;
    default:
        break;
    }
}

void TFlatComboBox::UpdateSolidBorder() {
    const QLineEdit* edit = lineEdit();
    const bool solid = dropped_ || hasFocus() || (edit && edit->hasFocus());
    if (solid == solidBorder_)
        return;
    solidBorder_ = solid;
    update();
}

void TFlatComboBox::FocusChanged() {
    const bool inside = dropped_ || hasFocus() || (lineEdit() && lineEdit()->hasFocus());
    UpdateSolidBorder();
    if (inside == focusInside_)
        return;
    focusInside_ = inside;
    if (inside && OnEnter)
        OnEnter(this);
    else if (!inside && OnExit)
        OnExit(this);
}

void TFlatComboBox::focusInEvent(QFocusEvent* e) {
    QComboBox::focusInEvent(e);
    FocusChanged();
    if (style_ != csDropDown)
        update();
}

void TFlatComboBox::focusOutEvent(QFocusEvent* e) {
    QComboBox::focusOutEvent(e);
    // The list taking the focus keeps it inside the combo, and so does another window becoming
    // active (or this one closing): the focus comes back here when the window is active again.
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason)
        UpdateSolidBorder();
    else
        FocusChanged();
    if (style_ != csDropDown)
        update();
}

void TFlatComboBox::keyPressEvent(QKeyEvent* e) {
    Word key = QtKeyToVirtualKey(e->key());
    const TShiftState shift = ShiftStateFromQt(e->modifiers());
    if (OnKeyDown && key != 0) {
        OnKeyDown(this, key, shift);
        if (key == 0) {
            e->accept();
            return;
        }
    }
    const char typed = KeyChar(*e);
    if (typed != 0 && OnKeyPress) {
        char ch = typed;
        OnKeyPress(this, ch);
        if (ch == 0) {
            e->accept();
            return;
        }
        if (ch != typed) {
            // The handler typed another character in place of this one.
            if (QLineEdit* edit = lineEdit()) {
                if (static_cast<unsigned char>(ch) >= 0x20) {
                    edit->insert(Cp949ToQString(std::string(1, ch)));
                    if (OnChange)
                        OnChange(this);
                }
            }
            e->accept();
            return;
        }
    }
    const std::string before = Text();
    QComboBox::keyPressEvent(e);
    if (style_ != csDropDown && Text() != before)
        update();
}

void TFlatComboBox::keyReleaseEvent(QKeyEvent* e) {
    Word key = QtKeyToVirtualKey(e->key());
    if (OnKeyUp && key != 0) {
        OnKeyUp(this, key, ShiftStateFromQt(e->modifiers()));
        if (key == 0) {
            e->accept();
            return;
        }
    }
    QComboBox::keyReleaseEvent(e);
}

void TFlatComboBox::inputMethodEvent(QInputMethodEvent* e) {
    composing_ = !e->preeditString().isEmpty();
    QComboBox::inputMethodEvent(e);
}

void TFlatComboBox::mousePressEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (e->button() == Qt::LeftButton && (!isEditable() || ButtonRect().Contains(p.x(), p.y()))) {
        if (dropped_)
            hidePopup();
        else
            showPopup();
        e->accept();
        return;
    }
    QComboBox::mousePressEvent(e);
}

void TFlatComboBox::mouseDoubleClickEvent(QMouseEvent* e) {
    QComboBox::mouseDoubleClickEvent(e);
    if (OnDblClick)
        OnDblClick(this);
}

void TFlatComboBox::paintEvent(QPaintEvent* e) {
    QPainter painter(this);
    canvas_.BindPainter(&painter);
    const QRect u = e->rect();
    TRect area = Rect(u.left(), u.top(), u.right() + 1, u.bottom() + 1);
    area.Right = std::min(area.Right, width() - ButtonWidth - 4);
    canvas_.Brush->Color = color_;
    canvas_.Brush->Style = bsSolid;
    if (!area.IsEmpty())
        canvas_.FillRect(area);
    if (style_ == csDropDownList || style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable)
        DrawListText(canvas_);
    if (style_ == csDropDown) {
        if (dropped_) {
            canvas_.Brush->Color = clWindow;
            canvas_.FrameRect(Rect(2, 2, width() - ButtonWidth - 3, height() - 2));
        }
    } else {
        DrawSelectionArea(canvas_);
    }
    DrawBorder(canvas_);
    if (style_ != csSimple)
        DrawButton(canvas_);
    canvas_.Unbind();
}

// The item text of the list-only styles, highlighted while the combo has the focus.
void TFlatComboBox::DrawListText(TCanvas& canvas) {
    const TRect r = Rect(3, 3, width() - ButtonWidth - 3, height() - 3);
    if (r.IsEmpty())
        return;
    const bool highlight = hasFocus() && !dropped_;
    canvas.Brush->Color = highlight ? clHighlight : color_;
    canvas.FillRect(r);
    canvas.Font->Assign(*font_);
    if (highlight)
        canvas.Font->SetColor(clHighlightText);
    canvas.Brush->Style = bsClear;
    const std::string text = Text();
    canvas.TextRect(r, r.Left + 1, r.Top + (r.Height() - canvas.TextHeight(text)) / 2, text);
    canvas.Brush->Style = bsSolid;
}

void TFlatComboBox::DrawSelectionArea(TCanvas& canvas) {
    TRect r = Rect(2, 3, width() - 2, height() - 3);
    r.Left = r.Right - ButtonWidth - 8;
    r.Right = r.Right - ButtonWidth - 3;
    const bool highlight = hasFocus() && !dropped_;
    canvas.Brush->Color = highlight ? clHighlight : color_;
    canvas.Brush->Style = bsSolid;
    canvas.FillRect(r);
    if (highlight) {
        canvas.FrameRect(Rect(3, 3, width() - 3 - (ButtonWidth + 2), height() - 3));
        canvas.Brush->Color = clWindow;
    }
}

void TFlatComboBox::DrawBorder(TCanvas& canvas) {
    TRect r = Rect(0, 0, width() - ButtonWidth - 1, height());
    canvas.Brush->Style = bsSolid;
    canvas.Brush->Color = ColorToRGB(colorBorder_);
    canvas.FrameRect(r);
    canvas.Brush->Color = ColorToRGB(color_);
    for (int i = 0; i < 2; ++i) {
        InflateRect(r, -1, -1);
        canvas.FrameRect(r);
    }
}

void TFlatComboBox::DrawButton(TCanvas& canvas) {
    TRect r = ButtonRect();
    InflateRect(r, 1, 0);
    canvas.Brush->Style = bsSolid;
    canvas.Brush->Color = colorArrowBackground_;
    canvas.FillRect(r);
    canvas.Brush->Color = colorBorder_;
    canvas.FrameRect(r);

    const int x = (r.Right - r.Left) / 2 - 6 + r.Left;
    const int y = (r.Bottom - r.Top) / 2 - 1 + r.Top;
    auto arrow = [&](int ax, int ay, TColor c) {
        canvas.Brush->Color = c;
        canvas.Pen->Color = c;
        canvas.Pen->Style = psSolid;
        if (dropped_)
            canvas.Polygon({TPoint{ax + 4, ay + 2}, TPoint{ax + 8, ay + 2}, TPoint{ax + 6, ay}});
        else
            canvas.Polygon({TPoint{ax + 4, ay}, TPoint{ax + 8, ay}, TPoint{ax + 6, ay + 2}});
    };
    if (isEnabled()) {
        arrow(x, y, colorArrow_);
    } else {
        arrow(x + 1, y + 1, clWhite);
        arrow(x, y, 0x808080);
    }
}
