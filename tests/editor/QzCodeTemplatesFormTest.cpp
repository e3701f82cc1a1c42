#include "editor/widget/QzCodeTemplatesForm.h"
#include "editor/widget/QzPad.h"
#include "editor/widget/QzPadCopyExport.h"

#include "editor/model/QzPadShortCut.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/gui/Services.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

#include <gtest/gtest.h>

namespace {

class PadExtrasTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        services = std::make_shared<TRecordingServices>();
        previous = InstallServices(services);
        pad = std::make_unique<TQzPad>();
        pad->resize(400, 200);
        pad->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        pad.reset();
        InstallServices(previous);
        DeleteFile(path);
    }

    void SendKey(QWidget* w, int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
    }

    std::shared_ptr<TRecordingServices> services;
    std::shared_ptr<TPlatformServices> previous;
    std::unique_ptr<TQzPad> pad;
    std::string path = ::testing::TempDir() + "/qzpad_form_templates.txt";
};

}  // namespace

TEST_F(PadExtrasTest, CopyAsNeedsASelectionAndCopiesWholeLines)
{
    pad->SetText("one\n" + Cp949("가") + "\nthree");
    services->Clipboard = "before";
    CopyAsRTF(*pad);
    CopyAsHTML(*pad);
    EXPECT_EQ(services->Clipboard, "before");
    EXPECT_EQ(services->ClipboardRtf, "");

    pad->Model().SetSelStart(TPoint(1, 1));
    pad->Model().SetSelEnd(TPoint(2, 2));
    CopyAsRTF(*pad);
    EXPECT_EQ(services->Clipboard, "before");  // the text stays beside the RTF block
    EXPECT_NE(services->ClipboardRtf.find("\r\n\\cf0 \\f1 \\'b0\\'a1\\line \r\n\\cf0 \\f0 three\\line \r\n}\r\n}\r\n"),
              std::string::npos)
        << services->ClipboardRtf;
    EXPECT_EQ(services->ClipboardRtf.find("one"), std::string::npos);

    CopyAsHTML(*pad);
    EXPECT_NE(services->Clipboard.find("<PRE>\r\n" + Cp949("가") + "\r\nthree\r\n</PRE>"), std::string::npos);
    EXPECT_EQ(services->ClipboardRtf, "");
}

TEST_F(PadExtrasTest, TemplateShortcutExpandsOrShowsThePopup)
{
    ASSERT_TRUE(WriteFileAtomic(path, "<R><N>sync</N><D>a sync line</D><C><SYNC Start=|></C></R>"
                                      "<R><N>br</N><D>break</D><C><br></C></R>"));
    TQzCodeTemplates templates;
    templates.FileName = path;
    BindCodeTemplates(*pad, templates);

    pad->SetText("x sync");
    pad->Model().SetCaretPosition(TPoint(6, 0));
    pad->Model().ProcessEditorCommand(qzcShowCodeTemplates);
    EXPECT_EQ(pad->Model().Lines()[0], "x <SYNC START=>");
    EXPECT_EQ(pad->Model().CaretPos(), TPoint(14, 0));
    EXPECT_FALSE(templates.GetVisible());

    pad->SetText("zz ");
    pad->Model().SetCaretPosition(TPoint(3, 0));
    pad->Model().ProcessEditorCommand(qzcShowCodeTemplates);
    ASSERT_TRUE(templates.GetVisible());
    auto* form = dynamic_cast<TCodeTemplatesForm*>(templates.Popup());
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(form->lstCode()->count(), 2);
    EXPECT_EQ(form->lstCode()->item(0)->text(), QStringLiteral("br"));
    EXPECT_EQ(form->Find("SYNC"), "<SYNC START=|>");
    EXPECT_EQ(form->size(), QSize(400, 100));

    QPointer<QWidget> alive(form);
    form->lstCode()->setCurrentRow(0);
    SendKey(form->lstCode(), Qt::Key_Return);
    EXPECT_EQ(pad->Model().Lines()[0], "zz <BR>");
    EXPECT_EQ(templates.Popup(), nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());

    pad->Model().ProcessEditorCommand(qzcShowCodeTemplates);
    ASSERT_TRUE(templates.GetVisible());
    SendKey(templates.Popup() ? dynamic_cast<TCodeTemplatesForm*>(templates.Popup())->lstCode() : nullptr, Qt::Key_Escape);
    EXPECT_FALSE(templates.GetVisible());
    EXPECT_EQ(pad->Model().Lines()[0], "zz <BR>");
    UnbindCodeTemplates(*pad, templates);
}

TEST_F(PadExtrasTest, SettingsFileAppliesTheFontThroughTheControl)
{
    TQzFontDesc f = pad->Font();
    f.Name = "DejaVu Sans Mono";
    f.Size = 20;
    pad->SetFont(f);
    const int tallHeight = pad->Model().LineHeight();
    ASSERT_TRUE(SaveSettingToINI(*pad, nullptr, path));

    f.Size = 8;
    pad->SetFont(f);
    ASSERT_LT(pad->Model().LineHeight(), tallHeight);
    LoadSettingFromINI(*pad, nullptr, path);
    EXPECT_EQ(pad->Font().Size, 20);
    EXPECT_EQ(pad->Model().LineHeight(), tallHeight);  // measured again
}
