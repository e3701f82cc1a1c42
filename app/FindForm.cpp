#include "app/FindForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <algorithm>

#include "app/FormDialogFrame.h"
#include "app/WindowLook.h"
#include "app/model/CaptionRows.h"
#include "controls/NvOS8PushButton.h"
#include "controls/TFlatComboBoxUnit.h"
#include "controls/TFlatSpeedButtonUnit.h"
#include "controls/TarkiForm.h"
#include "document/QzText.h"
#include "platform/core/Cp949.h"
#include "platform/core/FileUtils.h"
#include "platform/gui/QtText.h"

namespace {

constexpr int FormWidth = 364;
constexpr int FormHeight = 122;

QString Ui(const char* utf8) { return Cp949ToQString(Cp949(utf8)); }

// The dialog's text font, and the word box's fixed-pitch Hangul font, 12 pixels high.
QFont DialogFont(bool fixedPitch)
{
    TFont f;
    f.SetName(Cp949(fixedPitch ? "굴림체" : "굴림"));
    f.SetHeight(-12);
    f.SetPitch(fixedPitch ? fpFixed : fpDefault);
    return f.ToQFont();
}

}  // namespace

// Labels, check boxes and the direction group drag the dialog as its title bar does. A press that
// moves less than the platform's drag distance stays a click, so the check boxes and radio
// buttons keep working with the mouse.
class TFindForm::TDragToMove : public QObject {
public:
    explicit TDragToMove(QWidget* window) : QObject(window), window_(window) {}

    void Watch(QWidget* w) { w->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::MouseButtonPress: {
            auto* m = static_cast<QMouseEvent*>(e);
            if (m->button() == Qt::LeftButton) {
                pressed_ = true;
                dragging_ = false;
                pressGlobal_ = m->globalPosition().toPoint();
                startPos_ = window_->pos();
            }
            return false;
        }
        case QEvent::MouseMove: {
            auto* m = static_cast<QMouseEvent*>(e);
            if (!pressed_ || !(m->buttons() & Qt::LeftButton))
                return false;
            const QPoint delta = m->globalPosition().toPoint() - pressGlobal_;
            if (!dragging_ && delta.manhattanLength() < QApplication::startDragDistance())
                return false;
            if (!dragging_) {
                dragging_ = true;
                // The pressed button lets go without clicking.
                if (auto* button = qobject_cast<QAbstractButton*>(watched))
                    button->setDown(false);
            }
            window_->move(startPos_ + delta);
            return true;
        }
        case QEvent::MouseButtonRelease: {
            const bool wasDragging = dragging_;
            pressed_ = false;
            dragging_ = false;
            return wasDragging;
        }
        default:
            return false;
        }
    }

private:
    QWidget* window_;
    bool pressed_ = false;
    bool dragging_ = false;
    QPoint pressGlobal_;
    QPoint startPos_;
};

TFindForm::TFindForm(QWidget* mainWindow, IFindHost& host, std::string historyFile)
    : TForm(mainWindow), host_(host), historyFile_(std::move(historyFile))
{
    SetBorderStyle(bsFormNone);
    SetFormStyle(fsStayOnTop);
    SetCaption("Find");
    BuildControls();
    // Centred over the main window once, when the dialog is made; later showings keep the place
    // the user dragged it to.
    TQzPoint at;
    CenterOnMainForm(at, FormWidth, FormHeight);
    SetBounds(at.X, at.Y, FormWidth, FormHeight);
    LoadHistory();
    // Words searched while the dialog stays open until the program ends are kept as well.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                     [this]() { SaveHistory(); });
    OnShow = [this](TObject*) { FocusWord(); };
    OnClose = [this](TObject*, TCloseAction& action) {
        action = caHide;
        if (!SaveHistory())
            host_.ShowMessage(Cp949("검색 기록을 저장할 수 없습니다.\n") + Cp949FromUtf8(historyFile_));
    };
}

TFindForm::~TFindForm() = default;

