#pragma once
// Recording stand-ins for the main window and the movie window.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/model/MainView.h"

class TFakeMainView : public IMainView {
public:
    // Answers given to Ask in turn; mrOk when none is queued. Every question is recorded.
    std::deque<int> Answers;
    std::function<void()> WhileAsked;  // run while each question is up, before it is answered
    std::function<void()> WhileLoading;  // run each time a load lets the window repaint
    std::vector<std::string> Questions;
    std::vector<std::string> Messages;
    std::deque<std::string> OpenChoices;  // empty string: the dialog is cancelled
    std::deque<std::string> SaveChoices;
    std::vector<std::string> SaveProposals;  // the file name each save dialog proposed
    std::deque<int> InsertModes;

    std::string Entry, Sync = "0", Shift = "100", Memo, Title, LoadTime;
    int ShiftOptionValue = 0;
    bool MemoDirty = false, Advanced = false, ListEnabled = true, TimerOn = false;
    int Selection = -1, Scrolled = -1, RowsChangedCount = 0, MemoLine = -1;

    int Ask(const std::string& text, TMsgButtons) override;
    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    bool OpenFileDialog(int, const std::string&, const std::string&, std::string& chosen) override;
    bool SaveFileDialog(const std::string&, const std::string& fileName, std::string& chosen) override;
    int AskInsertMode() override;
    std::string EntryText() override { return Entry; }
    void SetEntryText(const std::string& text) override { Entry = text; }
    std::string SyncField() override { return Sync; }
    void SetSyncField(const std::string& text) override { Sync = text; }
    std::string ShiftField() override { return Shift; }
    int ShiftOption() override { return ShiftOptionValue; }
    std::string MemoText() override { return Memo; }
    void SetMemoText(const std::string& text) override {
        Memo = text;
        MemoDirty = false;
    }
    bool MemoModified() override { return MemoDirty; }
    void SetMemoModified(bool m) override { MemoDirty = m; }
    void ShowAdvancedMode(bool on) override { Advanced = on; }
    void ShowMemoLine(int line) override { MemoLine = line; }
    // Like the list widget, re-reading the rows drops the selection.
    void RowsChanged() override {
        ++RowsChangedCount;
        Selection = -1;
    }
    void SelectionChanged(int row) override { Selection = row; }
    void ScrollRowIntoView(int row) override { Scrolled = row; }
    void SetListEnabled(bool enabled) override { ListEnabled = enabled; }
    void SetTitle(const std::string& title) override { Title = title; }
    void SetProgress(int, int) override {}
    void SetLoadTime(const std::string& text) override { LoadTime = text; }
    void ProcessMessages() override {
        if (WhileLoading) WhileLoading();
    }
    void SetCaptionTimer(bool on) override { TimerOn = on; }
};

class TFakeMovie : public IMoviePort {
public:
    std::string File, Caption = "Preview", Label, PositionText;
    double Position = 0;
    int Seeks = 0, Pauses = 0, Stops = 0;
    std::vector<std::string> Opened;

    std::string PlayerFileName() override { return File; }
    void PlayerOpen(const std::string& path) override {
        File = path;
        Opened.push_back(path);
    }
    void PlayerStop() override { ++Stops; }
    void PlayerPause() override { ++Pauses; }
    void PlayerClose() override { File.clear(); }
    double PlayerPosition() override { return Position; }
    void SetPlayerPosition(double s) override {
        Position = s;
        ++Seeks;
    }
    void SetWindowCaption(const std::string& c) override { Caption = c; }
    std::string CaptionLabelText() override { return Label; }
    void SetCaptionLabelText(const std::string& t) override { Label = t; }
    void SetPositionText(const std::string& t) override { PositionText = t; }
};

// A fresh temporary folder, with a trailing '/', removed when the test program ends (a test that
// can hold a TTempFolder of its own removes it sooner).
std::string MakeTempDir();
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
