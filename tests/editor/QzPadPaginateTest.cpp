// Pagination of the editor's text into printed sheets, with a fixed font measurer.

#include "QzPadTestUtil.h"

#include "editor/model/QzPadPaginate.h"
#include "editor/model/QzSyntax.h"
#include "platform/core/Cp949.h"

namespace {

// Every font: line height = pixel size + 2, character width = pixel size / 2.
class FixedMeasurer : public IQzPrintMeasurer {
public:
    TQzPrintFontMetrics Measure(const TQzPrintFont& font) override {
        const int px = font.PixelSize();
        return TQzPrintFontMetrics{px, px + 2, px / 2};
    }
};

// Colours the first byte of every line red and leaves the rest in the default colour.
class FirstByteRed : public TQzSyntax {
public:
    void Parse(const std::string& line, int& state) override {
        parsedItems_.clear();
        parsedItems_.push_back(TQzSyntaxItem{line.substr(0, 1), clRed});
        if (line.size() > 1) parsedItems_.push_back(TQzSyntaxItem{line.substr(1), clNone});
        ++state;
    }
};

// Letter paper at 100 dpi; 15 mm margins are 59 pixels: the area is (59, 59) - (791, 1041).
// The 10 point print font is 14 pixels: lines of 16 pixels, characters of 7.
class PaginateTest : public PadTest {
protected:
    const TQzPrinterMetrics printer{850, 1100, 100, 100};
    FixedMeasurer measurer;
    TQzPadPagination pagination;

    bool Prepare() { return pagination.PreparePage(pad, printer, measurer); }
    // The text items of a sheet, in drawing order.
    std::vector<const TQzPrintItem*> Texts(int sheet) const {
        std::vector<const TQzPrintItem*> v;
        for (const TQzPrintItem& it : pagination.Sheets()[static_cast<size_t>(sheet)].Items)
            if (it.Kind == TQzPrintItem::qpiText) v.push_back(&it);
        return v;
    }
    std::vector<std::string> Body(int sheet, int minY, int maxY) const {
        std::vector<std::string> v;
        for (const TQzPrintItem* it : Texts(sheet))
            if (it->Y >= minY && it->Y < maxY) v.push_back(it->Text);
        return v;
    }
};

}  // namespace

TEST_F(PaginateTest, OneEmptyLineGivesOneSheetWithHeaderAndFooterOnly)
{
    SetText({""});
    pad.SetFileName("/tmp/docs/caption.smi");
    pad.PrintHeader().TextCenter = "%p%";
    pad.PrintFooter().TextRight = "%f%";
    ASSERT_TRUE(Prepare());
    ASSERT_EQ(pagination.SheetCount(), 1);
    const auto texts = Texts(0);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->Text, "1");
    EXPECT_EQ(texts[0]->Y, 59);
    EXPECT_EQ(texts[0]->X, 59 + (732 - 7) / 2);
    EXPECT_EQ(texts[1]->Text, "caption.smi");
    EXPECT_EQ(texts[1]->Y, 1041 - 16);
    EXPECT_EQ(texts[1]->X, 791 - 11 * 7);
}

TEST_F(PaginateTest, PageBreaksFollowTheLineHeightAndNumbersAreRightAligned)
{
    // Header and footer take a line each: body lines from y 75 while y + 16 <= 1025, 59 a page.
    std::vector<std::string> lines;
    for (int i = 1; i <= 120; ++i) lines.push_back("line " + std::to_string(i));
    SetText(lines);
    pad.PrintOptions().PrintLineNo = true;
    ASSERT_TRUE(Prepare());
    ASSERT_EQ(pagination.SheetCount(), 3);
    EXPECT_EQ(pagination.PageCount(), 3);

    const auto first = Texts(0);
    ASSERT_EQ(first.size(), 2u * 59);
    EXPECT_EQ(first[0]->Text, "   1  ");  // "%*d  " with the width of "120" plus one
    EXPECT_EQ(first[0]->Clip, TRect(59, 75, 59 + 5 * 7, 91));
    EXPECT_EQ(first[1]->Text, "line 1");
    EXPECT_EQ(first[1]->X, 59 + 5 * 7);
    EXPECT_EQ(first.back()->Text, "line 59");
    EXPECT_EQ(first.back()->Y, 75 + 58 * 16);
    const auto third = Texts(2);
    EXPECT_EQ(third[0]->Text, " 119  ");
    EXPECT_EQ(third[0]->Y, 75);
    EXPECT_EQ(third.size(), 4u);
}