void TFindForm::BuildControls()
{
    dragToMove_ = new TDragToMove(this);
    const QFont font = DialogFont(false);

    // The frame, title bar and body every dialog has. The dialog is not modal: its "X" hides it
    // as "닫기" does, with no modal result.
    const TDialogFrame d = BuildDialogFrame(this, "Find", true, 3);
    frame_ = d.Frame;
    PanelCaption = d.TitleBar;
    MinButton = d.MinButton;
    CloseButton = d.CloseButton;
    body_ = d.Body;
    CloseButton->SetModalResult(mrNone);
    CloseButton->OnClick = [this](TObject*) { NoButtonClick(); };

    LabelFindText = new QLabel(Ui("검색 단어"), body_);
    LabelFindText->setFont(font);
    LabelFindText->setGeometry(10, 12, 60, 16);

    EditWord = new TFlatComboBox(body_, this);
    EditWord->SetStyle(csDropDown);
    EditWord->SetColor(clWhite);
    EditWord->SetColorArrowBackground(clSilver);
    EditWord->SetColorBorder(clBlack);
    EditWord->Font()->SetName(Cp949("굴림체"));
    EditWord->Font()->SetPitch(fpFixed);
    EditWord->Font()->SetHeight(-12);
    EditWord->SetItemHeight(12);
    EditWord->SetBounds(72, 9, 201, 20);
    EditWord->OnChange = [this](TObject*) { EditWordChange(); };
    // A word picked from the history is taken as it is, not completed further.
    EditWord->OnClick = [this](TObject*) { EditWord->Tag = 0; };
    EditWord->OnKeyDown = [this](TObject*, Word& key, TShiftState shift) { EditWordKeyDown(key, shift); };
    EditWord->OnKeyPress = [this](TObject*, char& key) { EditWordKeyPress(key); };
    EditWord->installEventFilter(this);

    chkMatchCase = new QCheckBox(Ui("대소문자 구분(&C)"), body_);
    chkMatchCase->setFont(font);
    chkMatchCase->setGeometry(10, 40, 134, 18);
    chkWholeWord = new QCheckBox(Ui("온전한 단어(&W)"), body_);
    chkWholeWord->setFont(font);
    chkWholeWord->setGeometry(10, 62, 134, 18);

    grpFindDirect = new QGroupBox(Ui("방향"), body_);
    grpFindDirect->setFont(font);
    grpFindDirect->setGeometry(150, 34, 123, 46);
    chkFindUp = new QRadioButton(Ui("위(&U)"), grpFindDirect);
    chkFindUp->setFont(font);
    chkFindUp->setGeometry(8, 20, 54, 18);
    chkFindDown = new QRadioButton(Ui("아래(&D)"), grpFindDirect);
    chkFindDown->setFont(font);
    chkFindDown->setGeometry(62, 20, 58, 18);
    chkFindDown->setChecked(true);

    FindButton = new TNvOS8PushButton(body_, this);
    FindButton->SetCaption(Cp949("찾기(&F)"));
    SetShadedButtonLook(FindButton);
    FindButton->SetBounds(282, 6, 66, 27);
    FindButton->OnClick = [this](TObject*) { FindButtonClick(); };
    NextFindButton = new TNvOS8PushButton(body_, this);
    NextFindButton->SetCaption(Cp949("다음(&N)"));
    SetShadedButtonLook(NextFindButton);
    NextFindButton->SetBounds(282, 34, 66, 27);
    NextFindButton->OnClick = [this](TObject*) { NextFindButtonClick(); };
    NoButton = new TNvOS8PushButton(body_, this);
    NoButton->SetCaption(Cp949("닫기"));
    SetShadedButtonLook(NoButton);
    NoButton->SetBounds(282, 62, 66, 27);
    NoButton->SetCancel(true);
    NoButton->OnClick = [this](TObject*) { NoButtonClick(); };

    for (QWidget* w : {static_cast<QWidget*>(LabelFindText), static_cast<QWidget*>(chkMatchCase),
                       static_cast<QWidget*>(chkWholeWord), static_cast<QWidget*>(grpFindDirect),
                       static_cast<QWidget*>(chkFindUp), static_cast<QWidget*>(chkFindDown)})
        dragToMove_->Watch(w);

    setTabOrder(EditWord, chkMatchCase);
    setTabOrder(chkMatchCase, chkWholeWord);
    setTabOrder(chkWholeWord, chkFindUp);
    setTabOrder(chkFindUp, FindButton);
    setTabOrder(FindButton, NextFindButton);
    setTabOrder(NextFindButton, NoButton);
}

void TFindForm::LoadHistory()
{
    if (FileExists(historyFile_))
        history_.LoadFromFile(historyFile_);
    ShowHistoryItems();
}

// The word box's items mirror the history; its text is left alone.
void TFindForm::ShowHistoryItems()
{
    const std::string text = EditWord->Text();
    EditWord->ClearItems();
    for (const std::string& item : history_.Items().Strings)
        EditWord->AddItem(item);
    EditWord->SetText(text);
}

