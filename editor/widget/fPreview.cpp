// The print preview window.

#include "editor/widget/fPreview.h"

#include "controls/QzLabel.h"
#include "editor/widget/QzPadPrint.h"
#include "platform/core/Cp949.h"
#include "platform/gui/QtText.h"
#include "platform/gui/Services.h"

#include <QApplication>
#include <QBitmap>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace {

QString Text949(const char* utf8)
{
    return Cp949ToQString(Cp949(utf8));
}

// The zoom pointer: a magnifying glass with its hot spot in the middle of the lens.
QCursor ZoomCursor()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::white);
    p.drawEllipse(QRect(2, 2, 16, 16));
    p.setPen(QPen(Qt::black, 4));
    p.drawLine(16, 16, 28, 28);
    p.end();
    return QCursor(pm, 10, 10);
}

QToolButton* FlatButton(QWidget* parent, const QIcon& icon, const QString& text)
{
    auto* b = new QToolButton(parent);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    if (!icon.isNull()) b->setIcon(icon);
    if (!text.isEmpty()) {
        b->setText(text);
        b->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonTextBesideIcon);
    }
    return b;
}

// A styled label of the bar: centred both ways, fixed size, the button face colour and a frame
// on its left edge only; `hint` and `caption` are code page 949.
TQzLabel* BarLabel(QWidget* parent, int width, const std::string& hint, const std::string& caption)
{
    auto* l = new TQzLabel(parent);
    l->SetAutoSize(false);
    l->SetAlignment(taCenter);
    l->SetLayout(tlCenter);
    l->SetColor(clBtnFace);
    l->Frame()->SetEdges(QzEdge(qzLeft));
    l->setFixedSize(width, 27);
    l->Hint = hint;
    l->ShowHint = true;
    l->setToolTip(Cp949ToQString(hint));
    l->SetCaption(caption);
    return l;
}

}  // namespace

TfrmPreview::TfrmPreview(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(Text949("미리보기"));
    setWindowState(Qt::WindowMaximized);
    setSizeGripEnabled(true);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* bar = new QWidget(this);
    bar->setFixedHeight(27);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(1);
    QStyle* st = style();
    btnClose = FlatButton(bar, QIcon(), Text949("닫기(&C)"));
    btnPrint = FlatButton(bar, QIcon::fromTheme(QStringLiteral("document-print"), st->standardIcon(QStyle::SP_DialogSaveButton)), QString());
    btnFirst = FlatButton(bar, st->standardIcon(QStyle::SP_MediaSkipBackward), QString());
    btnPrev = FlatButton(bar, st->standardIcon(QStyle::SP_MediaSeekBackward), QString());
    btnNext = FlatButton(bar, st->standardIcon(QStyle::SP_MediaSeekForward), QString());
    btnLast = FlatButton(bar, st->standardIcon(QStyle::SP_MediaSkipForward), QString());
    btnAll = FlatButton(bar, QIcon::fromTheme(QStringLiteral("zoom-original"), st->standardIcon(QStyle::SP_TitleBarNormalButton)), QStringLiteral("1:1"));
    btnFitPage = FlatButton(bar, QIcon::fromTheme(QStringLiteral("zoom-fit-best"), st->standardIcon(QStyle::SP_TitleBarMaxButton)), QString());
    btnFitWidth = FlatButton(bar, QIcon::fromTheme(QStringLiteral("zoom-fit-width"), st->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton)), QString());
    for (QToolButton* b : {btnAll, btnFitPage, btnFitWidth}) b->setCheckable(true);
    btnFitPage->setChecked(true);
    for (QToolButton* b : {btnClose, btnPrint, btnFirst, btnPrev, btnNext, btnLast}) row->addWidget(b);
    row->addSpacing(8);
    for (QToolButton* b : {btnAll, btnFitPage, btnFitWidth}) row->addWidget(b);
    row->addStretch(1);
    lblZoom = BarLabel(bar, 60, Cp949("확대 비율"), "100 %");
    lblPages = BarLabel(bar, 121, Cp949("현재 페이지"), Cp949("페이지 1/10"));
    row->addWidget(lblZoom);
    row->addWidget(lblPages);
    outer->addWidget(bar);

    ScrollBox = new QScrollArea(this);
    ScrollBox->setWidgetResizable(false);
    ScrollBox->setBackgroundRole(QPalette::Dark);
    ScrollBox->setAutoFillBackground(true);
    panContainer = new QWidget;
    panPage = new QWidget(panContainer);
    panPage->setAutoFillBackground(true);
    panPage->setBackgroundRole(QPalette::Base);
    PB = new QWidget(panPage);
    PB->setCursor(ZoomCursor());
    ScrollBox->setWidget(panContainer);
    outer->addWidget(ScrollBox, 1);

    pmZoom = new QMenu(this);
    pmZoom->addAction(Text949("페이지"));

    ScrollBox->viewport()->installEventFilter(this);
    ScrollBox->installEventFilter(this);
    PB->installEventFilter(this);

    connect(btnClose, &QToolButton::clicked, this, [this] { btnCloseClick(); });
    connect(btnPrint, &QToolButton::clicked, this, [this] { btnPrintClick(); });
    connect(btnFirst, &QToolButton::clicked, this, [this] { btnFirstClick(); });
    connect(btnPrev, &QToolButton::clicked, this, [this] { btnPrevClick(); });
    connect(btnNext, &QToolButton::clicked, this, [this] { btnNextClick(); });
    connect(btnLast, &QToolButton::clicked, this, [this] { btnLastClick(); });
    connect(btnAll, &QToolButton::clicked, this, [this] { btnAllClick(); });
    connect(btnFitPage, &QToolButton::clicked, this, [this] { btnFitPageClick(); });
    connect(btnFitWidth, &QToolButton::clicked, this, [this] { btnFitWidthClick(); });
    UpdateControls();
}

