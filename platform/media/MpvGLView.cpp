#include "platform/media/MpvGLView.h"

#include <mpv/render_gl.h>

#include <QMetaObject>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

namespace {

void* GetProcAddress(void*, const char* name) {
  QOpenGLContext* context = QOpenGLContext::currentContext();
  return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

}  // namespace

TMpvGLView::TMpvGLView(mpv_handle* mpv, QWidget* parent) : QOpenGLWidget(parent), mpv_(mpv) {}

TMpvGLView::~TMpvGLView() {
  // ~QOpenGLWidget destroys the GL context once this destructor has run: the handler of its end
  // must not reach what is left of this view then. The render context goes here, while the view
  // still exists.
  QObject::disconnect(contextGone_);
  if (!context_) return;
  makeCurrent();
  FreeContext();
  doneCurrent();
}

void TMpvGLView::FreeContext() {
  if (!context_) return;
  mpv_render_context_set_update_callback(context_, nullptr, nullptr);
  mpv_render_context_free(context_);
  context_ = nullptr;
}

void TMpvGLView::initializeGL() {
  // A new GL context (the widget moved to another window) gets a new render context; the old
  // one is freed while its GL context is still current.
  QObject::disconnect(contextGone_);
  contextGone_ = QObject::connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
    makeCurrent();
    FreeContext();
    doneCurrent();
  });
  FreeContext();

  mpv_opengl_init_params glInit{GetProcAddress, nullptr};
  char api[] = MPV_RENDER_API_TYPE_OPENGL;
  mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, api},
                               {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glInit},
                               {MPV_RENDER_PARAM_INVALID, nullptr}};
  if (mpv_render_context_create(&context_, mpv_, params) < 0) {
    context_ = nullptr;
    QMetaObject::invokeMethod(this, [this] {
      if (OnFailed) OnFailed();
    }, Qt::QueuedConnection);
    return;
  }
  if (OnCreated) OnCreated();
  // Called on one of libmpv's threads: only ask the UI thread for a repaint.
  mpv_render_context_set_update_callback(
      context_,
      [](void* self) {
        auto* view = static_cast<TMpvGLView*>(self);
        QMetaObject::invokeMethod(view, [view] { view->FrameReady(); }, Qt::QueuedConnection);
      },
      this);
}

void TMpvGLView::FrameReady() {
  if (!context_ || !(mpv_render_context_update(context_) & MPV_RENDER_UPDATE_FRAME)) return;
  if (isVisible() && !blank_) {
    update();
    return;
  }
  // Hidden or blanked: paintGL does not draw it, but the player waits for each frame to be taken;
  // take it without drawing so that playback keeps its pace.
  makeCurrent();
  int skip = 1, block = 0;
  mpv_render_param params[] = {{MPV_RENDER_PARAM_SKIP_RENDERING, &skip},
                               {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                               {MPV_RENDER_PARAM_INVALID, nullptr}};
  mpv_render_context_render(context_, params);
  doneCurrent();
}

void TMpvGLView::SetBlank(bool blank) {
  if (blank == blank_) return;
  blank_ = blank;
  update();
}

void TMpvGLView::paintGL() {
  if (!context_ || blank_) {
    QOpenGLFunctions* gl = context()->functions();
    gl->glClearColor(0, 0, 0, 1);
    gl->glClear(GL_COLOR_BUFFER_BIT);
    return;
  }
  const qreal ratio = devicePixelRatioF();
  mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()), static_cast<int>(width() * ratio),
                     static_cast<int>(height() * ratio), 0};
  // The player hands frames over at their display time, so drawing never waits for it.
  int flipY = 1, block = 0;
  mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
                               {MPV_RENDER_PARAM_FLIP_Y, &flipY},
                               {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                               {MPV_RENDER_PARAM_INVALID, nullptr}};
  mpv_render_context_render(context_, params);
}
