// Printing and print preview of the editor control over QPrinter.

#include "editor/widget/QzPadPrint.h"

#include "editor/widget/QzPad.h"
#include "editor/widget/QzPadGraphics.h"
#include "editor/widget/fPreview.h"
#include "platform/gui/QtText.h"

#include <QDate>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTime>

#include <algorithm>

namespace {

QFont PrintQFont(const TQzPrintFont& f)
{
    QFont font = QzPadMakeFont(f.Desc.Name, f.Points, f.Desc.FixedPitch);
    font.setPixelSize(f.PixelSize());
    return font;
}

// Pixel-sized fonts measure the same on every device, so the screen's metrics serve the printer.
class TQtPrintMeasurer : public IQzPrintMeasurer {
public:
    TQzPrintFontMetrics Measure(const TQzPrintFont& font) override
    {
        const QFontMetrics fm(PrintQFont(font));
        TQzPrintFontMetrics m;
        m.Ascent = fm.ascent();
        m.LineHeight = fm.height() + std::max(fm.leading(), 0);
        m.CharWidth = fm.averageCharWidth();
        return m;
    }
};

}  // namespace

void QzDrawPrintSheet(QPainter& painter, const TQzPrintSheet& sheet)
{
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    QFont font;
    TQzPrintFont current;
    bool haveFont = false;
    for (const TQzPrintItem& item : sheet.Items) {
        if (item.Kind == TQzPrintItem::qpiRule) {
            painter.setClipping(false);
            QPen pen(QzPadColor(item.Color));
            pen.setWidth(item.PenWidth);
            painter.setPen(pen);
            painter.drawLine(item.X, item.Y, item.X2, item.Y);
            continue;
        }
        if (!haveFont || !(current == item.Font)) {
            current = item.Font;
            font = PrintQFont(current);
            haveFont = true;
        }
        painter.setFont(font);
        painter.setPen(QzPadColor(item.Color));
        painter.setClipRect(QRect(item.Clip.Left, item.Clip.Top, item.Clip.Width(), item.Clip.Height()));
        const std::string& bytes = item.Text;
        const qreal baseline = item.Y + item.Ascent;
        // Every byte takes one advance; a double-byte character is drawn at its lead byte.
        for (size_t i = 0; i < bytes.size();) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            const qreal x = item.X + static_cast<qreal>(i) * item.CharWidth;
            if (b >= 0x80) {
                if (i + 1 < bytes.size()) {
                    const char16_t u = Cp949CharToUnicode(b, static_cast<unsigned char>(bytes[i + 1]));
                    painter.drawText(QPointF(x, baseline), QString(QChar(u ? u : char16_t(0xFFFD))));
                }
                i += 2;
                continue;
            }
            if (b > ' ' && b != 0x7F) painter.drawText(QPointF(x, baseline), QString(QChar(b)));
            ++i;
        }
    }
    painter.restore();
}

TQzPadPrint::TQzPadPrint(TQzPad& pad) : pad_(pad)
{
    pagination_.OnPaginatingStart = [this](TQzPadPagination&) {
        if (OnPaginatingStart) OnPaginatingStart(&pad_);
    };
    pagination_.OnPaginatingEnd = [this](TQzPadPagination&) {
        if (OnPaginatingEnd) OnPaginatingEnd(&pad_);
    };
    pagination_.OnPaginatingProgress = [this](TQzPadPagination&, int page, bool& cancel) {
        if (OnPaginatingProgress) OnPaginatingProgress(&pad_, page, cancel);
    };
    pagination_.DateText = [] { return QStringToCp949(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)); };
    pagination_.TimeText = [] { return QStringToCp949(QLocale::system().toString(QTime::currentTime(), QLocale::LongFormat)); };
}

TQzPadPrint::~TQzPadPrint() = default;

QPrinter* TQzPadPrint::Printer() const
{
    if (printer_) return printer_;
    auto* self = const_cast<TQzPadPrint*>(this);
    if (!self->ownPrinter_) self->ownPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return self->ownPrinter_.get();
}

