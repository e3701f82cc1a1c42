// The dialogs the main window opens: options, caption information, about, special characters,
// Japanese conversion, caption insert, and the find dialog with what it needs of the window.

#include <QAction>

#include "app/CaptionList.h"
#include "app/FindForm.h"
#include "app/FormAbout.h"
#include "app/FormCapInfo.h"
#include "app/FormCapIns.h"
#include "app/FormJpMenu.h"
#include "app/FormOption.h"
#include "app/FormSymbols.h"
#include "app/Globals.h"
#include "app/MainForm.h"
#include "app/PadLink.h"
#include "app/model/JpConvert.h"
#include "controls/TransBtn.h"

namespace {

// The find dialog's view of the main window.
class TMainFindHost : public IFindHost {
public:
    TMainFindHost(TMainForm& form, TPadLink& pads) : form_(form), pads_(pads) {}
    const TCaptionRows& CaptionRows() override { return form_.Controller().Rows(); }
    int SelectedRow() override { return form_.Controller().SelectedRow(); }
    void SelectRowVisible(int row) override {
        form_.Controller().SelectRow(row);
        form_.ScrollRowIntoView(row);
    }
    bool AdvancedMode() override { return form_.AdvanceModeButton && form_.AdvanceModeButton->Down(); }
    bool FindInAdvancedPad(const std::string& text, TQzFindOptions options) override {
        return pads_.Find(form_.CaptionMemo, text, options);
    }
    void ShowMessage(const std::string& text) override { form_.ShowMessage(text); }
    void ShowSpecialChars(TFlatComboBox* target) override {
        TSpecForm dlg(&form_);
        dlg.SetTarget(target);
        dlg.ShowModal();
    }

private:
    TMainForm& form_;
    TPadLink& pads_;
};

}  // namespace

void TMainForm::mnuOptionClick() {
    TOptionForm dlg(this, controller_->UserInfo, PopupMenuMemo);
    dlg.ShowModal();
}

void TMainForm::mnuCapInfoClick() {
    TCapInfoForm dlg(this, controller_->CurrentCaption, controller_->UserInfo, controller_->Rows().Count(),
                     PopupMenuMemo);
    dlg.ShowModal();
}

void TMainForm::mnuAboutClick() {
    TAboutForm dlg(this, appDir_);
    dlg.ShowModal();
}

void TMainForm::mnuMemoSpecClick() {
    if (!::ActivePad) return;
    TSpecForm dlg(this);
    dlg.SetTarget(::ActivePad);
    dlg.ShowModal();
}

void TMainForm::mnuMemoJpMenuClick() {
    TQzPad* pad = ::ActivePad;
    if (!pad) return;
    std::string selection = TPadLink::SelText(pad);
    if (selection.empty()) return;
    TJpMenuForm dlg(this, JpConvertMode);
    if (dlg.ShowModal() != mrOk) return;
    JpConvertMode = dlg.Mode();
    TPadLink::SetSelText(pad, JpConvertText(selection, JpConvertMode));
}

int TMainForm::AskInsertMode() {
    if (InsertModeChooser) return InsertModeChooser();
    TCapInsForm dlg(this);
    return dlg.ShowModal() == mrOk ? dlg.InsertType() : -1;
}

TFindForm* TMainForm::FindDialog() const { return findForm_; }

void TMainForm::mnuFindClick() {
    if (!findForm_) {
        findHost_ = std::make_unique<TMainFindHost>(*this, *pads_);
        findForm_ = new TFindForm(this, *findHost_, appDir_ + "FindWord.his");
        ::FindForm = findForm_;
    }
    findForm_->ShowFind();
}

void TMainForm::mnuFindNextClick() {
    if (!findForm_ || findForm_->WordText().empty()) {
        mnuFindClick();
        return;
    }
    findForm_->NextFindButtonClick();
}
