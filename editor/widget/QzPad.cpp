// The editor control's window: events in, caret, scroll bars, clipboard and painting out.

#include "editor/widget/QzPad.h"
#include "editor/widget/QzPadPrint.h"

#include "editor/model/QzPadShortCut.h"
#include "editor/widget/QzPadGraphics.h"
#include "editor/widget/QzPadKeys.h"
#include "platform/gui/EventGuard.h"
#include "platform/gui/QtText.h"
#include "platform/gui/Services.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QScreen>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <utility>

namespace {

// The platform's window timers cannot fire faster than about 10 ms; the auto-scroll timer asks
// for 1 ms and so ticks at that rate.
constexpr int kAutoScrollInterval = 10;
constexpr int kWheelNotch = 120;
// How long after a composition was cut off the input method's second commit of it is expected.
constexpr qint64 kCutOffEchoMs = 1000;

// A syllable committed when a click or a change of focus cut its composition off. ibus with its
// Hangul engine hands such a syllable over once more, after the reset or the focus change, to
// whichever editor has the focus by then: that second commit, arriving as the first event of the
// input method (before any composition) and within a moment, is dropped.
struct TCutOffSyllable {
    std::string Text;
    QElapsedTimer Age;
};

TCutOffSyllable& CutOff()
{
    static TCutOffSyllable syllable;
    return syllable;
}

void NoteCutOff(const std::string& text)
{
    CutOff().Text = text;
    CutOff().Age.start();
}

// True (and forgotten) when an input-method event is the second commit of a cut-off syllable.
bool IsCutOffEcho(const std::string& commit, const std::string& preedit)
{
    TCutOffSyllable& cut = CutOff();
    if (cut.Text.empty() || (commit.empty() && preedit.empty())) return false;
    const bool echo = commit == cut.Text && preedit.empty() && cut.Age.elapsed() < kCutOffEchoMs;
    cut.Text.clear();
    return echo;
}

TQzMouseButton ButtonOf(Qt::MouseButton b)
{
    switch (b) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
    }
}

bool ButtonKnown(Qt::MouseButton b)
{
    return b == Qt::LeftButton || b == Qt::RightButton || b == Qt::MiddleButton;
}

// Runs an event handler of the control; a failure inside the model is reported, and one that is
// not a std::exception as "Unknown error".
template <typename F>
void PadGuarded(F&& handler)
{
    Guarded(std::forward<F>(handler), "Unknown error");
}

}  // namespace

// What the model asks of its window.
class TQzPad::TViewLink : public IQzPadView {
public:
    explicit TViewLink(TQzPad& pad) : pad_(pad) {}

