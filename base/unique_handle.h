// One move-only owner per handle. Each handle kind is a small traits struct
// naming its "no handle" value and how it is released.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() noexcept : handle_(Traits::Invalid()) {}
  explicit UniqueHandle(Type handle) noexcept : handle_(handle) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Type get() const noexcept { return handle_; }
  bool valid() const noexcept { return handle_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return valid(); }

  // Gives up ownership without releasing.
  Type release() noexcept { return std::exchange(handle_, Traits::Invalid()); }

  void reset(Type handle = Traits::Invalid()) noexcept {
    Type old = std::exchange(handle_, handle);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

 private:
  Type handle_;
};

// Traits for handles whose "none" value is null.
template <typename T, typename Closer>
struct NullHandleTraits {
  using Type = T;
  static constexpr Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { Closer{}(h); }
};

namespace handle_closers {
struct CloseKernel { void operator()(HANDLE h) const noexcept { ::CloseHandle(h); } };
struct FreeModule { void operator()(HMODULE h) const noexcept { ::FreeLibrary(h); } };
struct DeleteGdi { void operator()(HGDIOBJ h) const noexcept { ::DeleteObject(h); } };
struct DeleteMemoryDc { void operator()(HDC h) const noexcept { ::DeleteDC(h); } };
struct CloseRegKey { void operator()(HKEY h) const noexcept { ::RegCloseKey(h); } };
struct DestroyWin { void operator()(HWND h) const noexcept { ::DestroyWindow(h); } };
struct DestroyMenuHandle { void operator()(HMENU h) const noexcept { ::DestroyMenu(h); } };
struct CloseInternet { void operator()(HINTERNET h) const noexcept { ::InternetCloseHandle(h); } };
}  // namespace handle_closers

struct FileHandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct FindHandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) noexcept { ::FindClose(h); }
};

using UniqueFile = UniqueHandle<FileHandleTraits>;            // CreateFile
using UniqueFind = UniqueHandle<FindHandleTraits>;            // FindFirstFile
using UniqueKernelHandle = UniqueHandle<NullHandleTraits<HANDLE, handle_closers::CloseKernel>>;
using UniqueModule = UniqueHandle<NullHandleTraits<HMODULE, handle_closers::FreeModule>>;
using UniqueRegKey = UniqueHandle<NullHandleTraits<HKEY, handle_closers::CloseRegKey>>;
using UniqueWindow = UniqueHandle<NullHandleTraits<HWND, handle_closers::DestroyWin>>;
using UniqueMenu = UniqueHandle<NullHandleTraits<HMENU, handle_closers::DestroyMenuHandle>>;
// WinINet: session, connection or request.
using UniqueInternet = UniqueHandle<NullHandleTraits<HINTERNET, handle_closers::CloseInternet>>;
using UniqueMemoryDc = UniqueHandle<NullHandleTraits<HDC, handle_closers::DeleteMemoryDc>>;
template <typename T>
using UniqueGdiObject = UniqueHandle<NullHandleTraits<T, handle_closers::DeleteGdi>>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueRegion = UniqueGdiObject<HRGN>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueFont = UniqueGdiObject<HFONT>;

// A window's device context from GetDC, released with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
  ~WindowDc() { if (dc_) ::ReleaseDC(hwnd_, dc_); }
  WindowDc(WindowDc&& o) noexcept : hwnd_(o.hwnd_), dc_(std::exchange(o.dc_, nullptr)) {}
  WindowDc& operator=(WindowDc&&) = delete;
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND hwnd_;
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
