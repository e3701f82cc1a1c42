#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

#include "FrameTestSupport.h"
#include "controls/FileDrag.h"
#include "platform/gui/Controls.h"

namespace {

QMimeData* FilesData(const std::vector<QString>& paths)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
}

// Delivers a drag-enter and a drop of `data` at `pos`; returns whether the drag was accepted.
bool DragAndDrop(QWidget* target, QMimeData* data, QPoint pos)
{
    QDragEnterEvent enter(pos, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QApplication::sendEvent(target, &enter);
    const bool accepted = enter.isAccepted();
    if (accepted) {
        QDropEvent drop(QPointF(pos), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    }
    return accepted;
}

// A form that records the mouse presses its own handler sees.
class RecordingForm : public TForm {
public:
    int Presses = 0;
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override
    {
        ++Presses;
        TForm::MouseDown(b, s, x, y);
    }
};

}  // namespace

class FileDragTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureFrameTestApp(); }
};

TEST_F(FileDragTest, DropsDeliverEveryFileInOrderAndReplaceTheLastDrop)
{
    RecordingForm form;
    auto* drag = new TFileDrag(&form);  // owned by the form
    EXPECT_TRUE(drag->EnableDrop());
    EXPECT_TRUE(form.acceptDrops());
    int drops = 0;
    drag->OnDrop = [&](TObject* s) { EXPECT_EQ(s, drag); ++drops; };

    std::unique_ptr<QMimeData> three(FilesData({"/tmp/a.smi", "/tmp/b c.avi", QString::fromUtf8("/tmp/한글.txt")}));
    ASSERT_TRUE(DragAndDrop(&form, three.get(), QPoint(12, 34)));
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(drag->FileCount(), 3);
    ASSERT_EQ(drag->Files().Count(), 3);
    EXPECT_EQ(drag->Files()[0], "/tmp/a.smi");
    EXPECT_EQ(drag->Files()[1], "/tmp/b c.avi");
    EXPECT_EQ(drag->Files()[2], "/tmp/\xED\x95\x9C\xEA\xB8\x80.txt");  // native UTF-8 path
    EXPECT_EQ(drag->DropPoint(), Point(12, 34));

    const QString longName = QStringLiteral("/tmp/") + QString(300, QLatin1Char('x')) + QStringLiteral(".smi");
    std::unique_ptr<QMimeData> one(FilesData({longName}));
    ASSERT_TRUE(DragAndDrop(&form, one.get(), QPoint(1, 2)));
    EXPECT_EQ(drag->FileCount(), 1);
    EXPECT_EQ(drag->Files()[0].size(), static_cast<size_t>(longName.size()));

    // Other events still reach the window's own handlers.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&form, &press);
    EXPECT_EQ(form.Presses, 1);
}

TEST_F(FileDragTest, DisabledDropsAndDragsWithoutFilesAreRefused)
{
    TForm form;
    TFileDrag drag(&form);
    int drops = 0;
    drag.OnDrop = [&](TObject*) { ++drops; };
    drag.SetEnabled(false);
    EXPECT_FALSE(form.acceptDrops());
    std::unique_ptr<QMimeData> files(FilesData({"/tmp/a.smi"}));
    EXPECT_FALSE(DragAndDrop(&form, files.get(), QPoint(1, 1)));
    drag.SetEnabled(true);
    auto* text = new QMimeData;
    text->setText("not a file");
    std::unique_ptr<QMimeData> owned(text);
    EXPECT_FALSE(DragAndDrop(&form, text, QPoint(1, 1)));
    auto* web = new QMimeData;
    web->setUrls({QUrl("http://example.invalid/a.smi")});
    std::unique_ptr<QMimeData> ownedWeb(web);
    EXPECT_FALSE(DragAndDrop(&form, web, QPoint(1, 1)));
    EXPECT_EQ(drops, 0);
    EXPECT_EQ(drag.FileCount(), 0);
}

TEST_F(FileDragTest, AnOwnerThatIsNoWindowGivesNoDrops)
{
    TComponent owner(nullptr);
    auto* drag = new TFileDrag(&owner);
    EXPECT_TRUE(drag->EnableDrop());  // set true by the constructor even so
    EXPECT_EQ(drag->FileCount(), 0);
}

TEST_F(FileDragTest, TheComponentCanBeFreedBeforeItsWindow)
{
    TForm form;
    auto* drag = new TFileDrag(&form);
    delete drag;
    EXPECT_FALSE(form.acceptDrops());
    std::unique_ptr<QMimeData> files(FilesData({"/tmp/a.smi"}));
    EXPECT_FALSE(DragAndDrop(&form, files.get(), QPoint(1, 1)));
}
