// The off-screen surface a layered window frame is composed on: a 32-bit
// bottom-up DIB section selected into a memory DC, with a GDI+ bitmap over the
// same pixels (premultiplied ARGB, the form UpdateLayeredWindow blends).
#pragma once

#include <windows.h>

#include <optional>

#include "base/unique_handle.h"
#include "gdiplus/gdip_image.h"

class FrameSurface {
 public:
  FrameSurface(int width, int height);
  FrameSurface(const FrameSurface&) = delete;
  FrameSurface& operator=(const FrameSurface&) = delete;

  SIZE size() const { return size_; }
  HDC dc() const { return memory_.get(); }
  // Draw here; the pixels are the DIB's own.
  gdip::Bitmap& bitmap() { return bitmap_; }

  // Hands the surface to the window at `destination` with a constant alpha.
  void Present(HWND hwnd, POINT destination, BYTE constantAlpha);

 private:
  SIZE size_;
  WindowDc screen_;
  UniqueMemoryDc memory_;
  UniqueBitmap dib_;
  std::optional<SelectedObject> selection_;
  gdip::Bitmap bitmap_;  // released first: it only borrows the DIB's bits
};
