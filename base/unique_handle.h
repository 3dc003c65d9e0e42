// One move-only owner per handle: one template over the function that releases the
// handle, one declaration per handle kind, and small guards for what must be given
// back to the window it came from (device contexts, paint, selected objects).
#pragma once

#include <windows.h>
#include <wininet.h>

#include <utility>

// "No handle" is null for most kinds; files and find handles use INVALID_HANDLE_VALUE.
struct NullIsNone {
  template <typename T>
  static constexpr T Value() noexcept { return nullptr; }
};
struct InvalidHandleIsNone {
  template <typename T>
  static T Value() noexcept { return INVALID_HANDLE_VALUE; }
};

// The owner of one handle of type T, released with Close. Each handle kind is one
// declaration below.
template <typename T, auto Close, typename None = NullIsNone>
class UniqueHandle {
 public:
  using Type = T;

  UniqueHandle() noexcept : handle_(None::template Value<T>()) {}
  explicit UniqueHandle(T handle) noexcept : handle_(handle) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  T get() const noexcept { return handle_; }
  bool valid() const noexcept { return handle_ != None::template Value<T>(); }
  explicit operator bool() const noexcept { return valid(); }

  // Gives up ownership without releasing.
  T release() noexcept { return std::exchange(handle_, None::template Value<T>()); }

  void reset(T handle = None::template Value<T>()) noexcept {
    T old = std::exchange(handle_, handle);
    if (old != None::template Value<T>()) Close(old);
  }

  // For out-parameters: releases what is held and gives the place to fill.
  T* put() noexcept {
    reset();
    return &handle_;
  }

 private:
  T handle_;
};

using UniqueFile = UniqueHandle<HANDLE, ::CloseHandle, InvalidHandleIsNone>;  // CreateFile
using UniqueFind = UniqueHandle<HANDLE, ::FindClose, InvalidHandleIsNone>;    // FindFirstFile
using UniqueKernelHandle = UniqueHandle<HANDLE, ::CloseHandle>;               // threads, events
using UniqueModule = UniqueHandle<HMODULE, ::FreeLibrary>;
using UniqueRegKey = UniqueHandle<HKEY, ::RegCloseKey>;
using UniqueWindow = UniqueHandle<HWND, ::DestroyWindow>;
using UniqueMenu = UniqueHandle<HMENU, ::DestroyMenu>;
using UniqueHook = UniqueHandle<HHOOK, ::UnhookWindowsHookEx>;
using UniqueInternet = UniqueHandle<HINTERNET, ::InternetCloseHandle>;  // session, connection or request
using UniqueMemoryDc = UniqueHandle<HDC, ::DeleteDC>;
template <typename T>
using UniqueGdiObject = UniqueHandle<T, ::DeleteObject>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueRegion = UniqueGdiObject<HRGN>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueFont = UniqueGdiObject<HFONT>;

// A window's device context, released with ReleaseDC: its client area (GetDC; the
// screen for a null window) or the whole window with its frame (GetWindowDC).
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
  static WindowDc WholeWindow(HWND hwnd) noexcept { return WindowDc(hwnd, ::GetWindowDC(hwnd)); }
  ~WindowDc() { if (dc_) ::ReleaseDC(hwnd_, dc_); }
  WindowDc(WindowDc&& o) noexcept : hwnd_(o.hwnd_), dc_(std::exchange(o.dc_, nullptr)) {}
  WindowDc& operator=(WindowDc&&) = delete;
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  WindowDc(HWND hwnd, HDC dc) noexcept : hwnd_(hwnd), dc_(dc) {}
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint at construction, EndPaint at scope end.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &paint_)) {}
  ~PaintDc() { ::EndPaint(hwnd_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const noexcept { return dc_; }
  const PAINTSTRUCT& paint() const noexcept { return paint_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_ = {};
  HDC dc_;
};

// Selects an object into a DC and selects the previous one back at scope end.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(::SelectObject(dc, obj)) {}
  ~SelectedObject() { if (dc_ && old_) ::SelectObject(dc_, old_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A COM interface pointer, released once.
template <typename T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ~ComPtr() { reset(); }
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) { reset(); p_ = std::exchange(o.p_, nullptr); }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  // For out-parameters of CoCreateInstance and QueryInterface.
  T** put() noexcept { reset(); return &p_; }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
  void reset() noexcept { if (p_) std::exchange(p_, nullptr)->Release(); }

 private:
  T* p_ = nullptr;
};

// Runs a callable at scope end.
template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) noexcept : f_(std::move(f)) {}
  ~ScopeExit() { f_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F f_;
};
