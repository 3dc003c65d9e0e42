// Hands work to the window thread from any thread: a worker posts a callable and
// the window thread runs it between two messages. Knows no window of the program,
// so whoever has a result for the window needs nothing but this.
#pragma once

#include <windows.h>

#include <functional>

namespace window_thread {

// Makes the calling thread the window thread (it must run a message loop). Call
// once, before any other thread posts; false when its message window cannot be made.
bool Start();

// True on the window thread.
bool IsCurrent();

// Any thread: runs `work` on the window thread soon and returns at once. False,
// with `work` dropped, when there is no window thread.
bool Post(std::function<void()> work);

// Window thread: runs `work` on the window thread once `delayMs` have passed.
bool PostAfter(DWORD delayMs, std::function<void()> work);

// Any thread: runs `work` on the window thread and waits until it has run (on the
// window thread itself it runs at once). False when it could not run.
bool Run(const std::function<void()>& work);

}  // namespace window_thread