void TQzPadPrint::SetPrinter(QPrinter* printer)
{
    printer_ = printer;
}

bool TQzPadPrint::HasPrinter() const
{
    QPrinter* p = Printer();
    if (p->outputFormat() == QPrinter::PdfFormat) return !p->outputFileName().isEmpty();
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QPageLayout::Orientation TQzPadPrint::Orientation() const
{
    return Printer()->pageLayout().orientation();
}

std::string TQzPadPrint::InterpretHeader(int Page, const std::string& Text) const
{
    return pagination_.InterpretHeader(Page, Text, pad_.Model().FileName());
}

bool TQzPadPrint::PreparePage()
{
    QPrinter* p = Printer();
    p->setFullPage(true);
    const int dpi = p->resolution();
    const QRect full = p->pageLayout().fullRectPixels(dpi);
    TQzPrinterMetrics m;
    m.PageWidth = full.width();
    m.PageHeight = full.height();
    m.DpiX = dpi;
    m.DpiY = dpi;
    TQtPrintMeasurer measurer;
    return pagination_.PreparePage(pad_.Model(), m, measurer);
}

void TQzPadPrint::DrawSheet(QPainter& painter, int index) const
{
    if (index < 0 || index >= SheetCount()) return;
    QzDrawPrintSheet(painter, pagination_.Sheets()[static_cast<size_t>(index)]);
}

QImage TQzPadPrint::SheetImage(int index, const QSize& size) const
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const TQzPrinterMetrics& m = Metrics();
    if (m.PageWidth <= 0 || m.PageHeight <= 0 || size.isEmpty()) return image;
    QPainter painter(&image);
    painter.scale(static_cast<qreal>(size.width()) / m.PageWidth, static_cast<qreal>(size.height()) / m.PageHeight);
    DrawSheet(painter, index);
    return image;
}

bool TQzPadPrint::RunJob(int from, int last, bool all)
{
    QPrinter* printer = Printer();
    printer->setFullPage(true);
    printer->setDocName(PathToQString(pad_.Model().FileName()));
    QPainter painter;
    if (!painter.begin(printer)) return false;
    bool cancelled = false;
    for (int p = from; p <= last; ++p) {
        bool cancel = false;
        if (OnPrintingProgress) {
            if (all)
                OnPrintingProgress(&pad_, p - 1, last - 1, cancel);
            else
                OnPrintingProgress(&pad_, p, last, cancel);
        }
        if (cancel) {
            printer->abort();
            cancelled = true;
            break;
        }
        DrawSheet(painter, p - 1);
        if (p < last) printer->newPage();
    }
    painter.end();
    return !cancelled;
}

bool TQzPadPrint::Print()
{
    if (!HasPrinter() || !PreparePage()) return false;
    if (OnPrintingStart) OnPrintingStart(&pad_);
    const bool ok = RunJob(1, SheetCount(), true);
    ClearPreviewPage();
    if (OnPrintingEnd) OnPrintingEnd(&pad_);
    return ok;
}

bool TQzPadPrint::PrintPage(int From, int To, int Copies)
{
    if (!HasPrinter()) return false;
    const int from = std::max(From, 1);
    const int last = std::min(SheetCount(), To);
    // An empty range starts no job, which would print a blank sheet.
    if (from > last) return false;
    if (OnPrintingStart) OnPrintingStart(&pad_);
    Printer()->setCopyCount(std::max(Copies, 1));
    const bool ok = RunJob(from, last, false);
    if (OnPrintingEnd) OnPrintingEnd(&pad_);
    return ok;
}

void TQzPadPrint::Preview()
{
    if (!HasPrinter() || !PreparePage()) return;
    {
        TfrmPreview form(pad_.window());
        form.SetSource(this, SheetCount(), 1);
        if (ExecPreview)
            ExecPreview(form);
        else
            form.exec();
    }
    ClearPreviewPage();
}