    void InvalidateRect(const TRect& r) override
    {
        if (r.Right > r.Left && r.Bottom > r.Top)
            pad_.viewport()->update(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
    }
    void InvalidateAll() override { pad_.viewport()->update(); }
    // Every paint redraws the visible rows from the model, so moving the old pixels first would
    // save nothing: the area is repainted.
    void ScrollArea(int, int, const TRect& area) override { InvalidateRect(area); }
    void SetScrollBar(TQzScrollBarKind bar, int min, int max, int page, int pos) override
    {
        pad_.SetScrollBar(bar == qzsbVert ? Qt::Vertical : Qt::Horizontal, min, max, page, pos);
    }
    int ScrollTrackPos(TQzScrollBarKind bar) override
    {
        return (bar == qzsbVert ? pad_.verticalScrollBar() : pad_.horizontalScrollBar())->sliderPosition();
    }
    bool HasFocus() override { return pad_.hasFocus(); }
    bool IsVisible() override { return pad_.isVisible(); }

    void CreateCaret(int width, int height) override
    {
        pad_.UpdateCaretArea();
        pad_.caretRect_.setSize(QSize(std::max(width, 1), std::max(height, 1)));
        pad_.caretCreated_ = true;
        pad_.caretShown_ = false;
    }
    void DestroyCaret() override
    {
        pad_.UpdateCaretArea();
        pad_.caretCreated_ = false;
        pad_.caretShown_ = false;
        pad_.caretTimer_.stop();
    }
    void SetCaretPos(int x, int y) override
    {
        pad_.UpdateCaretArea();
        pad_.caretRect_.moveTo(x, y);
        pad_.caretBlinkOn_ = true;
        pad_.UpdateCaretArea();
    }
    void ShowCaret() override
    {
        if (!pad_.caretCreated_) return;
        pad_.caretShown_ = true;
        pad_.caretBlinkOn_ = true;
        const int flash = QApplication::cursorFlashTime();
        if (flash > 0) pad_.caretTimer_.start(flash / 2);
        pad_.UpdateCaretArea();
    }
    void HideCaret() override
    {
        pad_.caretShown_ = false;
        pad_.caretTimer_.stop();
        pad_.UpdateCaretArea();
    }

    bool ClipboardGetText(std::string& text) override
    {
        if (!Services().ClipboardHasText()) return false;
        text = Services().ClipboardText();
        return true;
    }
    void ClipboardSetText(const std::string& text) override { Services().SetClipboard(text); }
    void ClipboardClear() override { Services().SetClipboard(std::string()); }

    // Qt keeps the pointer grabbed while a button is held, which is all the capture does here.
    void SetMouseCapture(bool) override {}
    void SetAutoScrollTimer(bool on) override
    {
        if (on && !pad_.autoScrollTimer_.isActive())
            pad_.autoScrollTimer_.start(kAutoScrollInterval);
        else if (!on)
            pad_.autoScrollTimer_.stop();
    }
    void SetCursorShape(TQzCursorShape shape) override
    {
        Qt::CursorShape c = Qt::IBeamCursor;
        switch (shape) {
        case qzcsArrow: c = Qt::ArrowCursor; break;
        case qzcsDrag: c = Qt::DragMoveCursor; break;
        case qzcsMultiDrag: c = Qt::DragCopyCursor; break;
        case qzcsIBeam: break;
        }
        if (pad_.viewport()->cursor().shape() != c) pad_.viewport()->setCursor(c);
    }
    // The selection is dragged only within this control: the following mouse moves are drag-over
    // steps and the button release drops it.
    void BeginDrag() override
    {
        pad_.dragging_ = true;
        SetCursorShape(qzcsDrag);
    }

    TQzImeInputMode GetImeInputMode() override { return pad_.imeMode_; }
    void SetImeInputMode(TQzImeInputMode mode) override { pad_.imeMode_ = mode; }

    void RecreateWindow() override { pad_.ApplyBorderStyle(); }

private:
    TQzPad& pad_;
};

TQzPad::TQzPad(QWidget* parent) : QAbstractScrollArea(parent), link_(std::make_unique<TViewLink>(*this))
{
    setAttribute(Qt::WA_InputMethodEnabled, true);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, true);
    viewport()->setAttribute(Qt::WA_NoSystemBackground, true);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::IBeamCursor);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { ScrollBarAction(Qt::Vertical, action); });
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { ScrollBarAction(Qt::Horizontal, action); });

    caretTimer_.setTimerType(Qt::CoarseTimer);
    connect(&caretTimer_, &QTimer::timeout, this, [this]() {
        caretBlinkOn_ = !caretBlinkOn_;
        UpdateCaretArea();
    });
    autoScrollTimer_.setTimerType(Qt::PreciseTimer);
    connect(&autoScrollTimer_, &QTimer::timeout, this,
            [this]() { PadGuarded([&] { model_.AutoScrollTick(lastMousePos_.x(), lastMousePos_.y()); }); });

    BindModelEvents();
    model_.SetView(link_.get());
    ApplyBorderStyle();
    MeasureFont();
    resize(200, 100);
    model_.SetClientSize(viewport()->width(), viewport()->height());
}

TQzPad::~TQzPad()
{
    model_.SetView(nullptr);
}

void TQzPad::BindModelEvents()
{
    model_.OnChanged = [this](TQzPadModel&) { if (OnChanged) OnChanged(this); };
    model_.OnConfirmConvert = [this](TQzPadModel&) { if (OnConfirmConvert) OnConfirmConvert(this); };
    model_.OnImeInputModeChange = [this](TQzPadModel&) { if (OnImeInputModeChange) OnImeInputModeChange(this); };
    model_.OnPosChanged = [this](TQzPadModel&) { if (OnPosChanged) OnPosChanged(this); };
    model_.OnDblClick = [this](TQzPadModel&) { if (OnDblClick) OnDblClick(this); };
    model_.OnOpenFile = [this](TQzPadModel&, const std::string& name) { if (OnOpenFile) OnOpenFile(this, name); };
    model_.OnKeyDown = [this](TQzPadModel&, TVirtualKey& key, TShiftState shift) { if (OnKeyDown) OnKeyDown(this, key, shift); };
    model_.OnKeyPress = [this](TQzPadModel&, char& key) { if (OnKeyPress) OnKeyPress(this, key); };
    model_.FindCodeTemplateHandler = [this](TQzPadModel&, const std::string& name) { return codeTemplates_.Find(name); };
    model_.ShowCodeTemplatesHandler = [this](TQzPadModel&) {
        const QPoint p = CodeTemplatesPopupPos(codeTemplates_.Width, codeTemplates_.Height);
        codeTemplates_.Show(p.x(), p.y());
    };
    model_.HideCodeTemplatesHandler = [this](TQzPadModel&) {
        if (codeTemplates_.GetVisible()) codeTemplates_.Hide();
    };
    codeTemplates_.OnInsertTemplate = [this](void*, const std::string& code) { model_.InsertCodeTemplate(code); };
}

