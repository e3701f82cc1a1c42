#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "editor/model/QzFileError.h"
#include "editor/model/QzPadShortCut.h"
#include "platform/core/FileUtils.h"

namespace {

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/qzshortcutXXXXXX";
        path_ = mkdtemp(tmpl) ? tmpl : "";
    }
    ~TempDir() {
        for (const std::string& f : files_)
            DeleteFile(f);
        rmdir(path_.c_str());
    }
    std::string File(const std::string& name) {
        files_.push_back(path_ + "/" + name);
        return files_.back();
    }
    std::string Write(const std::string& name, const std::string& data) {
        std::string f = File(name);
        EXPECT_TRUE(WriteFileAtomic(f, data));
        return f;
    }

private:
    std::string path_;
    std::vector<std::string> files_;
};

TEST(QzPadCommandNames, NamesAndDisplayNames) {
    EXPECT_EQ(EditorCommandName(qzcNone), "qzcNone");
    EXPECT_EQ(EditorCommandName(qzcUndo), "qzcUndo");
    EXPECT_EQ(EditorCommandName(qzcToggleImeInputMode), "qzcToggleImeInputMode");
    EXPECT_EQ(EditorCommandName(82), "");
    EXPECT_EQ(int(qzcUndo), 41);
    EXPECT_EQ(int(qzcSort), 80);
    EXPECT_STREQ(EditorCommandString[qzcMoveBottomScreen], "Move to Bottom Screen");
    EXPECT_STREQ(EditorCommandString[qzcDeleteSelBlock], "Delete A Currently Selected Block");
    EXPECT_STREQ(EditorCommandString[qzcToggleImeInputMode], "Toggle IME Input Mode");
    // Every value name reads back as its own command, ignoring case.
    for (int c = 0; c < QzPadCommandCount; ++c) {
        TQzPadCommand found = qzcNone;
        std::string name = EditorCommandName(c);
        for (char& ch : name)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        ASSERT_TRUE(EditorCommandFromName(name, found)) << name;
        EXPECT_EQ(int(found), c);
        EXPECT_NE(std::string(EditorCommandString[c]), "");
    }
    TQzPadCommand untouched = qzcCopy;
    EXPECT_FALSE(EditorCommandFromName("qzcFly", untouched));
    EXPECT_EQ(untouched, qzcCopy);
}

TEST(QzPadShortCutText, WordsAndTexts) {
    EXPECT_EQ(ShortCut(VK_LEFT, TShiftState(ssShift) | ssCtrl), 24613);
    EXPECT_EQ(ShortCut('Z', ssCtrl | ssLeft), 16474);  // mouse buttons do not count
    EXPECT_EQ(ShortCut(0x1234, ssCtrl), 0);
    EXPECT_EQ(ShortCutToText(24613), "Shift+Ctrl+Left");
    EXPECT_EQ(ShortCutToText(16474), "Ctrl+Z");
    EXPECT_EQ(ShortCutToText(8), "BkSp");
    EXPECT_EQ(ShortCutToText(0x8000 | (VK_F1 + 4)), "Alt+F5");
    EXPECT_EQ(ShortCutToText(16477), "Ctrl+Application");
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(TextToShortCut("Shift+Ctrl+Left"), 24613);
    EXPECT_EQ(TextToShortCut("ctrl+shift+left"), 24613);
    EXPECT_EQ(TextToShortCut("Ctrl+Z"), 16474);
    EXPECT_EQ(TextToShortCut("Num 0"), VK_NUMPAD0);
    EXPECT_EQ(TextToShortCut("0"), '0');
    EXPECT_EQ(TextToShortCut("Ctrl+Nothing"), 0);
    EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut(""), 0);
    // Every key that has a name reads back as itself.
    for (unsigned key = 1; key <= 0xFF; ++key) {
        std::string text = ShortCutToText(static_cast<TShortCut>(key | scShift | scAlt));
        if (!text.empty()) {
            EXPECT_EQ(TextToShortCut(text), (key | scShift | scAlt)) << text;
        }
    }
}

