// Printing of the editor control into PDF files and page images, and the preview window.

#include "controls/QzLabel.h"
#include "editor/widget/QzPad.h"
#include "editor/widget/QzPadPrint.h"
#include "editor/widget/fPreview.h"

#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/gui/Services.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <regex>
#include <unistd.h>

namespace {

int PdfPageCount(const std::string& path)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) return -1;
    const std::regex page("/Type\\s*/Page[^s]");
    return static_cast<int>(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator()));
}

// A print range dialog that answers with the pages From..To and a number of copies.
class RangeServices : public TRecordingServices {
public:
    int From = 1, To = 1, Copies = 1;
    bool AllPages = false;
    TPrintRangeRequest Asked;
    bool PrintDialog(QWidget*, TPrintRangeRequest& req) override {
        Asked = req;
        req.AllPages = AllPages;
        req.FromPage = From;
        req.ToPage = To;
        req.Copies = Copies;
        return true;
    }
};

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        services = std::make_shared<RangeServices>();
        previous = InstallServices(services);
        pdf = ::testing::TempDir() + "/qzpadprint_" + std::to_string(getpid()) + ".pdf";
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(pdf));
        printer->setResolution(300);
        printer->setPageSize(QPageSize(QPageSize::A4));
        printer->setPageOrientation(QPageLayout::Portrait);
        pad = std::make_unique<TQzPad>();
        print = std::make_unique<TQzPadPrint>(*pad);
        print->SetPrinter(printer.get());
    }
    void TearDown() override
    {
        print.reset();
        pad.reset();
        std::remove(pdf.c_str());
        InstallServices(previous);
    }
    void Lines(int n)
    {
        std::string text;
        for (int i = 1; i <= n; ++i) text += "line " + std::to_string(i) + "\n";
        pad->SetText(text);
    }

    std::shared_ptr<RangeServices> services;
    std::shared_ptr<TPlatformServices> previous;
    std::string pdf;
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<TQzPad> pad;
    std::unique_ptr<TQzPadPrint> print;
};

}  // namespace

TEST_F(PrintTest, PrintWritesEverySheetAndReportsProgress)
{
    Lines(150);
    std::vector<std::string> log;
    print->OnPrintingStart = [&](TQzPad* s) { log.push_back(s == pad.get() ? "start" : "?"); };
    print->OnPrintingEnd = [&](TQzPad*) { log.push_back("end"); };
    print->OnPrintingProgress = [&](TQzPad*, int page, int max, bool&) {
        log.push_back(std::to_string(page) + "/" + std::to_string(max));
    };
    ASSERT_TRUE(print->PreparePage());
    const int sheets = print->SheetCount();
    ASSERT_GE(sheets, 2);
    // A4 at 300 dpi, 15 mm margins.
    EXPECT_EQ(print->Metrics().PageWidth, printer->pageLayout().fullRectPixels(300).width());
    EXPECT_EQ(print->Metrics().DpiY, 300);

    ASSERT_TRUE(print->Print());
    EXPECT_EQ(PdfPageCount(pdf), sheets);
    ASSERT_EQ(static_cast<int>(log.size()), sheets + 2);
    EXPECT_EQ(log.front(), "start");
    EXPECT_EQ(log[1], "0/" + std::to_string(sheets - 1));
    EXPECT_EQ(log.back(), "end");
    EXPECT_EQ(print->SheetCount(), 0);  // the list is emptied after printing
}

TEST_F(PrintTest, NoPrinterOrCancelPrintsNothing)
{
    Lines(3);
    int events = 0;
    print->OnPrintingStart = [&](TQzPad*) { ++events; };
    print->OnPaginatingStart = [&](TQzPad*) { ++events; };
    printer->setOutputFileName(QString());
    EXPECT_FALSE(print->HasPrinter());
    EXPECT_FALSE(print->Print());
    EXPECT_EQ(events, 0);
    EXPECT_FALSE(FileExists(pdf));

    printer->setOutputFileName(QString::fromStdString(pdf));
    print->OnPaginatingProgress = [](TQzPad*, int, bool& cancel) { cancel = true; };
    EXPECT_FALSE(print->Print());
    EXPECT_FALSE(FileExists(pdf));
}