// ---- text ----

std::string TQzPad::Text() const
{
    const TQzPadStrings& lines = model_.Lines();
    size_t total = 0;
    for (int i = 0; i < lines.Count(); ++i) total += lines.Get(i).size() + 1;
    std::string out;
    out.reserve(total);
    for (int i = 0; i < lines.Count(); ++i) {
        const TQzLineAttribute* a = lines.Attribute(i);
        if (i > 0 && !(a && a->Wrapped)) out += '\n';
        out += lines.Get(i);
    }
    return out;
}

bool TQzPad::TextIs(std::string_view text) const
{
    const TQzPadStrings& lines = model_.Lines();
    size_t at = 0;
    for (int i = 0; i < lines.Count(); ++i) {
        const TQzLineAttribute* a = lines.Attribute(i);
        if (i > 0 && !(a && a->Wrapped)) {
            if (at >= text.size() || text[at] != '\n') return false;
            ++at;
        }
        const std::string& line = lines.Get(i);
        if (text.compare(at, line.size(), line) != 0) return false;
        at += line.size();
    }
    return at == text.size();
}

void TQzPad::SetText(const std::string& text)
{
    model_.SetLinesOf(text);
}

void TQzPad::SetText(std::string&& text)
{
    model_.SetLinesOf(text);
    std::string().swap(text);
}

// ---- properties ----

void TQzPad::SetReadOnly(bool on)
{
    TQzPadOptions o = model_.Options();
    if (on) o.Include(qzoReadOnly); else o.Exclude(qzoReadOnly);
    model_.SetOptions(o);
}

void TQzPad::SetFont(const TQzFontDesc& font)
{
    model_.SetFont(font);
    MeasureFont();
}

// CharWidth is the width of one column and the font height its ascent plus descent; the model
// adds LineSpace + 2 for the line height. A double-byte character covers two columns, so for a
// face with Hangul the pixel size is brought down by at most one pixel to a size at which a
// syllable is exactly two Latin columns wide (a fixed-pitch Korean face at an odd size rounds the
// half-width and full-width advances apart, which shows as gaps between Hangul characters).
void TQzPad::MeasureFont()
{
    const TQzFontDesc& f = model_.Font();
    qfont_ = QzPadMakeFont(f.Name, f.Size, true);
    const QChar syllable(0xAC00);
    auto fits = [&](const QFont& font) {
        const QFontMetrics m(font);
        return !m.inFont(syllable) || m.horizontalAdvance(syllable) == 2 * m.horizontalAdvance(QLatin1Char('x'));
    };
    if (!fits(qfont_) && qfont_.pixelSize() > 2) {
        QFont smaller = qfont_;
        smaller.setPixelSize(qfont_.pixelSize() - 1);
        if (fits(smaller))
            qfont_ = smaller;
    }
    painter_.SetFont(qfont_);
    const QFontMetrics fm(qfont_);
    const int column = fm.inFont(syllable) ? (fm.horizontalAdvance(syllable) + 1) / 2
                                           : fm.horizontalAdvance(QLatin1Char('x'));
    model_.SetFontMetrics(std::max(column, 1), std::max(fm.height(), 1));
    if (hasFocus()) {
        model_.InitializeCaret();
        model_.UpdateCaretPos();
    }
    viewport()->update();
}

void TQzPad::SetGutterImages(const TImageList* images)
{
    gutterImages_ = images;
    model_.SetGutterImages(QzPadImageCount(images), QzPadImageWidth(images), QzPadImageHeight(images));
}

void TQzPad::ForgetComponent(const void* component)
{
    if (!component) return;
    if (component == gutterImages_) SetGutterImages(nullptr);
    model_.ForgetComponent(component);
}