TEST_F(PaginateTest, FormFeedStartsAPageAndPrintsAsItsLine)
{
    SetText({"a", "\f", "\fb"});
    ASSERT_TRUE(Prepare());
    ASSERT_EQ(pagination.SheetCount(), 3);
    EXPECT_EQ(Body(0, 0, 2000), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(Body(1, 0, 2000).empty());  // only the form feed: an empty line
    EXPECT_EQ(Body(2, 0, 2000), (std::vector<std::string>{"b"}));
    EXPECT_EQ(Texts(2)[0]->Y, 75);
}

TEST_F(PaginateTest, TwoPagesPerSheetCountPagesNotSheets)
{
    SetText({"a", "\fb", "\fc"});
    pad.PrintOptions().PagesPerSheet = ppps2;
    pad.PrintHeader().TextLeft = "%p%/%p%";
    ASSERT_TRUE(Prepare());
    ASSERT_EQ(pagination.SheetCount(), 2);
    // 10 points print as 4 (6 pixels): lines of 8 pixels, characters of 3.
    const auto first = Texts(0);
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(first[0]->Text, "1/%p%");  // only the first macro is replaced
    EXPECT_EQ(first[0]->Font.Points, 4);
    EXPECT_EQ(first[0]->X, 59);
    EXPECT_EQ(first[1]->Text, "a");
    EXPECT_EQ(first[1]->Y, 59 + 8);
    // Cells of 732 / 2 pixels with a 2.5 mm (10 pixel) gap on the inner side.
    EXPECT_EQ(first[1]->Clip.Right, 59 + 366 - 10);
    EXPECT_EQ(first[2]->Text, "2/%p%");
    EXPECT_EQ(first[2]->X, 59 + 366 + 10);
    EXPECT_EQ(Texts(1)[0]->Text, "3/%p%");
    EXPECT_EQ(Texts(1)[0]->X, 59);
}

TEST_F(PaginateTest, FourPagesPerSheetFillRowsThenColumns)
{
    SetText({"a", "\fb", "\fc", "\fd", "\fe"});
    pad.PrintOptions().PagesPerSheet = ppps4;
    pad.PrintHeader().Visible = false;
    pad.PrintFooter().Visible = false;
    ASSERT_TRUE(Prepare());
    ASSERT_EQ(pagination.SheetCount(), 2);
    const auto t = Texts(0);
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0]->Y, 59);
    EXPECT_EQ(t[1]->Y, 59);
    EXPECT_EQ(t[1]->X, 59 + 366 + 10);
    EXPECT_EQ(t[2]->X, 59);
    EXPECT_EQ(t[2]->Y, 59 + 491 + 10);
    EXPECT_EQ(t[3]->Text, "d");
}

TEST_F(PaginateTest, LongLinesAreCutOrWrapped)
{
    // 732 pixels hold 104 characters of 7 pixels.
    const std::string line(124, 'x');
    SetText({line, "next"});
    ASSERT_TRUE(Prepare());
    auto body = Texts(0);
    ASSERT_EQ(body.size(), 2u);
    EXPECT_EQ(body[0]->Text, line);
    EXPECT_EQ(body[0]->Clip.Right, 791);
    EXPECT_EQ(body[1]->Y, 75 + 16);

    pad.PrintOptions().WordWrap = true;
    ASSERT_TRUE(Prepare());
    body = Texts(0);
    ASSERT_EQ(body.size(), 3u);
    EXPECT_EQ(body[0]->Text, std::string(104, 'x'));
    EXPECT_EQ(body[1]->Text, std::string(20, 'x'));
    EXPECT_EQ(body[1]->X, 59);
    EXPECT_EQ(body[1]->Y, 75 + 16);
    EXPECT_EQ(body[2]->Text, "next");
    EXPECT_EQ(body[2]->Y, 75 + 32);

    // A double-byte character across the edge goes whole to the next line.
    const std::string han = Cp949("가");
    SetText({std::string(103, 'y') + han + "z"});
    ASSERT_TRUE(Prepare());
    body = Texts(0);
    ASSERT_EQ(body.size(), 2u);
    EXPECT_EQ(body[0]->Text, std::string(103, 'y'));
    EXPECT_EQ(body[1]->Text, han + "z");
}

