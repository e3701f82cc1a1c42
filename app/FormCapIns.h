#pragma once
// The caption insert dialog ("자막 삽입"): asks where the captions read from another file go.
// After mrOk the caller reads InsertType(): 0 at the selected caption's place, 1 before all
// captions, 2 after all captions. "취소" and "X" give mrCancel.
//
//   TCapInsForm dlg(mainWindow);
//   const int mode = dlg.ShowModal() == mrOk ? dlg.InsertType() : -1;

#include "app/FormDialogFrame.h"

class TNvOS8PushButton;

class TCapInsForm : public TForm {
public:
    explicit TCapInsForm(QWidget* mainWindow);

    int InsertType() const { return RadioInsertType->ItemIndex(); }

    TRadioGroup* RadioInsertType = nullptr;
    TNvOS8PushButton* OkButton = nullptr;
    TNvOS8PushButton* NoButton = nullptr;
    TDialogFrame Frame;
};