TEST(QzPadShortCutTable, DefaultBindings) {
    TQzPadShortCut keys;
    EXPECT_EQ(keys.ShortCut().Count(), 0);
    EXPECT_EQ(keys.FindShortCut(VK_LEFT, TShiftState()), qzcNone);

    keys.ResetToDefaultShortCut();
    ASSERT_EQ(keys.ShortCut().Count(), 78);
    EXPECT_EQ(keys.ShortCut().Items(0).EditorCommand, qzcMoveLeft);
    EXPECT_EQ(keys.ShortCut().Items(74).EditorCommand, qzcToggleImeInputMode);
    EXPECT_EQ(keys.ShortCut().Items(75).GetShortCut(), 8238);
    EXPECT_EQ(keys.ShortCut().Items(76).GetShortCut(), 16429);
    EXPECT_EQ(keys.ShortCut().Items(77).GetShortCut(), 8237);
    EXPECT_EQ(keys.ShortCut().Items(40).DisplayName(), "Undo");

    // No key occurs twice, and 0 and 75..80 are never bound.
    for (int i = 0; i < 78; ++i) {
        const TQzShortCutItem& a = keys.ShortCut().Items(i);
        EXPECT_FALSE(a.EditorCommand == qzcNone || (a.EditorCommand >= qzcDragDropCopy && a.EditorCommand <= qzcSort));
        for (int j = i + 1; j < 78; ++j)
            EXPECT_NE(a.GetShortCut(), keys.ShortCut().Items(j).GetShortCut()) << i << " " << j;
    }

    EXPECT_EQ(keys.FindShortCut(VK_LEFT, ssCtrl), qzcMoveWordLeft);
    EXPECT_EQ(keys.FindShortCut(VK_LEFT, ssShift | ssCtrl), qzcSelWordLeft);
    EXPECT_EQ(keys.FindShortCut(VK_LEFT, ssAlt), qzcNone);
    EXPECT_EQ(keys.FindShortCut(VK_LEFT, TShiftState(ssLeft)), qzcMoveLeft);
    EXPECT_EQ(keys.FindShortCut(VK_DELETE, ssShift), qzcCut);
    EXPECT_EQ(keys.FindShortCut(VK_INSERT, ssCtrl), qzcCopy);
    EXPECT_EQ(keys.FindShortCut(VK_INSERT, ssShift), qzcPaste);
    EXPECT_EQ(keys.FindShortCut(VK_INSERT, TShiftState()), qzcToggleEditMode);
    EXPECT_EQ(keys.FindShortCut(VK_APPS, ssCtrl), qzcForwardMatchBrace);
    EXPECT_EQ(keys.FindShortCut(VK_LWIN, ssCtrl), qzcBackwardMatchBrace);
    EXPECT_EQ(keys.FindShortCut(VK_OEM_6, ssCtrl), qzcNone);
    EXPECT_EQ(keys.FindShortCut(VK_SPACE, ssShift), qzcToggleImeInputMode);
    EXPECT_EQ(keys.FindShortCut('9', ssShift | ssCtrl), qzcSetBookmark9);
    EXPECT_EQ(keys.FindShortCut('0', ssCtrl), qzcGotoBookmark0);
    EXPECT_EQ(keys.FindShortCut(VK_RETURN, ssCtrl), qzcOpenFile);
    // A key code above a byte has no shortcut word and never matches.
    EXPECT_EQ(keys.FindShortCut(0x125, TShiftState()), qzcNone);

    keys.Clear();
    EXPECT_EQ(keys.FindShortCut(VK_LEFT, TShiftState()), qzcNone);
}

TEST(QzPadShortCutTable, CollectionAssign) {
    TQzPadShortCut a;
    a.ResetToDefaultShortCut();
    TQzPadShortCut b;
    b.SetShortCut(a.ShortCut());
    ASSERT_EQ(b.ShortCut().Count(), 78);
    EXPECT_EQ(b.ShortCut().Items(5).GetShortCut(), a.ShortCut().Items(5).GetShortCut());

    TQzShortCutItem item;
    item.SetShortCut(24666);
    item.EditorCommand = qzcRedo;
    EXPECT_EQ(item.Key, 'Z');
    EXPECT_EQ(item.ShiftState, ssShift | ssCtrl);
    b.ShortCut().SetItems(0, item);
    EXPECT_EQ(b.FindShortCut('Z', ssShift | ssCtrl), qzcRedo);
    EXPECT_EQ(b.FindShortCut(VK_LEFT, TShiftState()), qzcNone);
    // The copy is independent of its source.
    EXPECT_EQ(a.FindShortCut(VK_LEFT, TShiftState()), qzcMoveLeft);
}

