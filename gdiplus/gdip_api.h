// The GDI+ flat interface as MinGW declares it, and the few names the object layer
// and its users share. Include this instead of <gdiplus.h>.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

namespace gdip {

namespace flat = Gdiplus::DllExports;

using Status = Gdiplus::GpStatus;
using ARGB = Gdiplus::ARGB;
using RectF = Gdiplus::RectF;
using Rect = Gdiplus::Rect;
using PointF = Gdiplus::PointF;
using Point = Gdiplus::Point;
using SizeF = Gdiplus::SizeF;
using ColorMatrix = Gdiplus::ColorMatrix;
using BitmapData = Gdiplus::BitmapData;
using PixelFormat = Gdiplus::PixelFormat;

constexpr PixelFormat kPixelFormat32bppARGB = 0x26200A;
constexpr PixelFormat kPixelFormat32bppPARGB = 0xE200B;
constexpr PixelFormat kPixelFormat24bppRGB = 0x21808;

// Raw-format GUID texts of the image formats.
constexpr const char kFormatBmp[] = "{B96B3CAB-0728-11D3-9D7B-0000F81EF32E}";
constexpr const char kFormatJpeg[] = "{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}";
constexpr const char kFormatGif[] = "{B96B3CB0-0728-11D3-9D7B-0000F81EF32E}";
constexpr const char kFormatTiff[] = "{B96B3CB1-0728-11D3-9D7B-0000F81EF32E}";
constexpr const char kFormatPng[] = "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}";

}  // namespace gdip