TEST_F(PrintTest, PrintPageKeepsTheSheetsAndCutsTheRange)
{
    pad->SetText("a\n\fb\n\fc");
    ASSERT_TRUE(print->PreparePage());
    ASSERT_EQ(print->SheetCount(), 3);
    std::vector<std::string> progress;
    print->OnPrintingProgress = [&](TQzPad*, int page, int max, bool&) {
        progress.push_back(std::to_string(page) + "/" + std::to_string(max));
    };
    // The job is titled with the file's name as written.
    pad->Model().SetFileName("/tmp/한글 \u00E9.txt");
    ASSERT_TRUE(print->PrintPage(2, 9, 2));
    EXPECT_EQ(printer->docName(), QStringLiteral("/tmp/한글 \u00E9.txt"));
    EXPECT_EQ(PdfPageCount(pdf), 2);
    EXPECT_EQ(progress, (std::vector<std::string>{"2/3", "3/3"}));
    EXPECT_EQ(printer->copyCount(), 2);
    EXPECT_EQ(print->SheetCount(), 3);
    EXPECT_FALSE(print->PrintPage(4, 9, 1));  // nothing in range: no job
}

TEST_F(PrintTest, SheetImageShowsTextInsideTheMarginsOnly)
{
    pad->SetText("XXXXXXXXXXXXXXXXXXXX\nXXXXXXXXXXXXXXXXXXXX");
    pad->Model().PrintHeader().TextLeft = "HEADER";
    ASSERT_TRUE(print->PreparePage());
    const QImage img = print->SheetImage(0, QSize(620, 877));  // a quarter of 2480 x 3508
    const int margin = 15 * 620 / 210;                        // 15 mm of 210
    int inside = 0, outside = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (qGray(img.pixel(x, y)) > 128) continue;
            if (x < margin - 1 || y < margin - 1 || x > img.width() - margin || y > img.height() - margin)
                ++outside;
            else
                ++inside;
        }
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0);
}

TEST_F(PrintTest, PreviewNavigatesAndZooms)
{
    pad->SetText("a\n\fb\n\fc");
    bool shown = false;
    print->ExecPreview = [&](TfrmPreview& f) {
        shown = true;
        f.resize(800, 600);
        f.show();
        QApplication::processEvents();
        EXPECT_EQ(f.windowTitle().toStdString(), "미리보기");
        EXPECT_EQ(f.PageCount(), 3);
        EXPECT_EQ(f.CurrentPage(), 1);
        EXPECT_FALSE(f.btnFirst->isEnabled());
        EXPECT_FALSE(f.btnPrev->isEnabled());
        EXPECT_TRUE(f.btnNext->isEnabled());
        EXPECT_EQ(f.lblPages->Caption(), Cp949("페이지 1 / 3"));
        // The bar's two readouts are styled labels: centred, the button face, a left edge only.
        for (TQzLabel* l : {f.lblZoom, f.lblPages}) {
            EXPECT_EQ(l->Alignment(), taCenter);
            EXPECT_EQ(l->Layout(), tlCenter);
            EXPECT_FALSE(l->AutoSize());
            EXPECT_EQ(l->Color(), clBtnFace);
            EXPECT_EQ(l->Frame()->Edges(), QzEdge(qzLeft));
            EXPECT_EQ(l->height(), 27);
        }
        EXPECT_EQ(f.lblZoom->width(), 60);
        EXPECT_EQ(f.lblPages->width(), 121);
        EXPECT_EQ(f.lblPages->Hint, Cp949("현재 페이지"));

        int key = Qt::Key_PageDown;
        f.FormKeyUp(key);
        EXPECT_EQ(f.CurrentPage(), 2);
        key = Qt::Key_End;
        f.FormKeyUp(key);
        EXPECT_EQ(f.CurrentPage(), 3);
        EXPECT_FALSE(f.btnNext->isEnabled());
        key = Qt::Key_PageDown;
        f.FormKeyUp(key);
        EXPECT_EQ(f.CurrentPage(), 3);
        EXPECT_EQ(key, 0);  // consumed although nothing happened
        QKeyEvent home(QEvent::KeyRelease, Qt::Key_Home, Qt::NoModifier);
        QApplication::sendEvent(&f, &home);
        EXPECT_EQ(f.CurrentPage(), 1);
        key = Qt::Key_A;
        f.FormKeyUp(key);
        EXPECT_EQ(key, Qt::Key_A);

        // Fit to page: the sheet's height fills the scroll box less 20 pixels.
        EXPECT_EQ(f.ZoomType(), pztFitToPage);
        const double ppi = f.logicalDpiY();
        const int clientH = f.ScrollBox->viewport()->height();
        EXPECT_NEAR(f.Zoom(), ((clientH - 20) / ppi) / (print->Metrics().PageHeight / 300.0), 1e-9);
        EXPECT_EQ(f.PB->height(), static_cast<int>(ppi * f.Zoom() * print->Metrics().PageHeight / 300));
        f.btnFitWidthClick();
        QApplication::processEvents();  // scroll bars may come or go, resizing the client area
        EXPECT_TRUE(f.btnFitWidth->isChecked());
        EXPECT_FALSE(f.btnFitPage->isChecked());
        EXPECT_NEAR(f.Zoom(), ((f.ScrollBox->viewport()->width() - 20) / ppi) / (print->Metrics().PageWidth / 300.0), 1e-9);

        f.btnAllClick();
        EXPECT_EQ(f.Zoom(), 1.0);
        std::vector<std::string> zooms;
        for (int i = 0; i < 5; ++i) {
            f.PBMouseDown(Qt::LeftButton, 10, 10);
            zooms.push_back(f.lblZoom->Caption());
        }
        EXPECT_EQ(zooms, (std::vector<std::string>{"125 %", "156 %", "195 %", "200 %", "200 %"}));
        EXPECT_EQ(f.ZoomType(), pztCustom);
        EXPECT_FALSE(f.btnAll->isChecked());

        f.btnAllClick();
        zooms.clear();
        for (int i = 0; i < 8; ++i) {
            f.PBMouseDown(Qt::RightButton, 10, 10);
            zooms.push_back(f.lblZoom->Caption());
        }
        EXPECT_EQ(zooms, (std::vector<std::string>{"80 %", "64 %", "51 %", "40 %", "32 %", "26 %", "25 %", "25 %"}));

        // A click zooms around the clicked point: it lands in the middle of the scroll box.
        f.btnAllClick();
        f.PBMouseDown(Qt::LeftButton, f.PB->width() / 2, f.PB->height() / 2);
        const int hs = f.ScrollBox->horizontalScrollBar()->value();
        EXPECT_NEAR(hs, f.PB->width() / 2 - f.ScrollBox->width() / 2, 2);
    };
    print->Preview();
    EXPECT_TRUE(shown);
    EXPECT_EQ(print->SheetCount(), 0);
}

