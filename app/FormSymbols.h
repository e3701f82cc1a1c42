#pragma once
// The special characters dialog ("특수/그림 문자"): seven tabs of two-byte characters in a grid
// of 15 columns. Double click, Enter or Space puts the current cell's character in place of the
// target's selection and closes; Esc and "X" close without inserting; "1" .. "7" choose a tab,
// PgUp / PgDn step through the tabs with wrap-around. The tab and cell in use when the dialog
// closes are offered again the next time, for the rest of the run.
//
//   TSpecForm dlg(mainWindow);
//   dlg.SetTarget(ActivePad);      // or a combo box
//   dlg.ShowModal();

#include "app/FormDialogFrame.h"
#include "app/model/SymbolTables.h"

class QTableWidget;
class TFlatComboBox;
class TQzPad;
class TTarkiPageControl;

class TSpecForm : public TForm {
public:
    explicit TSpecForm(QWidget* mainWindow);
    ~TSpecForm() override;

    // The target: an editor control or a combo box (setting one clears the other); neither is
    // owned and either may be null.
    void SetTarget(TQzPad* pad);
    void SetTarget(TFlatComboBox* combo);
    TQzPad* PadTarget() const { return padTarget_; }
    TFlatComboBox* ComboTarget() const { return comboTarget_; }

    // The text of the current cell replaces the target's selection (an empty cell inserts
    // nothing); the dialog closes with mrOk.
    void ChooseCell();
    // The tab index (0..6) and the current cell.
    int TabIndex() const;
    int CurrentRow() const;
    int CurrentCol() const;
    void SelectCell(int row, int col);

    // The place remembered for the run (tab 0, cell 0 at start).
    static TSpecPlace& LastPlace();

    TTarkiPageControl* Tab = nullptr;
    QTableWidget* StringGrid = nullptr;
    TDialogFrame Frame;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void FillGrid();
    void TabChange();
    void SelectTab(int index);

    TQzPad* padTarget_ = nullptr;
    TFlatComboBox* comboTarget_ = nullptr;
};
