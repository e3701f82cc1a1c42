#include "editor/model/QzCodeTemplates.h"

#include "editor/model/QzPadModel.h"
#include "editor/model/QzScanner.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class TemplatesTest : public ::testing::Test {
protected:
    void TearDown() override { DeleteFile(path); }
    void Write(const std::string& text) { ASSERT_TRUE(WriteFileAtomic(path, text)); }
    std::string path = ::testing::TempDir() + "/qzpad_templates.txt";
};

// A popup that records what the settings object asks of it.
class FakePopup : public IQzCodeTemplatesPopup {
public:
    TQzCodeTemplateList list;
    int x = -1, y = -1, w = -1, h = -1;
    bool visible = false;
    int refills = 0;
    TQzCodeTemplateList& List() override { return list; }
    void ListChanged() override { ++refills; }
    void SetBounds(int ax, int ay, int aw, int ah) override { x = ax; y = ay; w = aw; h = ah; }
    void SetLook(const TQzFontDesc&, TColor) override {}
    void ShowPopup() override { visible = true; }
    void ClosePopup() override
    {
        visible = false;
        if (Closed) Closed();
    }
    bool PopupVisible() const override { return visible; }
};

}  // namespace

TEST(QzScanner, ReadsUntilAndWhile)
{
    std::istringstream s("ab<cd>  ef");
    TQzScanner sc(&s);
    EXPECT_EQ(sc.ReadStringUntil(TCharSet("<"), false), "ab");
    EXPECT_EQ(sc.GetChar(), '<');
    EXPECT_EQ(sc.ReadStringUntil(TCharSet(">"), true), "cd>");
    EXPECT_EQ(sc.ReadStringWhile(TCharSet(" "), false), "  ");
    EXPECT_EQ(sc.Position(), 8);
    sc.GoBack(3);
    EXPECT_EQ(sc.ReadStringUntil(TCharSet("<"), false), ">  ef");  // ended at the end: no step back
    EXPECT_TRUE(sc.QzEOF());
    EXPECT_EQ(sc.GetChar(), 0);

    std::istringstream t("xy z");
    TQzScanner sk(&t);
    sk.SkipWhiteSpace();
    EXPECT_EQ(sk.Position(), 2);

    TQzScanner none(nullptr);
    EXPECT_TRUE(none.QzEOF());
    EXPECT_EQ(none.ReadStringUntil(TCharSet("<"), true), "");
}

TEST_F(TemplatesTest, ReadsRecordsInAnyCaseAndSortsThem)
{
    Write("leading junk\r\n<R><N>while</N><D>loop</D><C>while (|) {\r\n}</C></R>\r\n"
          "<r><n>If</n><d>" + Cp949("조건") + "</d><c>if <b>x</b> |</c></r>\r\n"
          "<R><N>if</N><D>second</D><C>other</C></R>\r\n"
          "<R><D>nameless</D><C>code</C></R>\r\n");
    TQzCodeTemplateList list;
    AddCodeTemplate(list, "stale", "", "");
    LoadCodeTemplate(path, list);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Entry(0).Name, "");
    EXPECT_EQ(list.Entry(1).Name, "If");
    EXPECT_EQ(list.Entry(2).Name, "if");
    EXPECT_EQ(list.Entry(3).Name, "while");
    EXPECT_EQ(list.Entry(3).Item->Code, "while (|) {\r\n}");
    EXPECT_EQ(list.Entry(3).Item->Description, "loop");
    EXPECT_EQ(list.Entry(1).Item->Description, Cp949("조건"));
    EXPECT_EQ(list.Entry(1).Item->Code, "if <B>x</B> |");  // other tags upper-cased, text kept
    EXPECT_EQ(list.Find("IF"), "if <B>x</B> |");          // the first of two in sorted order
    EXPECT_EQ(list.Find("nope"), "");

    DelCodeTemplate(list, 0);
    EXPECT_EQ(list.Count(), 3);
    ClearCodeTemplate(list);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(TemplatesTest, FilesWithoutRecordsAndMissingFiles)
{
    Write("<N>a</N><C>never closed");
    TQzCodeTemplateList list;
    LoadCodeTemplate(path, list);
    EXPECT_EQ(list.Count(), 0);
    AddCodeTemplate(list, "kept", "", "x");
    LoadCodeTemplate(path + ".missing", list);
    EXPECT_EQ(list.Count(), 1);
    Write("<C>unterminated <tag");
    LoadCodeTemplate(path, list);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(TemplatesTest, SavedTemplatesLoadBack)
{
    TQzCodeTemplateList list;
    AddCodeTemplate(list, "b", "second", "two\r\nlines");
    AddCodeTemplate(list, "a", "first", "<P>|");
    SaveCodeTemplate(path, list);
    TQzCodeTemplateList back;
    LoadCodeTemplate(path, back);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Entry(0).Name, "a");
    EXPECT_EQ(back.Entry(0).Item->Code, "<P>|");
    EXPECT_EQ(back.Entry(1).Item->Description, "second");
    EXPECT_EQ(back.Entry(1).Item->Code, "two\r\nlines");
}

