#pragma once
// The about box: the program's title, the maker's web and mail links, a short notice on using
// and passing on the program, three buttons that open the help texts of the "help" folder and a
// close button, under a title bar with its "X" button; dragging the title bar, the title or the
// body moves it.
//
//   TAboutForm dlg(mainWindow);   // help texts under AppDir
//   dlg.ShowModal();

#include <string>

#include "app/FormDialogFrame.h"

class QLabel;
class QPlainTextEdit;
class TNvOS8PushButton;
class TTransparentButton;

// The maker's mail address the about box shows.
extern const char* const kMakerMail;

// Opens a file or an address through the desktop; one that cannot be opened is reported with
// the path (native) in the message "열 수 없습니다.".
void OpenOrReport(const std::string& target);

class TAboutForm : public TForm {
public:
    // `appDir`: the folder holding "help/", with its trailing '/'; empty: AppDir.
    explicit TAboutForm(QWidget* mainWindow, const std::string& appDir = std::string());

    // The three help buttons' handler: opens appDir + "help/" + the button's Hint + ".txt"
    // through the desktop; a sender that is not a help button does nothing.
    void HelpButtonClick(TObject* sender);
    void UrlLabelClick();
    void EmailLabelClick();

    QLabel* ProgramTitle = nullptr;
    QLabel* UrlLabel = nullptr;
    QLabel* EmailLabel = nullptr;
    QPlainTextEdit* Memo = nullptr;
    TTransparentButton* UpdateButton = nullptr;
    TTransparentButton* AboutButton = nullptr;
    TTransparentButton* ManualButton = nullptr;
    TNvOS8PushButton* CloseButton = nullptr;
    TDialogFrame Frame;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    std::string appDir_;
};
