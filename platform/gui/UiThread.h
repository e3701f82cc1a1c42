#pragma once
// Handing work to the user-interface thread.
#include <functional>

// True on the thread that runs the Qt event loop.
bool IsUiThread();
// Queues `fn` to run on the UI thread's event loop (from any thread); dropped when there is no
// application object.
void PostToUiThread(std::function<void()> fn);
