#pragma once
// The print preview window of the editor control: shows the sheets of a pagination one at a
// time, scaled to the window (fit the page, fit the width, true size or a zoom chosen with the
// mouse), pages through them and prints a range.
//
// Made and shown modally by TQzPadPrint::Preview. Zoom 1.0 shows a sheet at its true size on
// this screen. A left click on the sheet zooms in by 1.25 up to 2.0, a right click out by 1.25
// down to 0.25, keeping the clicked point in the middle. Escape closes; Page Up, Page Down, Home
// and End page through the sheets.

#include <QDialog>

class TQzLabel;
class QMenu;
class QPainter;
class QScrollArea;
class QToolButton;
class TQzPadPrint;

enum TQzZoomType { pztFitToPage, pztFitToWidth, pztNormal, pztCustom };

class TfrmPreview : public QDialog {
public:
    explicit TfrmPreview(QWidget* parent = nullptr);
    ~TfrmPreview() override;

    // The sheets to show and the sheet shown first (1-based).
    void SetSource(TQzPadPrint* source, int pageCount, int currentPage);

    int CurrentPage() const { return page_; }
    int PageCount() const { return pageCount_; }
    TQzZoomType ZoomType() const { return zoomType_; }
    double Zoom() const { return zoom_; }

    // Event handlers.
    void FormKeyUp(int& key);  // Qt key codes; a handled key becomes 0
    void ScrollBoxResize();
    void PBPaint(QPainter& painter);
    void PBMouseDown(Qt::MouseButton button, int x, int y);
    void btnCloseClick();
    void btnPrintClick();
    void btnFirstClick();
    void btnPrevClick();
    void btnNextClick();
    void btnLastClick();
    void btnAllClick();
    void btnFitPageClick();
    void btnFitWidthClick();

    QToolButton* btnClose = nullptr;
    QToolButton* btnPrint = nullptr;
    QToolButton* btnFirst = nullptr;
    QToolButton* btnPrev = nullptr;
    QToolButton* btnNext = nullptr;
    QToolButton* btnLast = nullptr;
    QToolButton* btnAll = nullptr;
    QToolButton* btnFitPage = nullptr;
    QToolButton* btnFitWidth = nullptr;
    TQzLabel* lblZoom = nullptr;
    TQzLabel* lblPages = nullptr;
    QScrollArea* ScrollBox = nullptr;
    QWidget* panContainer = nullptr;
    QWidget* panPage = nullptr;
    QWidget* PB = nullptr;
    // A zoom menu with the one item "페이지"; no control shows it.
    QMenu* pmZoom = nullptr;

protected:
    void keyReleaseEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void SetZoomType(TQzZoomType type);
    void UpdateControls();
    void GoTo(int page);

    TQzPadPrint* source_ = nullptr;
    int page_ = 0;
    int pageCount_ = 0;
    TQzZoomType zoomType_ = pztFitToPage;
    double zoom_ = 1.0;
};
