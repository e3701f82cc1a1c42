#pragma once
// Shows libmpv's picture through its software renderer: each new frame is rendered into an image
// of the widget's size and painted. Works on every display (also without OpenGL); slower than
// the OpenGL view for large pictures.

#include <QImage>
#include <QWidget>

struct mpv_handle;
struct mpv_render_context;

class TMpvSwView : public QWidget {
 public:
  TMpvSwView(mpv_handle* mpv, QWidget* parent);
  // Frees the render context; must run before the mpv handle is destroyed.
  ~TMpvSwView() override;

  // False when libmpv refused the renderer; the view then stays black.
  bool Valid() const { return context_ != nullptr; }
  // Blank: the picture shown goes and the view stays black, taking the player's frames without
  // drawing them, until it is unblanked (when the next movie shows its first frame).
  void SetBlank(bool blank);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Render();

  mpv_render_context* context_ = nullptr;
  QImage frame_;
  bool blank_ = false;
};
