#pragma once
// The caption list: a two-column report view ("Sync", "Caption") over the controller's rows. The
// rows keep the code page 949 bytes; the model converts them only for display, so every cell
// shows exactly the bytes that will be saved. Row 0 is the banner row.

#include <QAbstractTableModel>
#include <QTreeView>

#include <functional>

class TCaptionRows;

class TCaptionListModel : public QAbstractTableModel {
public:
    explicit TCaptionListModel(const TCaptionRows& rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The rows changed in any way: the view reads them again.
    void Reset();

private:
    const TCaptionRows& rows_;
};

// The view: whole-row single selection, read-only, selection kept visible without the focus, the
// sync column fixed at 72 pixels and the caption column taking the rest.
class TCaptionListView : public QTreeView {
public:
    explicit TCaptionListView(QWidget* parent = nullptr);

    // A mouse press (either button) on the list, before the view moves its selection; row -1
    // beside the rows.
    std::function<void(int row)> OnMouseDown;
    std::function<void(int row)> OnDblClick;
    // The current row changed by the keyboard (not by a press, not by SelectRow).
    std::function<void(int row)> OnSelect;
    // The context menu was asked for at a global position.
    std::function<void(const QPoint& globalPos)> OnContextMenu;

    // Makes the row the current and only selected one without firing OnSelect; -1 clears.
    void SelectRow(int row);
    int SelectedRow() const;
    // Scrolls so that the row stands `offset` pixels below the top of the viewport.
    void ScrollRowTo(int row, int offset);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void resizeEvent(QResizeEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;

private:
    bool quiet_ = false;
};
