#pragma once
// What the caption information and options dialogs share: the maker's name, mail and home page
// edits, the notice editor with its own shortcut table, the OK and "취소" buttons, and OK writing
// the fields into one TCaptionInfo. While the dialog is up ActivePad is its notice editor.

#include <string>

#include "app/FormDialogFrame.h"
#include "app/model/CaptionInfo.h"
#include "editor/model/QzPadShortCut.h"

class QLineEdit;
class QMenu;
class TNvOS8PushButton;
class TQzPad;

class TMakerInfoForm : public TForm {
public:
    ~TMakerInfoForm() override;

    // Shows the dialog modally; while it is up ActivePad is the notice editor, afterwards what it
    // was before. Returns mrOk or mrCancel.
    int ShowModal();

    // Writes the fields into the edited information and closes with mrOk.
    void OkButtonClick();

    QLineEdit* EditName = nullptr;
    QLineEdit* EditMail = nullptr;
    QLineEdit* EditHome = nullptr;
    TQzPad* MemoNotice = nullptr;
    TNvOS8PushButton* OkButton = nullptr;
    TNvOS8PushButton* NoButton = nullptr;
    TDialogFrame Frame;

protected:
    // Builds the titled frame; `title` is code page 949. `target` is written on OK.
    TMakerInfoForm(QWidget* mainWindow, TCaptionInfo& target, const std::string& title);

    // The name, mail and home page rows: labels at x 12, edits at x 72, rows `rowStep` pixels
    // apart from `labelTop` (each edit stands 3 pixels higher than its label).
    void CreateMakerFields(QWidget* parent, int labelTop, int rowStep, int nameWidth, int homeWidth);
    void CreateNotice(QWidget* parent, QMenu* padPopup, int x, int y, int w, int h);
    // OK and "취소" at the right of the body, `formWidth` being the dialog's width.
    void CreateOkCancel(int formWidth, int top);
    // Tab order, size and place, the first fill and the refill on every show (which also focuses
    // the name). Call last in the derived constructor.
    void FinishSetup(int width, int height);

    void ShowFields(const TCaptionInfo& source);
    // Fills the fields when the dialog is built and whenever it is shown.
    virtual void ShowInfo() { ShowFields(target_); }

    TQzPadShortCut QzPadShortCut;

private:
    TCaptionInfo& target_;
};