void TQzPad::SetPopupMenu(QMenu* menu)
{
    if (popupMenu_) disconnect(popupMenu_, &QObject::destroyed, this, nullptr);
    popupMenu_ = menu;
    model_.HasPopupMenu = menu != nullptr;
    if (menu) connect(menu, &QObject::destroyed, this, [this]() { SetPopupMenu(nullptr); });
}

void TQzPad::contextMenuEvent(QContextMenuEvent* e)
{
    if (popupMenu_) popupMenu_->popup(e->globalPos());
    e->accept();
}

void TQzPad::SetTabStop(bool v)
{
    model_.SetTabStop(v);
    setFocusPolicy(v ? Qt::StrongFocus : Qt::ClickFocus);
}

void TQzPad::ApplyBorderStyle()
{
    if (model_.BorderStyle() == bsSingle) {
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
    model_.SetClientSize(viewport()->width(), viewport()->height());
}

// ---- scroll bars ----

// The model's bars span min..max with a page; Qt's maximum is the last thumb position. A bar
// whose range fits in one page is shown disabled.
void TQzPad::SetScrollBar(Qt::Orientation orientation, int min, int max, int page, int pos)
{
    QScrollBar* bar = orientation == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar();
    page = std::max(page, 1);
    const int last = std::max(max - page + 1, min);
    const bool blocked = bar->blockSignals(true);
    bar->setRange(min, last);
    bar->setPageStep(page);
    bar->setValue(std::clamp(pos, min, last));
    bar->setSliderPosition(bar->value());
    bar->setEnabled(max - min + 1 > page);
    bar->blockSignals(blocked);
}

void TQzPad::ScrollBarAction(Qt::Orientation orientation, int action)
{
    TQzScrollCode code;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = qzscLineDown; break;
    case QAbstractSlider::SliderSingleStepSub: code = qzscLineUp; break;
    case QAbstractSlider::SliderPageStepAdd: code = qzscPageDown; break;
    case QAbstractSlider::SliderPageStepSub: code = qzscPageUp; break;
    case QAbstractSlider::SliderToMinimum: code = qzscTop; break;
    case QAbstractSlider::SliderToMaximum: code = qzscBottom; break;
    case QAbstractSlider::SliderMove: code = qzscThumbTrack; break;
    default: return;
    }
    PadGuarded([&] {
        if (orientation == Qt::Vertical) {
            model_.VScroll(code, 1);
            verticalScrollBar()->setSliderPosition(std::max(model_.TopLine(), 0));
        } else {
            model_.HScroll(code);
            horizontalScrollBar()->setSliderPosition(model_.LeftCol());
        }
    });
}

// The model moves the view itself; Qt's own scrolling of the contents is not used.
void TQzPad::scrollContentsBy(int, int) {}

// ---- caret ----

void TQzPad::UpdateCaretArea()
{
    if (caretCreated_) viewport()->update(caretRect_);
}

// ---- painting ----

void TQzPad::PaintOffscreen()
{
    const QSize size = viewport()->size();
    const TQzPadPaint paint = model_.BuildPaint();
    if (paint.Skip) return;
    if (offscreen_.size() != size || offscreen_.format() != QImage::Format_RGB32) {
        offscreen_ = QImage(size, QImage::Format_RGB32);
        offscreen_.fill(QzPadColor(model_.Color()));
    }
    painter_.Paint(offscreen_, paint, model_, gutterImages_);
}

QImage TQzPad::RenderImage()
{
    PaintOffscreen();
    return offscreen_;
}

void TQzPad::paintEvent(QPaintEvent* e)
{
    PadGuarded([&] { PaintOffscreen(); });
    QPainter p(viewport());
    if (!offscreen_.isNull()) p.drawImage(e->rect().topLeft(), offscreen_, e->rect());
    if (caretCreated_ && caretShown_ && caretBlinkOn_) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.fillRect(caretRect_, QColor(255, 255, 255));
    }
}

void TQzPad::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    PadGuarded([&] {
        model_.SetClientSize(viewport()->width(), viewport()->height());
        model_.UpdateCaretPos();
    });
}

// ---- keys ----

// Tab is a key of the text, not a move to the next control.
bool TQzPad::focusNextPrevChild(bool)
{
    return false;
}

