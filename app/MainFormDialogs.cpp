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
#include "controls/TFlatComboBoxUnit.h"
#include "controls/TransBtn.h"
#include "platform/gui/Services.h"

namespace {

// Shows a dialog made on DialogParent modally (through its own ShowModal), in front of that
// window. The desktop keeps a window that stays on top (the find dialog; either window while the
// preview settings keep it on top) above every other, a dialog of its own included: over such a
// window the dialog stays on top too.
template <class TDialog>
int ShowInFront(TDialog& dlg) {
    const QWidget* parent = dlg.parentWidget();
    if (parent && parent->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) dlg.SetFormStyle(fsStayOnTop);
    return dlg.ShowModal();
}

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
        // F4 in the find dialog's word box: in front of the find dialog.
        TSpecForm dlg(target ? target->window() : MessageParent());
        dlg.SetTarget(target);
        ShowInFront(dlg);
    }

private:
    TMainForm& form_;
    TPadLink& pads_;
};

}  // namespace

void TMainForm::mnuOptionClick() {
    TOptionForm dlg(DialogParent(), controller_->UserInfo, PopupMenuMemo);
    ShowInFront(dlg);
}

void TMainForm::mnuCapInfoClick() {
    TCapInfoForm dlg(DialogParent(), controller_->CurrentCaption, controller_->UserInfo, controller_->Rows().Count(),
                     PopupMenuMemo);
    ShowInFront(dlg);
}

void TMainForm::mnuAboutClick() {
    TAboutForm dlg(DialogParent(), appDir_);
    ShowInFront(dlg);
}

void TMainForm::mnuMemoSpecClick() {
    if (!::ActivePad) return;
    TSpecForm dlg(DialogParent());
    dlg.SetTarget(::ActivePad);
    ShowInFront(dlg);
}

void TMainForm::mnuMemoJpMenuClick() {
    TQzPad* pad = ::ActivePad;
    if (!pad) return;
    std::string selection = TPadLink::SelText(pad);
    if (selection.empty()) return;
    TJpMenuForm dlg(DialogParent(), JpConvertMode);
    if (ShowInFront(dlg) != mrOk) return;
    JpConvertMode = dlg.Mode();
    TPadLink::SetSelText(pad, JpConvertText(selection, JpConvertMode));
}

int TMainForm::AskInsertMode() {
    if (InsertModeChooser) return InsertModeChooser();
    TCapInsForm dlg(DialogParent());
    return ShowInFront(dlg) == mrOk ? dlg.InsertType() : -1;
}

QWidget* TMainForm::DialogParent() {
    if (commandWindow_ && commandWindow_->isVisible()) return commandWindow_;
    QWidget* active = MessageParent();
    return active ? active : this;
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