TEST(QzPadShortCutFile, SaveLoadRoundTrip) {
    TempDir dir;
    const std::string file = dir.File("keys.txt");
    TQzPadShortCut keys;
    keys.ResetToDefaultShortCut();
    keys.SaveToFile(file);

    std::string data;
    ASSERT_TRUE(ReadFileBytes(file, data));
    EXPECT_EQ(data.substr(0, 40), "qzcMoveLeft,Left\r\nqzcMoveWordLeft,Ctrl+L");
    EXPECT_EQ(data.substr(data.size() - 22), "\r\nqzcPaste,Shift+Ins\r\n");
    EXPECT_NE(data.find("\r\nqzcSelWordLeft,Shift+Ctrl+Left\r\n"), std::string::npos);
    EXPECT_NE(data.find("\r\nqzcForwardMatchBrace,Ctrl+Application\r\n"), std::string::npos);

    TQzPadShortCut loaded;
    ASSERT_TRUE(loaded.LoadFromFile(file));
    ASSERT_EQ(loaded.ShortCut().Count(), 78);
    for (int i = 0; i < 78; ++i) {
        EXPECT_EQ(loaded.ShortCut().Items(i).EditorCommand, keys.ShortCut().Items(i).EditorCommand);
        EXPECT_EQ(loaded.ShortCut().Items(i).GetShortCut(), keys.ShortCut().Items(i).GetShortCut());
    }
}

TEST(QzPadShortCutFile, PunctuationKeysSurviveTheFile) {
    TempDir dir;
    const std::string file = dir.File("punct.txt");
    TQzPadShortCut keys;
    keys.ShortCut().AddShortCut(qzcSort, VK_OEM_COMMA, ssCtrl);
    keys.ShortCut().AddShortCut(qzcInsert, VK_OEM_PERIOD, ssAlt);
    keys.SaveToFile(file);
    TQzPadShortCut loaded;
    ASSERT_TRUE(loaded.LoadFromFile(file));
    EXPECT_EQ(loaded.FindShortCut(VK_OEM_COMMA, ssCtrl), qzcSort);
    EXPECT_EQ(loaded.FindShortCut(VK_OEM_PERIOD, ssAlt), qzcInsert);
}

TEST(QzPadShortCutFile, LoadRules) {
    TempDir dir;
    TQzPadShortCut keys;
    keys.ResetToDefaultShortCut();

    // A missing file keeps the bindings.
    EXPECT_FALSE(keys.LoadFromFile(dir.File("missing.txt")));
    EXPECT_EQ(keys.ShortCut().Count(), 78);

    // An existing empty file leaves none.
    EXPECT_TRUE(keys.LoadFromFile(dir.Write("empty.txt", "")));
    EXPECT_EQ(keys.ShortCut().Count(), 0);

    // Names and numbers give the same binding; unknown names, numbers above 81 and empty first
    // fields are skipped; an unknown key text gives a binding that never matches.
    const std::string file = dir.Write("mixed.txt",
                                       "qzcUndo,Ctrl+Z\r\n"
                                       " 41 , Ctrl+Z \n"
                                       "qzcFly,Ctrl+F\n"
                                       "82,Ctrl+Q\n"
                                       ",Ctrl+W\n"
                                       "\n"
                                       "QZCREDO,ctrl+shift+z\n"
                                       "qzcCopy,Hyper+C\n"
                                       "1x,Ctrl+K\n");
    ASSERT_TRUE(keys.LoadFromFile(file));
    ASSERT_EQ(keys.ShortCut().Count(), 5);
    EXPECT_EQ(keys.ShortCut().Items(0).EditorCommand, qzcUndo);
    EXPECT_EQ(keys.ShortCut().Items(1).EditorCommand, qzcUndo);
    EXPECT_EQ(keys.ShortCut().Items(0).GetShortCut(), keys.ShortCut().Items(1).GetShortCut());
    EXPECT_EQ(keys.ShortCut().Items(2).EditorCommand, qzcRedo);
    EXPECT_EQ(keys.ShortCut().Items(3).GetShortCut(), 0);
    EXPECT_EQ(keys.ShortCut().Items(4).EditorCommand, qzcNone);  // "1x" is not a number: 0
    EXPECT_EQ(keys.FindShortCut('Z', ssCtrl), qzcUndo);
    EXPECT_EQ(keys.FindShortCut('Z', ssShift | ssCtrl), qzcRedo);
    EXPECT_EQ(keys.FindShortCut('C', ssCtrl), qzcNone);
}

TEST(QzPadShortCutFile, SaveFailureRaises) {
    TempDir dir;
    TQzPadShortCut keys;
    keys.ResetToDefaultShortCut();
    EXPECT_THROW(keys.SaveToFile(dir.File("no/such/folder/keys.txt")), EFCreateError);
    try {
        keys.SaveToFile(dir.File("no/such/folder/keys.txt"));
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"", 0), 0u);
    }
}

}  // namespace