bool TQzPad::event(QEvent* e)
{
    // Bound keys and typed characters are the control's own: a menu or window shortcut with
    // the same key must not take them while the control has the focus.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* k = static_cast<QKeyEvent*>(e);
        const TShiftState shift = QzPadShiftState(k->modifiers());
        const TVirtualKey key = QzPadVirtualKey(k->key(), k->modifiers());
        const bool bound = key != 0 && model_.ShortCut() && model_.ShortCut()->FindShortCut(key, shift) != qzcNone;
        const bool typed = !k->text().isEmpty() && k->text().at(0).unicode() >= ' ' &&
                           !shift.Contains(ssCtrl) && !shift.Contains(ssAlt);
        if (bound || typed) {
            e->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void TQzPad::keyPressEvent(QKeyEvent* e)
{
    const TShiftState shift = QzPadShiftState(e->modifiers());
    PadGuarded([&] {
        if (dragging_ && e->key() == Qt::Key_Escape) {
            dragging_ = false;
            link_->SetCursorShape(qzcsIBeam);
            return;
        }
        TVirtualKey key = QzPadVirtualKey(e->key(), e->modifiers());
        if (key != 0) model_.KeyDown(key, shift);
        // Characters come as the platform's character messages, which Alt (without Ctrl) turns
        // into system characters that do not type.
        if (!shift.Contains(ssAlt) || shift.Contains(ssCtrl)) TypeText(e->text(), shift);
    });
    e->accept();
}

// A single-byte character goes through KeyPress (and its events); a double-byte character is
// written the way the input method writes a finished character.
void TQzPad::TypeText(const QString& text, TShiftState shift)
{
    if (text.isEmpty()) return;
    const std::string bytes = QStringToCp949(text);
    for (size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80 && i + 1 < bytes.size()) {
            if (!model_.HasOption(qzoReadOnly)) {
                model_.ImeStartComposition();
                model_.ImeResult(bytes.substr(i, 2));
            }
            i += 2;
            continue;
        }
        // X11 gives the Delete key the text DEL (0x7F); the platform sends no character for it.
        if (b != 0x7F) {
            char c = bytes[i];
            model_.KeyPress(c, shift);
        }
        ++i;
    }
}

void TQzPad::keyReleaseEvent(QKeyEvent* e)
{
    TVirtualKey key = QzPadVirtualKey(e->key(), e->modifiers());
    if (key != 0 && OnKeyUp) PadGuarded([&] { OnKeyUp(this, key, QzPadShiftState(e->modifiers())); });
    e->accept();
}

// ---- the input method ----

void TQzPad::inputMethodEvent(QInputMethodEvent* e)
{
    PadGuarded([&] {
        const std::string commit = QStringToCp949(e->commitString());
        const std::string preedit = QStringToCp949(e->preeditString());
        if (IsCutOffEcho(commit, preedit)) return;
        // A composition that ends in its result with nothing after it may have been cut off by a
        // change of focus (Qt hands the syllable over before the focus moves).
        if (!commit.empty() && preedit.empty() && !preedit_.empty()) NoteCutOff(commit);
        if (!commit.empty()) {
            if (!model_.Composing()) model_.ImeStartComposition();
            model_.ImeResult(commit);
        }
        preedit_ = preedit;
        if (!preedit.empty()) {
            model_.ImeComposition(preedit);
        } else if (model_.Composing()) {
            model_.ImeComposition(std::string());
            model_.ImeEndComposition();
        }
    });
    e->accept();
}

QVariant TQzPad::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImCursorRectangle) return QVariant(caretRect_.translated(viewport()->pos()));
    if (query == Qt::ImEnabled) return QVariant(!model_.HasOption(qzoReadOnly));
    if (query == Qt::ImFont) return QVariant(qfont_);
    return QAbstractScrollArea::inputMethodQuery(query);
}

void TQzPad::FinishComposition(bool resetInputMethod)
{
    if (!model_.Composing()) return;
    const std::string text = preedit_;
    preedit_.clear();
    if (!text.empty()) model_.ImeResult(text);
    model_.ImeEndComposition();
    NoteCutOff(text);
    if (resetInputMethod) QGuiApplication::inputMethod()->reset();
}

QPoint TQzPad::CodeTemplatesPopupPos(int width, int height) const
{
    const QPoint caret = viewport()->mapToGlobal(caretRect_.topLeft());
    const QScreen* screen = this->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 16, 1 << 16);
    const TPoint p = QzCodeTemplatesPopupPos(TPoint(caret.x(), caret.y()), model_.LineHeight(), width, height,
                                             TRect(area.left(), area.top(), area.right() + 1, area.bottom() + 1));
    return QPoint(p.X, p.Y);
}

