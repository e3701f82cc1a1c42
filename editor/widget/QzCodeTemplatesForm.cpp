#include "editor/widget/QzCodeTemplatesForm.h"

#include "editor/widget/QzPad.h"
#include "editor/widget/QzPadGraphics.h"
#include "platform/gui/QtText.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

constexpr int kEntryRole = Qt::UserRole + 1;

// Draws an entry: the name in bold on the left, the description on the right, both vertically
// centred, 4 pixels in from each side; selected entries in the highlight colours.
class TCodeItemDelegate : public QStyledItemDelegate {
public:
    TCodeItemDelegate(const TQzCodeTemplateList& entries, QObject* parent)
        : QStyledItemDelegate(parent), entries_(entries) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QWidget* w = option.widget;
        const QColor back = selected ? QzPadColor(clHighlight) : w->palette().color(QPalette::Base);
        const QColor text = selected ? QzPadColor(clHighlightText) : w->palette().color(QPalette::Text);
        p->save();
        p->fillRect(option.rect, back);
        p->setPen(text);
        const QRect r = option.rect.adjusted(4, 0, -4, 0);
        const int i = index.data(kEntryRole).toInt();
        if (i >= 0 && i < entries_.Count()) {
            const auto& e = entries_.Entry(i);
            QFont bold = option.font;
            bold.setBold(true);
            p->setFont(bold);
            p->drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Cp949ToQString(e.Name));
            if (e.Item) {
                p->setFont(option.font);
                p->drawText(r, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                            Cp949ToQString(e.Item->Description));
            }
        }
        if (option.state & QStyle::State_HasFocus) {
            QPen pen(text, 1, Qt::DotLine);
            p->setPen(pen);
            p->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        p->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return QSize(0, 14); }

private:
    const TQzCodeTemplateList& entries_;
};

}  // namespace

TCodeTemplatesForm::TCodeTemplatesForm(QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint), list_(new QListWidget(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    resize(450, 116);
    QFont f = font();
    f.setPixelSize(12);
    setFont(f);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    list_->setObjectName(QStringLiteral("lstCode"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(false);
    list_->setItemDelegate(new TCodeItemDelegate(entries_, list_));
    list_->installEventFilter(this);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { InsertSelected(); });
}

TCodeTemplatesForm::~TCodeTemplatesForm()
{
    list_->removeEventFilter(this);
    if (!closedSent_ && Closed) {
        closedSent_ = true;
        Closed();
    }
}

void TCodeTemplatesForm::Clear()
{
    ClearCodeTemplate(entries_);
    list_->clear();
}

void TCodeTemplatesForm::ListChanged()
{
    list_->clear();
    for (int i = 0; i < entries_.Count(); ++i) {
        auto* item = new QListWidgetItem(Cp949ToQString(entries_.Entry(i).Name), list_);
        item->setData(kEntryRole, i);
    }
    if (list_->count() > 0)
        list_->setCurrentRow(0);
}

void TCodeTemplatesForm::SetBounds(int x, int y, int width, int height)
{
    setGeometry(x, y, width, height);
}

void TCodeTemplatesForm::SetLook(const TQzFontDesc& font, TColor color)
{
    QFont f = QzPadMakeFont(font.Name, font.Size, font.FixedPitch);
    list_->setFont(f);
    QPalette pal = list_->palette();
    pal.setColor(QPalette::Base, QzPadColor(color));
    pal.setColor(QPalette::Text, QzPadColor(font.Color));
    list_->setPalette(pal);
}

void TCodeTemplatesForm::ShowPopup()
{
    show();
    list_->setFocus();
}

void TCodeTemplatesForm::InsertSelected()
{
    const QListWidgetItem* item = list_->currentItem();
    if (item) {
        const int i = item->data(kEntryRole).toInt();
        if (i >= 0 && i < entries_.Count() && entries_.Entry(i).Item && Insert) {
            const std::string code = entries_.Entry(i).Item->Code;
            Insert(this, code);
        }
    }
    close();
}

void TCodeTemplatesForm::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

bool TCodeTemplatesForm::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == list_ && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            InsertSelected();
            return true;
        }
        if (key == Qt::Key_Escape) {
            close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void TCodeTemplatesForm::closeEvent(QCloseEvent* e)
{
    QWidget::closeEvent(e);
    if (!closedSent_) {
        closedSent_ = true;
        if (Closed)
            Closed();
    }
}

void ShowCodeTemplatesPopup(TQzPad& pad, TQzCodeTemplates& templates)
{
    const TQzPadModel& m = pad.Model();
    const TRect& edit = m.EditRect();
    const int lineHeight = m.LineHeight();
    const QPoint caret = pad.viewport()->mapToGlobal(
        QPoint(edit.Left + (m.CaretX() - m.LeftCol()) * m.CharWidth(), edit.Top + (m.CaretY() - m.TopLine()) * lineHeight));
    const QScreen* screen = QGuiApplication::screenAt(caret);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect s = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 20, 1 << 20);
    const TPoint p = QzCodeTemplatesPopupPos(TPoint(caret.x(), caret.y()), lineHeight, templates.Width,
                                             templates.Height, TRect(s.left(), s.top(), s.right() + 1, s.bottom() + 1));
    templates.Show(p.X, p.Y);
}

void BindCodeTemplates(TQzPad& pad, TQzCodeTemplates& templates)
{
    QWidget* window = pad.window();
    templates.PopupFactory = [window]() -> IQzCodeTemplatesPopup* { return new TCodeTemplatesForm(window); };
    TQzPad* target = &pad;
    templates.OnInsertTemplate = [target](void*, const std::string& code) {
        target->Model().InsertCodeTemplate(code);
        target->setFocus();
    };
    pad.Model().FindCodeTemplateHandler = [&templates](TQzPadModel&, const std::string& name) {
        return templates.Find(name);
    };
    pad.Model().ShowCodeTemplatesHandler = [target, &templates](TQzPadModel&) {
        ShowCodeTemplatesPopup(*target, templates);
    };
    pad.Model().HideCodeTemplatesHandler = [&templates](TQzPadModel&) {
        if (templates.GetVisible())
            templates.Hide();
    };
}

void UnbindCodeTemplates(TQzPad& pad, TQzCodeTemplates& templates)
{
    templates.Hide();
    templates.PopupFactory = nullptr;
    templates.OnInsertTemplate = nullptr;
    pad.Model().FindCodeTemplateHandler = nullptr;
    pad.Model().ShowCodeTemplatesHandler = nullptr;
    pad.Model().HideCodeTemplatesHandler = nullptr;
}
