// The engine's window class "MyWindow" and the host window object.
//
// Every window of the class runs ControlHost: the window's owner object first (see
// HostWindowOwner), then the event dispatcher (which may start registered
// handlers), then DefWindowProc; the dispatcher consumes nothing.
#pragma once

#include <windows.h>

#include <optional>

#include "base/text.h"

constexpr const char kHostWindowClass[] = "MyWindow";
constexpr WCHAR kHostWindowClassW[] = L"MyWindow";

// Registers "MyWindow" once (icon 129 of the program, arrow cursor, COLOR_BTNFACE + 1,
// CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS). Returns 0; the registration result is not
// needed (a second call finds the class registered).
int RegisterHostWindowClass();

// The class's window procedure.
LRESULT CALLBACK ControlHost(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The object behind a window of the class. It is bound to the window at
// WM_NCCREATE and unbound at WM_NCDESTROY, so it sees every message in between and
// none after: the window may outlive it only if it destroys the window first.
class HostWindowOwner {
 public:
  // The answer to a message, or nullopt to hand it on to the dispatcher and
  // DefWindowProc.
  virtual std::optional<LRESULT> OnHostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;

 protected:
  ~HostWindowOwner() = default;
};

// One window of the engine's class. The object does not destroy its window: the
// window's own procedure decides when it goes (the message box closes itself).
class HostWindow {
 public:
  HWND Handle() const noexcept { return hwnd_; }

  // Creates a window of the class with `title` (GBK), the given size, owner, menu
  // and style, bound to `windowOwner` (may be null). The WS_VISIBLE bit of `style`
  // is toggled, so a style with it set creates the window hidden. Returns the
  // handle (null on failure).
  HWND Create(const Text& title, int width, int height, HWND owner, HMENU menu, DWORD style,
              HostWindowOwner* windowOwner = nullptr);

  // Start `handler` on a thread of its own when the window is resized (WM_SIZE) or
  // destroyed (WM_DESTROY). The registry keeps at most one record per window: once
  // either is registered, further registrations for the window add nothing.
  void RegisterResizeHandler(LPTHREAD_START_ROUTINE handler);
  void RegisterDestroyHandler(LPTHREAD_START_ROUTINE handler);

 private:
  HWND hwnd_ = nullptr;
};