// ---- mouse ----

void TQzPad::mousePressEvent(QMouseEvent* e)
{
    if (!ButtonKnown(e->button())) return;
    const QPoint pos = e->position().toPoint();
    lastMousePos_ = pos;
    const TShiftState shift = QzPadShiftState(e->modifiers(), e->buttons());
    PadGuarded([&] {
        FinishComposition(hasFocus());
        if (!hasFocus() && focusPolicy() != Qt::NoFocus) setFocus(Qt::MouseFocusReason);
        model_.MouseDown(ButtonOf(e->button()), shift, pos.x(), pos.y());
        if (OnMouseDown) OnMouseDown(this, ButtonOf(e->button()), shift, pos.x(), pos.y());
    });
}

void TQzPad::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    lastMousePos_ = pos;
    const TShiftState shift = QzPadShiftState(e->modifiers(), e->buttons());
    PadGuarded([&] {
        if (dragging_)
            model_.DragOver(true, pos.x(), pos.y(), shift);
        else
            model_.MouseMove(shift, pos.x(), pos.y());
        if (OnMouseMove) OnMouseMove(this, shift, pos.x(), pos.y());
    });
}

void TQzPad::mouseReleaseEvent(QMouseEvent* e)
{
    if (!ButtonKnown(e->button())) return;
    const QPoint pos = e->position().toPoint();
    lastMousePos_ = pos;
    const TShiftState shift = QzPadShiftState(e->modifiers(), e->buttons());
    PadGuarded([&] {
        if (dragging_ && e->button() == Qt::LeftButton) {
            dragging_ = false;
            // Released outside the control: the text stays where it is.
            if (viewport()->rect().contains(pos)) model_.DragDrop(true, pos.x(), pos.y(), shift);
            link_->SetCursorShape(pos.x() <= model_.EditRect().Left ? qzcsArrow : qzcsIBeam);
        } else {
            model_.MouseUp(ButtonOf(e->button()), shift, pos.x(), pos.y());
        }
        if (OnMouseUp) OnMouseUp(this, ButtonOf(e->button()), shift, pos.x(), pos.y());
        if (e->button() == Qt::LeftButton && viewport()->rect().contains(pos) && OnClick) OnClick(this);
    });
}

void TQzPad::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (!ButtonKnown(e->button())) return;
    const QPoint pos = e->position().toPoint();
    lastMousePos_ = pos;
    TShiftState shift = QzPadShiftState(e->modifiers(), e->buttons());
    shift << ssDouble;
    PadGuarded([&] {
        model_.MouseDown(ButtonOf(e->button()), shift, pos.x(), pos.y());
        if (e->button() == Qt::LeftButton) model_.DblClick(pos.x(), pos.y());
    });
}

// One scroll step per notch of the wheel (a fine-grained wheel adds its small steps up).
void TQzPad::wheelEvent(QWheelEvent* e)
{
    const QPoint pos = e->position().toPoint();
    const int delta = e->angleDelta().y();
    const TShiftState shift = QzPadShiftState(e->modifiers(), e->buttons());
    PadGuarded([&] {
        bool handled = false;
        if (OnMouseWheel) OnMouseWheel(this, shift, delta, pos.x(), pos.y(), handled);
        if (handled) return;
        wheelRemainder_ += delta;
        const int lines = std::max(QApplication::wheelScrollLines(), 1);
        while (wheelRemainder_ >= kWheelNotch) {
            model_.MouseWheel(kWheelNotch, lines);
            wheelRemainder_ -= kWheelNotch;
        }
        while (wheelRemainder_ <= -kWheelNotch) {
            model_.MouseWheel(-kWheelNotch, lines);
            wheelRemainder_ += kWheelNotch;
        }
    });
    e->accept();
}

// ---- focus ----

void TQzPad::focusInEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusInEvent(e);
    PadGuarded([&] {
        model_.FocusIn();
        if (OnEnter) OnEnter(this);
    });
}

void TQzPad::focusOutEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusOutEvent(e);
    PadGuarded([&] {
        if (dragging_) dragging_ = false;
        autoScrollTimer_.stop();
        FinishComposition(false);
        model_.FocusOut();
        if (OnExit) OnExit(this);
    });
}

TQzPadPrint& TQzPad::Printing()
{
    if (!print_)
        print_ = std::make_unique<TQzPadPrint>(*this);
    return *print_;
}