TfrmPreview::~TfrmPreview() = default;

void TfrmPreview::SetSource(TQzPadPrint* source, int pageCount, int currentPage)
{
    source_ = source;
    pageCount_ = std::max(pageCount, 0);
    page_ = currentPage;
    ScrollBoxResize();
    UpdateControls();
}

bool TfrmPreview::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == ScrollBox->viewport() && e->type() == QEvent::Resize) {
        ScrollBoxResize();
    } else if (watched == ScrollBox && e->type() == QEvent::KeyPress) {
        // These keys page through the sheets (on release); the scroll box must not take them.
        const int k = static_cast<QKeyEvent*>(e)->key();
        if (k == Qt::Key_PageUp || k == Qt::Key_PageDown || k == Qt::Key_Home || k == Qt::Key_End) {
            e->ignore();
            return true;
        }
    } else if (watched == PB && e->type() == QEvent::Paint) {
        QPainter painter(PB);
        PBPaint(painter);
        return true;
    } else if (watched == PB && e->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(e);
        const QPoint pos = me->position().toPoint();
        PBMouseDown(me->button(), pos.x(), pos.y());
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void TfrmPreview::keyReleaseEvent(QKeyEvent* e)
{
    int key = e->key();
    FormKeyUp(key);
    if (key == 0)
        e->accept();
    else
        QDialog::keyReleaseEvent(e);
}

void TfrmPreview::FormKeyUp(int& key)
{
    switch (key) {
    case Qt::Key_Escape:
        close();
        key = 0;
        break;
    case Qt::Key_PageUp:
        if (btnPrev->isEnabled()) btnPrevClick();
        key = 0;
        break;
    case Qt::Key_PageDown:
        if (btnNext->isEnabled()) btnNextClick();
        key = 0;
        break;
    case Qt::Key_End:
        if (btnLast->isEnabled()) btnLastClick();
        key = 0;
        break;
    case Qt::Key_Home:
        if (btnFirst->isEnabled()) btnFirstClick();
        key = 0;
        break;
    default:
        break;
    }
}

void TfrmPreview::ScrollBoxResize()
{
    const TQzPrinterMetrics m = source_ ? source_->Metrics() : TQzPrinterMetrics();
    const int clientW = ScrollBox->viewport()->width();
    const int clientH = ScrollBox->viewport()->height();
    const double ppi = logicalDpiY() > 0 ? logicalDpiY() : 96;
    const bool known = m.PageWidth > 0 && m.PageHeight > 0 && m.DpiX > 0 && m.DpiY > 0;
    if (known) {
        const double pageW = static_cast<double>(m.PageWidth) / m.DpiX;   // inches
        const double pageH = static_cast<double>(m.PageHeight) / m.DpiY;
        const bool portrait = !source_ || source_->Orientation() == QPageLayout::Portrait;
        switch (zoomType_) {
        case pztFitToPage:
            zoom_ = portrait ? ((clientH - 20) / ppi) / pageH : ((clientW - 20) / ppi) / pageW;
            break;
        case pztFitToWidth:
            zoom_ = ((clientW - 20) / ppi) / pageW;
            break;
        case pztNormal:
            zoom_ = 1.0;
            break;
        case pztCustom:
            break;
        }
        // A window smaller than its margins would give a negative page.
        zoom_ = std::max(zoom_, 0.01);
    }
    const int pageH = known ? static_cast<int>(ppi * zoom_ * m.PageHeight / m.DpiY) : 0;
    const int pageW = known ? static_cast<int>(ppi * zoom_ * m.PageWidth / m.DpiX) : 0;
    int contH = pageH + 20;
    if (contH < clientH) contH = clientH - 1;
    int contW = pageW + 20;
    if (contW < clientW) contW = clientW - 1;
    const int top = contH - pageH > 20 ? contH / 2 - pageH / 2 : 10;
    const int left = contW - pageW > 20 ? contW / 2 - pageW / 2 : 10;
    panContainer->resize(std::max(contW, 0), std::max(contH, 0));
    panPage->setGeometry(left, top, pageW, pageH);
    PB->setGeometry(0, 0, pageW, pageH);
    UpdateControls();
    PB->update();
}

void TfrmPreview::PBPaint(QPainter& painter)
{
    const int w = PB->width();
    const int h = PB->height();
    painter.fillRect(QRect(0, 0, w, h), Qt::white);
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(1, 1), QPoint(w - 1, h - 1)));
    if (source_ && page_ >= 1 && page_ <= pageCount_) {
        const TQzPrinterMetrics& m = source_->Metrics();
        if (m.PageWidth > 0 && m.PageHeight > 0) {
            painter.save();
            painter.scale(static_cast<qreal>(w) / m.PageWidth, static_cast<qreal>(h) / m.PageHeight);
            source_->DrawSheet(painter, page_ - 1);
            painter.restore();
        }
        UpdateControls();
    }
}