void TFindForm::ShowFind()
{
    SetVisible(true);
    activateWindow();
    FocusWord();
}

// The last word is selected whole, so that typing replaces it and Return searches it again.
void TFindForm::FocusWord()
{
    EditWord->setFocus();
    EditWord->SelectAll();
}

std::string TFindForm::WordText() const { return EditWord->Text(); }

bool TFindForm::CompletionArmed() const { return EditWord->Tag != 0; }

bool TFindForm::SaveHistory() { return history_.SaveToFile(historyFile_); }

void TFindForm::NoButtonClick() { Close(); }

void TFindForm::FindButtonClick()
{
    entireText_ = true;
    Search(true);
}

void TFindForm::NextFindButtonClick() { Search(false); }

void TFindForm::Search(bool fromStart)
{
    const std::string word = WordText();
    if (history_.Record(word)) {
        const bool armed = CompletionArmed();
        EditWord->Tag = 0;
        ShowHistoryItems();
        EditWord->SetItemIndex(0);
        EditWord->Tag = armed ? 1 : 0;
    }
    const bool found = host_.AdvancedMode() ? SearchPad(word) : SearchList(word, fromStart);
    if (!found)
        host_.ShowMessage(Cp949("검색된 단어가 없습니다."));
}

bool TFindForm::SearchList(const std::string& word, bool fromStart)
{
    int start = 0;
    if (!fromStart)
        start = std::max(host_.SelectedRow(), 0);
    const int row = FindCaptionRow(host_.CaptionRows(), word, start, chkFindUp->isChecked(),
                                   chkMatchCase->isChecked());
    if (row < 0)
        return false;
    host_.SelectRowVisible(row);
    return true;
}

bool TFindForm::SearchPad(const std::string& word)
{
    TQzFindOptions options;
    if (chkMatchCase->isChecked())
        options.Include(qzfoMatchCase);
    if (chkWholeWord->isChecked())
        options.Include(qzfoWholeWord);
    if (chkFindUp->isChecked())
        options.Include(qzfoBackward);
    if (entireText_)
        options.Include(qzfoEntire);
    entireText_ = false;
    return host_.FindInAdvancedPad(word, options);
}

// Completes the word from the first history item that begins with it, when the caret stands at
// the end of the word; the added characters are selected so that typing on replaces them.
void TFindForm::Complete()
{
    if (EditWord->Composing())
        return;
    const std::string typed = EditWord->Text();
    if (EditWord->SelLength() != 0 || EditWord->SelStart() != static_cast<int>(typed.size()))
        return;
    const std::string rest = history_.Completion(typed);
    if (rest.empty())
        return;
    QLineEdit* edit = EditWord->lineEdit();
    if (!edit)
        return;
    const int armed = EditWord->Tag;
    EditWord->Tag = 0;
    // Inserted as an edit, so that undo in the word box takes the completion back.
    edit->insert(Cp949ToQString(rest));
    EditWord->SetSelStart(static_cast<int>(typed.size()));
    EditWord->SetSelLength(static_cast<int>(rest.size()));
    EditWord->Tag = armed;
}

// Input from the input method never reaches the key handlers: while it composes, completion is
// disarmed; a commit that ends the composition arms it as a typed character would.
bool TFindForm::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == EditWord && e->type() == QEvent::InputMethod) {
        const auto* im = static_cast<QInputMethodEvent*>(e);
        EditWord->Tag = im->preeditString().isEmpty() && !im->commitString().isEmpty() ? 1 : 0;
    }
    return TForm::eventFilter(watched, e);
}

void TFindForm::EditWordChange()
{
    if (CompletionArmed())
        Complete();
}

void TFindForm::EditWordKeyDown(Word& key, TShiftState shift)
{
    EditWord->Tag = key >= 31 && key <= 127 ? 1 : 0;
    const bool selected = EditWord->SelLength() > 0;
    if (key == VK_RIGHT && !selected && shift.Empty() &&
        EditWord->SelStart() == static_cast<int>(EditWord->Text().size())) {
        key = 0;
        Complete();
    } else if ((key == VK_BACK || key == VK_DELETE) && selected) {
        key = 0;
        EditWord->Tag = 0;
        if (QLineEdit* edit = EditWord->lineEdit())
            edit->del();
    } else if (key == VK_F4) {
        key = 0;
        host_.ShowSpecialChars(EditWord);
    }
}

void TFindForm::EditWordKeyPress(char& key)
{
    if (key == '\r') {
        key = 0;
        NextFindButtonClick();
    }
}
