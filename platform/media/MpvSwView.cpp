#include "platform/media/MpvSwView.h"

#include <mpv/render.h>

#include <QMetaObject>
#include <QPainter>
#include <QPointer>

TMpvSwView::TMpvSwView(mpv_handle* mpv, QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  char api[] = MPV_RENDER_API_TYPE_SW;
  mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, api}, {MPV_RENDER_PARAM_INVALID, nullptr}};
  if (mpv_render_context_create(&context_, mpv, params) < 0) {
    context_ = nullptr;
    return;
  }
  // Called on one of libmpv's threads: only hand the work to the UI thread.
  mpv_render_context_set_update_callback(
      context_,
      [](void* self) {
        QMetaObject::invokeMethod(static_cast<TMpvSwView*>(self), [view = static_cast<TMpvSwView*>(self)] {
          view->Render();
        }, Qt::QueuedConnection);
      },
      this);
}

TMpvSwView::~TMpvSwView() {
  if (context_) {
    mpv_render_context_set_update_callback(context_, nullptr, nullptr);
    mpv_render_context_free(context_);
  }
}

void TMpvSwView::Render() {
  if (!context_) return;
  const uint64_t flags = mpv_render_context_update(context_);
  int block = 0;  // frames are handed over at their display time: rendering never waits
  if (!isVisible() || blank_) {
    // Hidden or blanked: the frame is taken without drawing, so that playback keeps its pace;
    // showing the view renders afresh.
    frame_ = QImage();
    if (!(flags & MPV_RENDER_UPDATE_FRAME)) return;
    int skip = 1;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SKIP_RENDERING, &skip},
                                 {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(context_, params);
    return;
  }
  if (!(flags & MPV_RENDER_UPDATE_FRAME) && !frame_.isNull()) return;
  const qreal ratio = devicePixelRatioF();
  const QSize size = (QSizeF(this->size()) * ratio).toSize();
  if (size.isEmpty()) return;
  if (frame_.size() != size) {
    frame_ = QImage(size, QImage::Format_RGB32);
    frame_.setDevicePixelRatio(ratio);
  }
  // Format_RGB32 is B, G, R, X in memory on little-endian machines: libmpv's "bgr0".
  int wh[2] = {size.width(), size.height()};
  char format[] = "bgr0";
  size_t stride = static_cast<size_t>(frame_.bytesPerLine());
  mpv_render_param params[] = {{MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                               {MPV_RENDER_PARAM_SW_SIZE, wh},
                               {MPV_RENDER_PARAM_SW_FORMAT, format},
                               {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                               {MPV_RENDER_PARAM_SW_POINTER, frame_.bits()},
                               {MPV_RENDER_PARAM_INVALID, nullptr}};
  if (mpv_render_context_render(context_, params) < 0) frame_.fill(Qt::black);
  update();
}

void TMpvSwView::SetBlank(bool blank) {
  if (blank == blank_) return;
  blank_ = blank;
  frame_ = QImage();
  if (blank)
    update();
  else
    Render();
}

void TMpvSwView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (frame_.isNull() || frame_.size() != (QSizeF(size()) * devicePixelRatioF()).toSize())
    painter.fillRect(rect(), Qt::black);
  if (!frame_.isNull()) painter.drawImage(QPoint(0, 0), frame_);
}

void TMpvSwView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The last frame is drawn again at the new size.
  if (!context_) return;
  frame_ = QImage();
  Render();
}

void TMpvSwView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  frame_ = QImage();
  Render();
}
