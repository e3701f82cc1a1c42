#include "app/CaptionList.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSize>

#include "app/model/CaptionRows.h"
#include "platform/gui/QtText.h"

TCaptionListModel::TCaptionListModel(const TCaptionRows& rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows) {}

int TCaptionListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_.Count(); }

int TCaptionListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant TCaptionListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.Count()) return QVariant();
    // Room above and below the 12-pixel text, the same for every row.
    if (role == Qt::SizeHintRole) return QSize(0, 16);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return QVariant();
    const TCaptionRowView row = rows_[index.row()];
    if (index.column() == 0) return role == Qt::DisplayRole ? Cp949ToQString(row.Key.Str()) : QVariant();
    return Cp949ToQString(row.Text);
}

QVariant TCaptionListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    return section == 0 ? QStringLiteral("Sync") : QStringLiteral("Caption");
}

void TCaptionListModel::Reset() {
    beginResetModel();
    endResetModel();
}

TCaptionListView::TCaptionListView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setSortingEnabled(false);
    setAlternatingRowColors(false);
    setTextElideMode(Qt::ElideRight);
    // The list takes no text from the input method (see inputMethodEvent).
    setAttribute(Qt::WA_InputMethodEnabled, false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(true);
    // Keep the selection's colour when the list does not have the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
}

void TCaptionListView::SelectRow(int row) {
    if (!model() || !selectionModel()) return;
    quiet_ = true;
    if (row < 0 || row >= model()->rowCount()) {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        selectionModel()->setCurrentIndex(model()->index(row, 0),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    quiet_ = false;
}

int TCaptionListView::SelectedRow() const {
    if (!selectionModel()) return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TCaptionListView::ScrollRowTo(int row, int offset) {
    if (!model() || row < 0 || row >= model()->rowCount()) return;
    QRect r = visualRect(model()->index(row, 0));
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + r.top() - offset);
}

void TCaptionListView::mousePressEvent(QMouseEvent* e) {
    if (OnMouseDown) {
        QModelIndex at = indexAt(e->position().toPoint());
        OnMouseDown(at.isValid() ? at.row() : -1);
    }
    quiet_ = true;
    QTreeView::mousePressEvent(e);
    quiet_ = false;
}

void TCaptionListView::mouseDoubleClickEvent(QMouseEvent* e) {
    QModelIndex at = indexAt(e->position().toPoint());
    if (OnDblClick) OnDblClick(at.isValid() ? at.row() : -1);
}

void TCaptionListView::contextMenuEvent(QContextMenuEvent* e) {
    if (OnContextMenu) OnContextMenu(e->globalPos());
}

void TCaptionListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (!quiet_ && OnSelect && current.isValid()) OnSelect(current.row());
}

// A syllable that the input method commits late, after a click moved the focus here from the
// editor, must not reach the type-ahead search: it would select another caption than the one
// clicked.
void TCaptionListView::inputMethodEvent(QInputMethodEvent* e) { e->ignore(); }

void TCaptionListView::resizeEvent(QResizeEvent* e) {
    QTreeView::resizeEvent(e);
    header()->resizeSection(0, 72);
}
