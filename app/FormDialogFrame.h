#pragma once
// What the caption editor's small modal dialogs share: the borderless frame (an outer frame
// panel, an 18-pixel title bar with its caption and "X" button, an inner body panel), placement
// over the main window, the dialog font and a radio group with an item index.

#include <QGroupBox>
#include <QString>
#include <string>
#include <vector>

#include "platform/gui/Controls.h"

class QFont;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class TFlatSpeedButton;
class TNvOS8PushButton;
class TQzPad;
class TQzPadShortCut;
class TTarkiForm;

// The frame of a dialog. TitleBar, Icon, Title, MinButton and CloseButton are null for a dialog
// without a title bar. MinButton ("_") stays hidden: a dialog is not minimised on its own.
struct TDialogFrame {
    TTarkiForm* Frame = nullptr;
    TTarkiForm* TitleBar = nullptr;
    QLabel* Icon = nullptr;
    QLabel* Title = nullptr;
    TFlatSpeedButton* MinButton = nullptr;
    TFlatSpeedButton* CloseButton = nullptr;
    TTarkiForm* Body = nullptr;
};

// Builds the frame on `form`; `title` is code page 949. The "X" button sets the modal result
// Cancel. `bodyBorder` is the inner panel's border width (2 to 5).
TDialogFrame BuildDialogFrame(TForm* form, const std::string& title, bool titleBar, int bodyBorder);

// Sizes the form and puts its top-left corner where CenterOnMainForm says: centred over the main
// window and kept on the screen, or centred on the screen while the main window is hidden.
void PlaceDialog(TForm* form, int width, int height);

// A Korean literal (UTF-8 in the source) as shown by Qt, through code page 949 like every text of
// the program.
QString UiText(const char* utf8);
// The dialogs' text font, 12 pixels high.
QFont DialogFont();

// A label and a one-line edit of code page 949 text.
QLabel* CreateLabel(QWidget* parent, const char* utf8, int x, int y, int w, int h);
QLineEdit* CreateEdit(QWidget* parent, int x, int y, int w, int h);
std::string EditText(const QLineEdit* edit);
void SetEditText(QLineEdit* edit, const std::string& cp949);

// The "확인" button and the "취소" button (the cancel button, closing with mrCancel), 70 x 26
// pixels each with their top-left corners at the given places on `body`. "확인" closes nothing by
// itself: the caller gives it a modal result or a click handler, and makes it the default button
// where Return anywhere in the dialog is to accept it (elsewhere Return stays with the control).
struct TOkCancelButtons {
    TNvOS8PushButton* Ok;
    TNvOS8PushButton* Cancel;
};
TOkCancelButtons CreateOkCancelButtons(QWidget* body, TForm* owner, int okX, int okY, int cancelX, int cancelY);

// The notice editor of the information and options dialogs, in a one-pixel frame at the given
// place: no border of its own, a column indicator at column 54, 5 pixels between lines, "↓" as
// its line-end mark, CR LF line ends. `shortCut` and `popup` are not owned (popup may be null).
TQzPad* CreateNoticeMemo(QWidget* parent, TQzPadShortCut* shortCut, QMenu* popup, int x, int y, int w, int h);

// A group box of radio buttons, one chosen at a time, addressed by index.
class TRadioGroup : public QGroupBox {
public:
    // Caption and items are code page 949.
    TRadioGroup(const std::string& caption, const std::vector<std::string>& items, QWidget* parent);
    int ItemCount() const { return static_cast<int>(buttons_.size()); }
    // The chosen item; -1 when none.
    int ItemIndex() const;
    // Chooses an item; an index outside the items chooses none.
    void SetItemIndex(int index);
    QRadioButton* Button(int index) const { return buttons_[static_cast<size_t>(index)]; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void LayoutButtons();
    std::vector<QRadioButton*> buttons_;
};
