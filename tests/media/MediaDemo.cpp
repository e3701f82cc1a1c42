// Plays a movie in the player control with its real renderer, for looking at it by hand.
//   media_demo [movie] [--gl | --sw] [--size DISPLAYSIZE] [--quit-after SECONDS]
// Without a movie it plays examples/sample.mp4 of the source tree.
#include "platform/media/MSMediaPlayer.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::string movie = MORVANE_SOURCE_DIR "/examples/sample.mp4";
  TMediaOutput output = TMediaOutput::Auto;
  int quitAfter = 0;
  int displaySize = 4;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--gl") == 0)
      output = TMediaOutput::OpenGL;
    else if (std::strcmp(argv[i], "--sw") == 0)
      output = TMediaOutput::Software;
    else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc)
      displaySize = std::atoi(argv[++i]);
    else if (std::strcmp(argv[i], "--quit-after") == 0 && i + 1 < argc)
      quitAfter = std::atoi(argv[++i]);
    else
      movie = argv[i];
  }

  TMSMediaPlayer player(nullptr, output);
  player.setWindowTitle(QString::fromStdString(movie));
  player.SetShowControls(true);
  player.SetDisplaySize(displaySize);
  player.resize(480, 400);
  player.move(0, 0);
  player.OnError = [](TMSMediaPlayer* sender) {
    std::fprintf(stderr, "media_demo: %s: %s\n", sender->FileName().c_str(), sender->ErrorDescription().c_str());
  };
  player.OnDblClick = [](TMSMediaPlayer* sender) {
    if (sender->PlayState() == mpPlaying)
      sender->Pause();
    else
      sender->Play();
  };
  player.show();
  player.Open(movie);
  if (quitAfter > 0) QTimer::singleShot(quitAfter * 1000, &app, &QApplication::quit);
  return app.exec();
}
