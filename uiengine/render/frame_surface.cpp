#include "uiengine/render/frame_surface.h"

FrameSurface::FrameSurface(int width, int height)
    : size_{width, height}, screen_(nullptr), memory_(::CreateCompatibleDC(screen_.get())) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * height * 32 / 8;
  void* bits = nullptr;
  dib_.reset(::CreateDIBSection(memory_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib_ || !bits) return;
  selection_.emplace(memory_.get(), dib_.get());
  // Bottom-up: the first row GDI+ sees is the last one in memory.
  const int stride = width * 4;
  auto* top = static_cast<BYTE*>(bits) + static_cast<ptrdiff_t>(height - 1) * stride;
  bitmap_.CreateFromScan0(width, height, -stride, gdip::kPixelFormat32bppPARGB, top);
}

void FrameSurface::Present(HWND hwnd, POINT destination, BYTE constantAlpha) {
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, constantAlpha, AC_SRC_ALPHA};
  POINT source = {0, 0};
  SIZE size = size_;
  ::UpdateLayeredWindow(hwnd, nullptr, &destination, &size, memory_.get(), &source, 0, &blend, ULW_ALPHA);
}
