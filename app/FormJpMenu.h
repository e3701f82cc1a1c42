#pragma once
// The Japanese kana conversion dialog ("일어 변환"): the user picks the direction of the
// conversion. The caller converts the selected text with JpConvertText in the chosen mode when
// the result is mrOk.
//
//   TJpMenuForm dlg(mainWindow, JpConvertMode);
//   if (dlg.ShowModal() == mrOk) { JpConvertMode = dlg.Mode(); ... }

#include "app/FormDialogFrame.h"

class TNvOS8PushButton;

class TJpMenuForm : public TForm {
public:
    // `mode` (0..4) is chosen at start; any other value chooses mode 1.
    TJpMenuForm(QWidget* mainWindow, int mode = 1);

    // The chosen mode: the radio group's item index.
    int Mode() const { return RadioJpMenuOption->ItemIndex(); }

    TRadioGroup* RadioJpMenuOption = nullptr;
    TNvOS8PushButton* OkButton = nullptr;
    TNvOS8PushButton* NoButton = nullptr;
    TDialogFrame Frame;
};
