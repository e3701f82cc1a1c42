#pragma once
// State numbers reported by the media player's play-state and open-state events. The values are
// the ones callers store and compare (2 = playing is what the caption follow looks at), so they
// never change.

enum TMPPlayState {
  mpStopped = 0,     // a movie is loaded and stands still at the start (after Stop or a close)
  mpPaused = 1,
  mpPlaying = 2,
  mpWaiting = 3,     // a movie is being opened
  mpMediaEnded = 8,  // playback reached the end; the movie stays loaded at its last frame
};

enum TMPOpenState {
  nsClosed = 0,   // nothing open (also after a file that could not be played)
  nsOpening = 5,
  nsOpen = 6,     // loaded: the source size is known
};

// How the player shows the picture.
enum class TMediaOutput {
  Auto,      // MORVANE_MPV_VO decides ("null", "sw", "gl"); otherwise OpenGL when the display offers
             // it, the software renderer when not (tried when the first movie opens)
  Null,      // no picture and no sound (vo=null, ao=null): tests and headless runs
             // (with the other outputs, MORVANE_MPV_AO names the sound output, e.g. "null")
  OpenGL,    // libmpv's OpenGL renderer into a QOpenGLWidget (falls back to Software on failure)
  Software,  // libmpv's software renderer into an image painted by the widget
};