TEST_F(PaginateTest, SyntaxColoursAndSeparators)
{
    FirstByteRed syntax;
    pad.SetSyntax(&syntax);
    pad.SetOptions(pad.Options().With(qzoHighlightSyntax));
    pad.PrintOptions().Font.Color = clBlue;
    pad.PrintOptions().PrintSeperator = true;
    SetText({"abc"});
    ASSERT_TRUE(Prepare());
    const auto& items = pagination.Sheets()[0].Items;
    std::vector<const TQzPrintItem*> rules;
    for (const auto& it : items)
        if (it.Kind == TQzPrintItem::qpiRule) rules.push_back(&it);
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0]->Y, 59 + 16 + 4);    // a quarter line under the header
    EXPECT_EQ(rules[1]->Y, 1041 - 16 - 4);  // and over the footer
    EXPECT_EQ(rules[0]->PenWidth, 2);
    const auto t = Texts(0);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0]->Text, "a");
    EXPECT_EQ(t[0]->Color, clRed);
    EXPECT_EQ(t[0]->Y, 59 + 16 + 16);
    EXPECT_EQ(t[1]->Text, "bc");
    EXPECT_EQ(t[1]->Color, clBlue);
    EXPECT_EQ(t[1]->X, 59 + 7);
    pad.SetSyntax(nullptr);
}

TEST_F(PaginateTest, EventsAndCancel)
{
    SetText({"1", "2", "3"});
    std::vector<std::string> log;
    pagination.OnPaginatingStart = [&](TQzPadPagination&) { log.push_back("start"); };
    pagination.OnPaginatingEnd = [&](TQzPadPagination&) { log.push_back("end"); };
    pagination.OnPaginatingProgress = [&](TQzPadPagination&, int page, bool& cancel) {
        log.push_back("p" + std::to_string(page));
        cancel = log.size() == 3;
    };
    EXPECT_FALSE(Prepare());
    EXPECT_EQ(pagination.SheetCount(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"start", "p1", "p1", "end"}));
}

TEST_F(PaginateTest, HeaderMacros)
{
    pagination.DateText = [] { return std::string("D"); };
    pagination.TimeText = [] { return std::string("T"); };
    EXPECT_EQ(pagination.InterpretHeader(7, "%d% %t% %F% [%f%] %p% %p%", "/a/b.txt"), "D T /a/b.txt [b.txt] 7 %p%");
    EXPECT_EQ(pagination.InterpretHeader(1, "plain", "x"), "plain");
    // A native (UTF-8) path goes in as code page 949 text; what that code page lacks becomes "?".
    EXPECT_EQ(pagination.InterpretHeader(1, "%F% [%f%]", "/자막/한글\u00E9\u4E00\U0001F600.txt"),
              Cp949("/자막/한글?一?.txt [한글?一?.txt]"));
}

TEST_F(PaginateTest, MarginsWiderThanThePaperStillFinish)
{
    pad.PrintOptions().MarginLeft = 200;
    pad.PrintOptions().MarginRight = 200;
    pad.PrintOptions().WordWrap = true;
    pad.PrintOptions().PrintLineNo = true;
    SetText({"abcdef", "gh"});
    ASSERT_TRUE(Prepare());
    EXPECT_GE(pagination.SheetCount(), 1);
}
