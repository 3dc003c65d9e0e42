// The base of every GDI+ object wrapper: exactly one owner per GDI+ object.
//
// A wrapper starts empty (handle null), gets its object from one creation
// operation, and releases it when it is released, reassigned or destroyed. It can
// be moved but not copied; a second independent object comes from the class's
// Clone operation. Creation operations release the object the wrapper already holds
// before taking the new one (after a failed creation the wrapper is empty).
#pragma once

#include <utility>

#include "gdiplus/gdip_status.h"

namespace gdip {

// Traits: `Handle` is the flat handle type, `Delete(handle)` the flat release call.
template <typename Traits>
class GdiPlusObject {
 public:
  using Handle = typename Traits::Handle;

  GdiPlusObject() noexcept = default;
  ~GdiPlusObject() { Release(); }
  GdiPlusObject(GdiPlusObject&& other) noexcept : handle_(other.Detach()) {}
  GdiPlusObject& operator=(GdiPlusObject&& other) noexcept {
    if (this != &other) {
      Release();
      handle_ = other.Detach();
    }
    return *this;
  }
  GdiPlusObject(const GdiPlusObject&) = delete;
  GdiPlusObject& operator=(const GdiPlusObject&) = delete;

  Handle handle() const noexcept { return handle_; }
  bool valid() const noexcept { return handle_ != nullptr; }
  explicit operator bool() const noexcept { return valid(); }

  // Releases the object. Without one it does nothing and returns false; otherwise
  // the handle becomes null and the result says whether GDI+ answered Ok.
  bool Release() noexcept {
    if (!handle_) return false;
    Status s = Traits::Delete(std::exchange(handle_, nullptr));
    return Record(s);
  }

  // Takes ownership of `handle`, releasing the object held before.
  void Reset(Handle handle) noexcept {
    if (handle_ != handle) Release();
    handle_ = handle;
  }

  // Gives up ownership without releasing.
  Handle Detach() noexcept { return std::exchange(handle_, nullptr); }

 protected:
  // Runs a creation call that writes a new handle into its out-parameter and takes
  // the result over; the object held before is released first, so after a failure
  // the wrapper is empty. Returns true when the status was Ok.
  template <typename Fn>
  bool Create(Fn&& call) {
    Release();
    Handle fresh = nullptr;
    Status s = call(&fresh);
    if (s == Gdiplus::Ok) handle_ = fresh;
    return Record(s);
  }

 private:
  Handle handle_ = nullptr;
};

}  // namespace gdip
