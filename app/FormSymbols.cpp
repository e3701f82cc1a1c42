#include "app/FormSymbols.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableWidget>
#include <algorithm>

#include "controls/TFlatComboBoxUnit.h"
#include "controls/TarkiForm.h"
#include "controls/TarkiPageControl.h"
#include "editor/widget/QzPad.h"
#include "platform/core/Cp949.h"
#include "platform/gui/QtText.h"

namespace {

constexpr int FormWidth = 400;
constexpr int FormHeight = 300;
constexpr int ColWidth = 19;
constexpr int RowHeight = 18;

}  // namespace

TSpecPlace& TSpecForm::LastPlace()
{
    static TSpecPlace place;
    return place;
}

TSpecForm::TSpecForm(QWidget* mainWindow) : TForm(mainWindow)
{
    Frame = BuildDialogFrame(this, "Special Character", true, 2);
    SetCaption(Cp949("특수/그림 문자"));

    Tab = new TTarkiPageControl(Frame.Body, this);
    Tab->Font()->SetName(Cp949("굴림"));
    Tab->Font()->SetHeight(-12);
    Tab->SetAlign(alClient);
    for (int i = 0; i < kSpecTabCount; ++i) {
        TTabSheet* sheet = Tab->AddPage(SpecTabCaption(i));
        sheet->OnResize = [this, sheet](TObject*) {
            if (StringGrid && StringGrid->parentWidget() == sheet)
                StringGrid->setGeometry(0, 0, sheet->Width(), sheet->Height());
        };
    }

    StringGrid = new QTableWidget(0, kSpecColCount, this);
    StringGrid->hide();
    StringGrid->horizontalHeader()->hide();
    StringGrid->verticalHeader()->hide();
    StringGrid->horizontalHeader()->setMinimumSectionSize(1);
    StringGrid->verticalHeader()->setMinimumSectionSize(1);
    StringGrid->horizontalHeader()->setDefaultSectionSize(ColWidth);
    StringGrid->verticalHeader()->setDefaultSectionSize(RowHeight);
    StringGrid->setShowGrid(true);
    StringGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    StringGrid->setTabKeyNavigation(false);
    StringGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    StringGrid->verticalScrollBar()->setTracking(true);
    TFont font;
    font.SetName("Fixedsys");
    font.SetHeight(-16);
    font.SetPitch(fpFixed);
    StringGrid->setFont(font.ToQFont());
    StringGrid->installEventFilter(this);
    QObject::connect(StringGrid, &QTableWidget::cellDoubleClicked, this, [this](int, int) { ChooseCell(); });

    PlaceDialog(this, FormWidth, FormHeight);

    const TSpecPlace place = LastPlace();
    Tab->SetActivePageIndex(place.Tab);
    FillGrid();
    SelectCell(place.Row(), place.Col());
    Tab->OnChange = [this](TObject*) { TabChange(); };

    OnClose = [this](TObject*, TCloseAction&) {
        LastPlace() = TSpecPlace{TabIndex(), CurrentRow() * kSpecColCount + CurrentCol()};
    };
    OnShow = [this](TObject*) { StringGrid->setFocus(); };
}

TSpecForm::~TSpecForm() = default;

void TSpecForm::SetTarget(TQzPad* pad)
{
    padTarget_ = pad;
    comboTarget_ = nullptr;
}

void TSpecForm::SetTarget(TFlatComboBox* combo)
{
    comboTarget_ = combo;
    padTarget_ = nullptr;
}

int TSpecForm::TabIndex() const { return std::max(0, Tab->ActivePageIndex()); }

int TSpecForm::CurrentRow() const { return std::max(0, StringGrid->currentRow()); }

int TSpecForm::CurrentCol() const { return std::max(0, StringGrid->currentColumn()); }

void TSpecForm::SelectCell(int row, int col)
{
    row = std::clamp(row, 0, StringGrid->rowCount() - 1);
    col = std::clamp(col, 0, kSpecColCount - 1);
    StringGrid->setCurrentCell(row, col);
}

// The grid is filled while hidden and then placed over the active sheet.
void TSpecForm::FillGrid()
{
    const int tab = TabIndex();
    StringGrid->hide();
    const int rows = SpecRowCount(tab);
    StringGrid->clearContents();
    StringGrid->setRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kSpecColCount; ++c) {
            auto* item = new QTableWidgetItem(Cp949ToQString(SpecCellText(tab, r, c)));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setTextAlignment(Qt::AlignCenter);
            StringGrid->setItem(r, c, item);
        }
    if (TTabSheet* sheet = Tab->ActivePage()) {
        StringGrid->setParent(sheet);
        StringGrid->setGeometry(0, 0, sheet->Width(), sheet->Height());
    }
    StringGrid->show();
}

void TSpecForm::TabChange()
{
    const int row = CurrentRow();
    const int col = CurrentCol();
    FillGrid();
    SelectCell(row, col);
    StringGrid->setFocus();
}

void TSpecForm::SelectTab(int index) { Tab->SetActivePageIndex(index); }

void TSpecForm::ChooseCell()
{
    const std::string text = SpecCellText(TabIndex(), CurrentRow(), CurrentCol());
    if (!text.empty()) {
        if (padTarget_) {
            padTarget_->SetSelText(text);
        } else if (comboTarget_) {
            const std::string old = comboTarget_->Text();
            const size_t start = std::min(old.size(), static_cast<size_t>(std::max(0, comboTarget_->SelStart())));
            const size_t length = std::min(old.size() - start, static_cast<size_t>(std::max(0, comboTarget_->SelLength())));
            comboTarget_->SetText(old.substr(0, start) + text + old.substr(start + length));
            comboTarget_->SetSelStart(static_cast<int>(start + text.size()));
            comboTarget_->SetSelLength(0);
        }
    }
    SetModalResult(mrOk);
}

bool TSpecForm::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != StringGrid || e->type() != QEvent::KeyPress)
        return TForm::eventFilter(watched, e);
    auto* k = static_cast<QKeyEvent*>(e);
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        ChooseCell();
        return true;
    case Qt::Key_Escape:
        SetModalResult(mrCancel);
        return true;
    case Qt::Key_PageUp:
        SelectTab(SpecStepTab(TabIndex(), -1));
        return true;
    case Qt::Key_PageDown:
        SelectTab(SpecStepTab(TabIndex(), 1));
        return true;
    default:
        break;
    }
    const QString text = k->text();
    if (text.size() == 1 && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const int tab = SpecTabForKey(static_cast<char>(text.at(0).unicode() < 0x80 ? text.at(0).unicode() : 0));
        if (tab >= 0) {
            SelectTab(tab);
            return true;
        }
    }
    return TForm::eventFilter(watched, e);
}
