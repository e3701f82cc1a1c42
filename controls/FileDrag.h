#pragma once
// Makes its owner window accept files dragged from the desktop and reports each drop with the
// list of dropped file names, wherever on the owner the files are dropped. The owner's own event
// handling is unchanged: the component watches the drag and drop events of the owner and of its
// controls through an application event filter and lets every other event pass.
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/StringList.h"
#include "platform/gui/Types.h"

class QObject;
class QWidget;
class TFileDragFilter;

class TFileDrag : public TComponent {
public:
    explicit TFileDrag(TComponent* owner);
    ~TFileDrag() override;

    // The names of the last drop, one full native path per entry, in drop order.
    const TStringList& Files() const { return files_; }
    int FileCount() const { return fileCount_; }
    bool EnableDrop() const { return enableDrop_; }
    void SetEnabled(bool flag);
    // Where the last drop landed, in the owner's client coordinates (also over one of its controls).
    TPoint DropPoint() const { return dropPoint_; }
    TNotifyEvent OnDrop;

    // Takes a drop: replaces Files, FileCount and DropPoint and fires OnDrop.
    void DropFiles(const std::vector<std::string>& files, TPoint point);

private:
    friend class TFileDragFilter;
    void InitControl();
    void DestroyControl();

    TStringList files_;
    int fileCount_ = 0;
    bool enableDrop_ = true;
    TPoint dropPoint_;
    QPointer<QWidget> window_;
    std::unique_ptr<TFileDragFilter> filter_;
};
