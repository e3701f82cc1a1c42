// The advanced mode (F12): list commands run while it is shown work on the text on screen, and
// leaving the mode or saving never brings back a stale text.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>

#include "app/model/MainController.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/core/StringList.h"
#include "platform/core/SysUtils.h"
#include "tests/ChildRun.h"
#include "tests/app/ControllerFixture.h"

namespace {

using Entries = std::multimap<int, std::string>;

class AdvancedMode : public TControllerTest {
protected:
    void SetUp() override {
        TControllerTest::SetUp();
        WriteFile(dir + "a.smi",
                  "<SAMI><BODY>\r\n<SYNC START=1000><P Class=KRCC>one\r\n<SYNC START=2000><P Class=KRCC><b>two</b>\r\n"
                  "<SYNC START=3000><P Class=KRCC>three\r\n</BODY></SAMI>\r\n");
        WriteFile(dir + "ins.smi", "<SAMI><BODY>\r\n<SYNC START=100><P Class=KRCC>x\r\n<SYNC START=200><P Class=KRCC>y\r\n</BODY></SAMI>");
        ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
        main.ToggleAdvancedMode();
    }

    // The captions of the rows (banner left out), as the list shows them.
    Entries Shown() const {
        TRowList rows = Rows();
        return Entries(rows.begin(), rows.end());
    }
    // The captions the memo's text stands for.
    static Entries Read(const std::string& memo) {
        TQzCaption doc;
        TStringList lines;
        lines.SetText(memo);
        doc.Apply(lines);
        Entries e;
        for (int i = 0; i < doc.List().Count(); ++i) e.emplace(StrToInt(doc.List().Key(i)), doc.List().Value(i));
        return e;
    }
    // Types a caption into the memo, as the user would.
    void TypeCaption(int sync, const std::string& text) {
        view.Memo += "<SYNC START=" + std::to_string(sync) + "><P CLASS=KALO_KRCC>\n" + text + "\n";
        view.MemoDirty = true;
    }
};

// Each list command, run with an edit pending in the memo: the edit is kept, the command's change
// shows in the memo, and leaving the mode changes nothing more.
TEST_F(AdvancedMode, EveryListCommandKeepsThePendingEditAndRefillsTheText) {
    struct Case {
        const char* name;
        std::function<void()> run;
        std::function<void(const Entries&)> check;
    };
    const Case cases[] = {
        {"insert behind", [&] { view.OpenChoices = {dir + "ins.smi"}; view.InsertModes = {2}; main.InsertCommand(); },
         [](const Entries& e) { EXPECT_EQ(e.size(), 6u); }},
        {"delete", [&] { main.DeleteCommand(); }, [](const Entries& e) { EXPECT_EQ(e.count(2000), 0u); }},
        {"strip", [&] { main.StripTags(); }, [](const Entries& e) { EXPECT_EQ(e.find(2000)->second, "two"); }},
        {"shift", [&] { main.ShiftRight(); }, [](const Entries& e) { EXPECT_EQ(e.begin()->first, 1100); }},
        {"add", [&] { view.Sync = "4000"; view.Entry = "four"; main.AddCommand(); },
         [](const Entries& e) { EXPECT_EQ(e.find(4000)->second, "four"); }},
        {"edit", [&] { view.Sync = "2500"; view.Entry = "moved"; main.EditCommand(); },
         [](const Entries& e) { EXPECT_EQ(e.find(2500)->second, "moved"); }},
        {"sort", [&] { main.SortCommand(); }, [](const Entries& e) { EXPECT_EQ(e.size(), 4u); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.Answers.clear();
        main.CurrentCaption.Modified = 0;
        ASSERT_TRUE(main.OpenCaptionFile(dir + "a.smi"));
        main.SelectRow(2);  // the 2000 caption is the one being edited
        TypeCaption(5000, "typed");
        c.run();
        EXPECT_FALSE(view.MemoDirty);
        Entries shown = Read(view.Memo);
        EXPECT_EQ(shown, Shown());
        EXPECT_EQ(std::count_if(shown.begin(), shown.end(), [](const auto& e) { return e.second == "typed"; }), 1);
        c.check(shown);
        main.ToggleAdvancedMode();
        EXPECT_EQ(Shown(), shown);
        main.ToggleAdvancedMode();
    }
}

TEST_F(AdvancedMode, TextThatCannotBeAppliedStopsTheCommand) {
    std::string many;
    for (int i = 1; many.size() < (24u << 20); ++i) many += "<SYNC START=" + std::to_string(i) + "><P>caption\n";
    const struct {
        std::string added;
        std::string message;  // its first line
        bool limited;         // applied with less memory than the text needs
    } cases[] = {
        {"<SYNC START=99999999999><P>bad\n", Cp949("확장편집 내용을 적용할 수 없습니다."), false},
        {many, Cp949("확장편집 내용이 너무 커서 적용할 수 없습니다."), true},
    };
    const std::string shown = view.Memo;
    for (const auto& c : cases) {
        if (c.limited && !kAddressSpaceLimitWorks) GTEST_SKIP() << "RLIMIT_AS cannot be set under AddressSanitizer";
        view.Memo = shown + c.added;
        view.MemoDirty = true;
        const auto row = [&] {
            main.StripTags();
            ASSERT_EQ(view.Messages.size(), 1u);
            EXPECT_EQ(view.Messages[0].substr(0, c.message.size()), c.message);
            EXPECT_EQ(main.Rows().Count(), 4);
            EXPECT_EQ(main.Rows()[2].Text, "<b>two</b>");  // the strip did not run
            EXPECT_TRUE(view.MemoDirty);
            // Leaving the mode stops the same way.
            main.ToggleAdvancedMode();
            EXPECT_TRUE(main.AdvancedMode());
            EXPECT_EQ(view.Messages.size(), 2u);
            EXPECT_EQ(main.Rows().Count(), 4);
        };
        EXPECT_TRUE(RunInChild(row, 20000, c.limited ? size_t{32} << 20 : 0));
    }
}

TEST_F(AdvancedMode, AMistypedTimeIsReportedWithItsLineAndTheModeStays) {
    const std::string shown = view.Memo;
    view.Memo = shown + "<SYNC START=12o5><P CLASS=KALO_KRCC>\n" + Cp949("오타") + "\n";
    view.MemoDirty = true;
    const int line = static_cast<int>(std::count(shown.begin(), shown.end(), '\n'));
    main.ToggleAdvancedMode();
    EXPECT_TRUE(main.AdvancedMode());
    ASSERT_EQ(view.Messages.size(), 1u);
    EXPECT_EQ(view.Messages[0], Cp949("확장편집 내용을 적용할 수 없습니다.\n") + std::to_string(line + 1) +
                                    Cp949("번째 줄의 싱크 시각이 잘못되었습니다.\n<SYNC START=12o5><P CLASS=KALO_KRCC>"));
    EXPECT_EQ(view.MemoLine, line);
    EXPECT_TRUE(view.MemoDirty);
    EXPECT_EQ(Shown().count(12), 0u);
    // Saving stops too, and writes nothing.
    view.SaveChoices = {dir + "b.smi"};
    EXPECT_FALSE(main.SaveCaption(true));
    EXPECT_EQ(view.Messages.size(), 2u);
    EXPECT_FALSE(FileExists(dir + "b.smi"));
}

// Random list commands and memo edits in the advanced mode: after every step the memo stands for
// the rows (or holds the user's pending edit), and leaving the mode keeps exactly that.
TEST_F(AdvancedMode, RandomCommandsNeverLeaveAStaleText) {
    std::mt19937 rng(14);
    for (int step = 0; step < 300; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        view.Answers.clear();
        const int sync = 100 * static_cast<int>(rng() % 80 + 1);
        switch (rng() % 9) {
        case 0: TypeCaption(sync, "t" + std::to_string(step)); break;
        case 1:
            view.OpenChoices = {dir + "ins.smi"};
            view.InsertModes = {static_cast<int>(rng() % 3)};
            main.InsertCommand();
            break;
        case 2: main.DeleteCommand(); break;
        case 3: main.StripTags(); break;
        case 4:
            view.ShiftOptionValue = static_cast<int>(rng() % 2);
            view.Shift = std::to_string(rng() % 500);
            main.ShiftRight();
            break;
        case 5:
            view.Sync = std::to_string(sync);
            view.Entry = "a" + std::to_string(step);
            main.AddCommand();
            break;
        case 6: main.SelectRow(static_cast<int>(rng() % static_cast<unsigned>(main.Rows().Count()))); break;
        case 7: main.SortCommand(); break;
        case 8:
            view.Sync = std::to_string(sync);
            view.Entry = "e" + std::to_string(step);
            main.EditCommand();
            break;
        }
        if (!view.MemoDirty) {
            ASSERT_EQ(Read(view.Memo), Shown());
        }
        // Now and then the mode is left and entered again: exactly what the memo showed stays.
        if (rng() % 4 == 0) {
            const Entries shown = Read(view.Memo);
            main.ToggleAdvancedMode();
            ASSERT_FALSE(main.AdvancedMode());
            ASSERT_EQ(Shown(), shown);
            main.ToggleAdvancedMode();
        }
    }
}

}  // namespace