TEST_F(PrintTest, PreviewWithOneSheetDisablesNavigationAndPrintsFromTheDialog)
{
    pad->SetText("only");
    print->ExecPreview = [&](TfrmPreview& f) {
        for (QToolButton* b : {f.btnFirst, f.btnPrev, f.btnNext, f.btnLast}) EXPECT_FALSE(b->isEnabled());
        services->AllPages = true;
        f.btnPrintClick();
        EXPECT_EQ(services->Asked.MaxPage, 1);
        EXPECT_TRUE(services->Asked.AllowPageRange);
    };
    print->Preview();
    EXPECT_EQ(PdfPageCount(pdf), 1);
}

TEST_F(PrintTest, PreviewPrintsTheChosenRange)
{
    pad->SetText("a\n\fb\n\fc\n\fd");
    print->ExecPreview = [&](TfrmPreview& f) {
        services->From = 2;
        services->To = 3;
        f.btnPrintClick();
    };
    print->Preview();
    EXPECT_EQ(PdfPageCount(pdf), 2);
}

TEST_F(PrintTest, ARefusedOrCancelledJobIsReported)
{
    pad->SetText("a\n\fb");
    int progress = 0;
    print->OnPrintingProgress = [&](TQzPad*, int, int, bool& cancel) { cancel = ++progress == 2; };
    EXPECT_FALSE(print->Print());  // cancelled at the second sheet
    EXPECT_EQ(progress, 2);

    print->OnPrintingProgress = nullptr;
    printer->setOutputFileName(QStringLiteral("/nonexistent-dir/out.pdf"));
    print->ExecPreview = [&](TfrmPreview& f) {
        services->AllPages = true;
        f.btnPrintClick();
    };
    print->Preview();
    ASSERT_EQ(services->Messages.size(), 1u);
    EXPECT_EQ(services->Messages[0].Text, Cp949("인쇄하지 못했습니다."));
}