void TfrmPreview::UpdateControls()
{
    if (page_ < 1 || page_ > pageCount_) {
        for (QToolButton* b : {btnFirst, btnPrev, btnNext, btnLast}) b->setEnabled(false);
        return;
    }
    char caption[64];
    std::snprintf(caption, sizeof caption, "%s %d / %d", Cp949("페이지").c_str(), page_, pageCount_);
    lblPages->SetCaption(caption);
    btnFirst->setEnabled(page_ != 1);
    btnPrev->setEnabled(page_ != 1);
    btnNext->setEnabled(page_ != pageCount_);
    btnLast->setEnabled(page_ != pageCount_);
    lblZoom->SetCaption(std::to_string(static_cast<int>(zoom_ * 100)) + " %");
}

void TfrmPreview::PBMouseDown(Qt::MouseButton button, int x, int y)
{
    const double old = zoom_;
    if (button == Qt::LeftButton && zoom_ < 2.0) zoom_ = std::min(zoom_ * 1.25, 2.0);
    if (button == Qt::RightButton && zoom_ > 0.25) zoom_ = std::max(zoom_ / 1.25, 0.25);
    if (zoom_ == old) return;
    const double fx = PB->width() > 0 ? static_cast<double>(x) / PB->width() : 0.5;
    const double fy = PB->height() > 0 ? static_cast<double>(y) / PB->height() : 0.5;
    zoomType_ = pztCustom;
    for (QToolButton* b : {btnAll, btnFitPage, btnFitWidth}) b->setChecked(false);
    ScrollBoxResize();
    ScrollBox->horizontalScrollBar()->setValue(static_cast<int>(PB->width() * fx) - ScrollBox->width() / 2);
    ScrollBox->verticalScrollBar()->setValue(static_cast<int>(PB->height() * fy) - ScrollBox->height() / 2);
}

void TfrmPreview::SetZoomType(TQzZoomType type)
{
    zoomType_ = type;
    btnAll->setChecked(type == pztNormal);
    btnFitPage->setChecked(type == pztFitToPage);
    btnFitWidth->setChecked(type == pztFitToWidth);
    ScrollBoxResize();
}

void TfrmPreview::btnAllClick() { SetZoomType(pztNormal); }
void TfrmPreview::btnFitPageClick() { SetZoomType(pztFitToPage); }
void TfrmPreview::btnFitWidthClick() { SetZoomType(pztFitToWidth); }

void TfrmPreview::GoTo(int page)
{
    page_ = page;
    UpdateControls();
    PB->update();
}

void TfrmPreview::btnFirstClick() { GoTo(1); }
void TfrmPreview::btnLastClick() { GoTo(pageCount_); }
void TfrmPreview::btnPrevClick()
{
    if (page_ > 1) GoTo(page_ - 1);
}
void TfrmPreview::btnNextClick()
{
    if (page_ < pageCount_) GoTo(page_ + 1);
}

void TfrmPreview::btnCloseClick()
{
    close();
}

void TfrmPreview::btnPrintClick()
{
    if (!source_ || pageCount_ < 1) return;
    TPrintRangeRequest req;
    req.MinPage = 1;
    req.MaxPage = pageCount_;
    req.FromPage = 1;
    req.ToPage = pageCount_;
    req.AllowPageRange = pageCount_ >= 1;
    req.Printer = source_->Printer();
    if (!Services().PrintDialog(this, req)) return;
    if (req.Selection) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool ok;
    if (req.AllPages)
        ok = source_->PrintPage(req.MinPage, req.MaxPage, req.Copies);
    else
        ok = source_->PrintPage(req.FromPage, req.ToPage, req.Copies);
    QApplication::restoreOverrideCursor();
    // A printer that refuses the job (an unwritable file, a stopped queue) is reported here,
    // where the user asked for the print.
    if (!ok && source_->HasPrinter()) ShowMessage(Cp949("인쇄하지 못했습니다."));
}
