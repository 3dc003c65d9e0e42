// The message box's six pictures, embedded as PNG resources at 100%, 150% and
// 200% and decoded each time they are needed.
#pragma once

#include "gdiplus/gdip_image.h"

enum class EnginePicture {
  InnerFrame,        // 17 x 16 at 100%
  OuterShadow,       // 29 x 32
  IconStrip,         // 191 x 57
  CloseButtonStrip,  // 146 x 22
  CaptionStrip,      // 561 x 22
  PushButtonStrip,   // 138 x 28
};

// The PNG bytes stored in the program for an artwork scale (100, 150 or 200;
// anything else reads the 100% set); empty when the resource is missing.
ByteBuffer EnginePictureBytes(EnginePicture picture, int artworkScale = 100);
// Decodes the picture into `image`; false (image empty) when it cannot.
bool LoadEnginePicture(EnginePicture picture, gdip::Image& image, int artworkScale = 100);
