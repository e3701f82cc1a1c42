#pragma once
// The find dialog: searches the caption texts of the main window's list, or in the advanced mode
// the advanced-mode editor, for a word; keeps the searched words in "FindWord.his" beside the
// program and completes the word from them while it is typed.
//
// Created once at first use and kept until the program ends: it stays on top, is not modal, and is
// centred over the main window only when it is created. Closing hides it and writes the history;
// so does the application's end (its aboutToQuit), and the main window may call SaveHistory() when
// it closes, so words searched while the dialog stayed open are kept too.

#include <string>

#include "app/model/FindLogic.h"
#include "editor/model/QzPadScan.h"
#include "platform/gui/Controls.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class TCaptionRows;
class TFlatComboBox;
class TFlatSpeedButton;
class TNvOS8PushButton;
class TTarkiForm;

// What the dialog needs of the main window. Texts are code page 949 bytes.
class IFindHost {
public:
    virtual ~IFindHost() = default;
    // The caption list's rows; row 0 is the banner row.
    virtual const TCaptionRows& CaptionRows() = 0;
    // The selected row; -1 when none.
    virtual int SelectedRow() = 0;
    // Makes the row the list's selection (refilling the entry editor) and scrolls it into view.
    virtual void SelectRowVisible(int row) = 0;
    // True while the advanced-mode button is down.
    virtual bool AdvancedMode() = 0;
    // The advanced-mode editor's own find (it selects the match and remembers the search); true
    // when found.
    virtual bool FindInAdvancedPad(const std::string& text, TQzFindOptions options) = 0;
    // A notice under the application's title with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // The special characters dialog, modal, inserting into the combo box's selection.
    virtual void ShowSpecialChars(TFlatComboBox* target) = 0;
};

class TFindForm : public TForm {
public:
    // `mainWindow` owns the dialog (Qt parent); `historyFile` is normally AppDir + "FindWord.his".
    // The history is read from it when it exists.
    TFindForm(QWidget* mainWindow, IFindHost& host, std::string historyFile);
    ~TFindForm() override;

    // Shows the dialog (or brings it forward) with the focus on the word box, its text selected.
    void ShowFind();

    // Searches from the start (the entire-text search in the advanced mode).
    void FindButtonClick();
    // Searches on from the current place (Enter in the word box, the main window's F3).
    void NextFindButtonClick();
    // Hides the dialog; the history is written.
    void NoButtonClick();
    // Writes the history file; false when it could not be written (the old file is kept).
    bool SaveHistory();

    const TFindHistory& History() const { return history_; }
    const std::string& HistoryFileName() const { return historyFile_; }
    // The word in the word box.
    std::string WordText() const;
    // True while completion from the history is armed (the word box's Tag).
    bool CompletionArmed() const;

    TFlatComboBox* EditWord = nullptr;
    QLabel* LabelFindText = nullptr;
    QCheckBox* chkMatchCase = nullptr;
    QCheckBox* chkWholeWord = nullptr;
    QGroupBox* grpFindDirect = nullptr;
    QRadioButton* chkFindUp = nullptr;
    QRadioButton* chkFindDown = nullptr;
    TNvOS8PushButton* FindButton = nullptr;
    TNvOS8PushButton* NextFindButton = nullptr;
    TNvOS8PushButton* NoButton = nullptr;
    TTarkiForm* PanelCaption = nullptr;
    TFlatSpeedButton* MinButton = nullptr;  // "_", hidden
    TFlatSpeedButton* CloseButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    class TDragToMove;

    void BuildControls();
    void FocusWord();
    void LoadHistory();
    void ShowHistoryItems();
    void Search(bool fromStart);
    bool SearchList(const std::string& word, bool fromStart);
    bool SearchPad(const std::string& word);
    void Complete();
    void EditWordChange();
    void EditWordKeyDown(Word& key, TShiftState shift);
    void EditWordKeyPress(char& key);

    IFindHost& host_;
    std::string historyFile_;
    TFindHistory history_;
    // Set by the search from the start, cleared by the next search of the editor.
    bool entireText_ = false;
    TDragToMove* dragToMove_ = nullptr;
    TTarkiForm* frame_ = nullptr;
    TTarkiForm* body_ = nullptr;
};