TEST_F(TemplatesTest, SettingsObjectFindShowAndHide)
{
    TQzCodeTemplates t;
    EXPECT_EQ(t.Find("x"), "");  // no file
    FakePopup* made = nullptr;
    t.PopupFactory = [&] { return made = new FakePopup; };
    t.Show(10, 20);
    EXPECT_EQ(made, nullptr);

    Write("<R><N>x</N><C>code of x</C></R>");
    t.FileName = path;
    EXPECT_EQ(t.Find("X"), "code of x");
    t.Width = 300;
    t.Show(10, 20);
    ASSERT_NE(made, nullptr);
    std::unique_ptr<FakePopup> owned(made);
    EXPECT_TRUE(t.GetVisible());
    EXPECT_EQ(made->list.Count(), 1);
    EXPECT_EQ(made->x, 10);
    EXPECT_EQ(made->w, 300);

    std::string inserted;
    t.OnInsertTemplate = [&](void*, const std::string& code) { inserted = code; };
    made->Insert(made, "chosen");
    EXPECT_EQ(inserted, "chosen");
    t.Hide();
    EXPECT_FALSE(t.GetVisible());
    EXPECT_EQ(t.Popup(), nullptr);

    TQzCodeTemplates copy;
    copy.Assign(t);
    EXPECT_EQ(copy.Width, 300);
    EXPECT_EQ(copy.FileName, "");
}

TEST_F(TemplatesTest, TemplateShortcutExpandsTheWordFromTheFile)
{
    Write("<R><N>bb</N><C>[|]</C></R><R><N>br</N><C>one\r\ntw|o</C></R>");
    TQzCodeTemplates t;
    t.FileName = path;
    TQzPadModel pad;
    int shown = 0;
    pad.FindCodeTemplateHandler = [&t](TQzPadModel&, const std::string& name) { return t.Find(name); };
    pad.ShowCodeTemplatesHandler = [&shown](TQzPadModel&) { ++shown; };

    pad.SetText("x bb");
    pad.SetCaretPosition(TPoint(4, 0));
    pad.ProcessEditorCommand(qzcShowCodeTemplates);
    EXPECT_EQ(pad.Lines()[0], "x []");
    EXPECT_EQ(pad.CaretPos(), TPoint(3, 0));

    pad.SetText("  BR");
    pad.SetCaretPosition(TPoint(4, 0));
    pad.ProcessEditorCommand(qzcShowCodeTemplates);
    ASSERT_EQ(pad.Lines().Count(), 2);
    EXPECT_EQ(pad.Lines()[0], "  one");
    EXPECT_EQ(pad.Lines()[1], "two");
    EXPECT_EQ(pad.CaretPos(), TPoint(2, 1));
    EXPECT_EQ(shown, 0);

    pad.SetText("zz");
    pad.SetCaretPosition(TPoint(2, 0));
    pad.ProcessEditorCommand(qzcShowCodeTemplates);
    EXPECT_EQ(pad.Lines()[0], "zz");
    EXPECT_EQ(shown, 1);
}
