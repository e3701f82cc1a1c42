#pragma once
// Printing and print preview of the editor control.
//
// Pagination (TQzPadPagination) lays the control's text out into sheets against the current
// printer; this class measures the print fonts, plays the sheets back onto the printer or onto a
// preview, and runs the jobs. The printer is a QPrinter: a real one, or a PDF file in tests.
// Margins are measured from the sheet's physical edges: every job prints in full-page mode, so
// the sheet's device origin is the paper's corner.
//
// Events take the control first and fire only when assigned. A job is refused at once, without
// events, when there is no printer: no print queue for a native printer, no file name for a PDF
// printer.

#include "editor/model/QzPadPaginate.h"

#include <QImage>
#include <QPageLayout>

#include <functional>
#include <memory>
#include <string>

class QPainter;
class QPrinter;
class TQzPad;
class TfrmPreview;

class TQzPadPrint {
public:
    using TNotifyEvent = std::function<void(TQzPad* Sender)>;
    using TPaginatingProgress = std::function<void(TQzPad* Sender, int Page, bool& Cancel)>;
    using TPrintingProgress = std::function<void(TQzPad* Sender, int Page, int Max, bool& Cancel)>;

    explicit TQzPadPrint(TQzPad& pad);
    ~TQzPadPrint();
    TQzPadPrint(const TQzPadPrint&) = delete;
    TQzPadPrint& operator=(const TQzPadPrint&) = delete;

    TQzPad& Pad() { return pad_; }
    // The current printer; not owned. Null returns to the control's own default printer.
    QPrinter* Printer() const;
    void SetPrinter(QPrinter* printer);
    bool HasPrinter() const;

    TNotifyEvent OnPaginatingStart;
    TNotifyEvent OnPaginatingEnd;
    TPaginatingProgress OnPaginatingProgress;
    TNotifyEvent OnPrintingStart;
    TNotifyEvent OnPrintingEnd;
    // Setting Cancel stops the job after the current sheet and discards it.
    TPrintingProgress OnPrintingProgress;
    // Shows the preview window modally; the default runs its event loop. Tests replace it.
    std::function<void(TfrmPreview& form)> ExecPreview;

    // Paginates into the sheet list; false when cancelled.
    bool PreparePage();
    // Paginates and prints every sheet, then empties the list. False when nothing was printed
    // (no printer, cancelled, or the printer could not start the job).
    bool Print();
    // Paginates and shows the sheets in the preview window, then empties the list.
    void Preview();
    // Prints the prepared sheets From..To (1-based, cut to the sheets) with `Copies` copies; the
    // sheet list stays. False when nothing was printed.
    bool PrintPage(int From, int To, int Copies);
    void ClearPreviewPage() { pagination_.ClearPreviewPage(); }
    std::string InterpretHeader(int Page, const std::string& Text) const;

    int SheetCount() const { return pagination_.SheetCount(); }
    const TQzPadPagination& Pagination() const { return pagination_; }
    // The printer metrics of the last pagination.
    const TQzPrinterMetrics& Metrics() const { return pagination_.Metrics(); }
    QPageLayout::Orientation Orientation() const;
    // Plays sheet `index` (0-based) onto a painter whose coordinates are the sheet's pixels.
    void DrawSheet(QPainter& painter, int index) const;
    // Sheet `index` scaled onto a white image of `size`.
    QImage SheetImage(int index, const QSize& size) const;

private:
    bool RunJob(int from, int last, bool resetList);

    TQzPad& pad_;
    TQzPadPagination pagination_;
    std::unique_ptr<QPrinter> ownPrinter_;
    QPrinter* printer_ = nullptr;
};

// Plays one sheet onto a painter in the sheet's pixel coordinates.
void QzDrawPrintSheet(QPainter& painter, const TQzPrintSheet& sheet);
