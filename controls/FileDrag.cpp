#include "controls/FileDrag.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QObject>
#include <QUrl>
#include <QWidget>

#include <exception>

#include "platform/gui/QtText.h"
#include "platform/gui/Services.h"

namespace {

// The local files a drag carries, in the order the source lists them.
std::vector<std::string> LocalFiles(const QMimeData* data)
{
    std::vector<std::string> out;
    if (!data || !data->hasUrls())
        return out;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            out.push_back(QStringToPath(url.toLocalFile()));
    return out;
}

}  // namespace

class TFileDragFilter : public QObject {
public:
    explicit TFileDragFilter(TFileDrag* drag) : drag_(drag) {}

    // Watches the application's events, so that a drop over a control of the window that takes
    // drops of its own (a line edit takes the plain text that file managers send beside the file
    // names) opens the files too. Drags without local files are left to that control.
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        const QEvent::Type type = e->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        auto* target = qobject_cast<QWidget*>(watched);
        QWidget* window = drag_->window_;
        if (!target || !window || (target != window && !window->isAncestorOf(target)))
            return false;
        switch (type) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* d = static_cast<QDropEvent*>(e);
            if (!drag_->enableDrop_ || LocalFiles(d->mimeData()).empty())
                return false;
            d->setDropAction(Qt::CopyAction);
            d->accept();
            return true;
        }
        case QEvent::Drop: {
            auto* d = static_cast<QDropEvent*>(e);
            const std::vector<std::string> files = LocalFiles(d->mimeData());
            if (!drag_->enableDrop_ || files.empty())
                return false;
            d->setDropAction(Qt::CopyAction);
            d->accept();
            const QPoint p = target->mapTo(window, d->position().toPoint());
            try {
                drag_->DropFiles(files, Point(p.x(), p.y()));
            } catch (const std::exception& ex) {
                HandleException(ex.what());
            }
            return true;
        }
        default:
            return false;
        }
    }

private:
    TFileDrag* drag_;
};

TFileDrag::TFileDrag(TComponent* owner) : TComponent(owner)
{
    InitControl();
    SetEnabled(true);
}

TFileDrag::~TFileDrag()
{
    DestroyControl();
    SetEnabled(false);
}

void TFileDrag::InitControl()
{
    auto* widget = dynamic_cast<QWidget*>(Owner());
    if (!widget) {
        enableDrop_ = false;
        return;
    }
    window_ = widget;
    filter_ = std::make_unique<TFileDragFilter>(this);
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(filter_.get());
}

void TFileDrag::DestroyControl()
{
    if (QCoreApplication* app = QCoreApplication::instance(); app && filter_)
        app->removeEventFilter(filter_.get());
    filter_.reset();
}

void TFileDrag::SetEnabled(bool flag)
{
    enableDrop_ = flag;
    if (window_)
        window_->setAcceptDrops(flag);
}

void TFileDrag::DropFiles(const std::vector<std::string>& files, TPoint point)
{
    files_.Clear();
    fileCount_ = static_cast<int>(files.size());
    dropPoint_ = point;
    for (const std::string& f : files)
        files_.Add(f);
    if (OnDrop)
        OnDrop(this);
}
