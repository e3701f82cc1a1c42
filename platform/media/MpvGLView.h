#pragma once
// Shows libmpv's picture through its OpenGL renderer, drawn into this widget's frame buffer. The
// render context is made when the widget is first shown (Qt creates the GL context then).

#include <QOpenGLWidget>

#include <functional>

struct mpv_handle;
struct mpv_render_context;

class TMpvGLView : public QOpenGLWidget {
 public:
  TMpvGLView(mpv_handle* mpv, QWidget* parent);
  // Frees the render context (with its GL context current); must run before the mpv handle is
  // destroyed.
  ~TMpvGLView() override;

  // Called (from the event loop) when libmpv cannot render with the GL context it was given;
  // the owner then puts another view in this one's place.
  // True once libmpv renders through this view.
  bool Ready() const { return context_ != nullptr; }
  // Blank: the picture shown goes and the view stays black, taking the player's frames without
  // drawing them, until it is unblanked (when the next movie shows its first frame).
  void SetBlank(bool blank);

  std::function<void()> OnFailed;
  // Called when a render context was made: a movie that started playing before has no picture
  // until its video is started again.
  std::function<void()> OnCreated;

 protected:
  void initializeGL() override;
  void paintGL() override;

 private:
  void FreeContext();
  void FrameReady();

  mpv_handle* mpv_;
  mpv_render_context* context_ = nullptr;
  bool blank_ = false;
  QMetaObject::Connection contextGone_;
};
