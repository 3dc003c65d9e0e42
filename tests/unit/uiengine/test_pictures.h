// Pictures the theme tests feed to the engine, and a scratch application-data
// folder so the tests never share a theme cache with anything else.
#pragma once

#include <windows.h>

#include "base/text.h"
#include "gdiplus/gdip_objects.h"

namespace testpics {

// A width x height picture of one colour (ARGB), encoded in `format`.
ByteBuffer Solid(int width, int height, gdip::ARGB colour, const char* format = gdip::kFormatPng);

// A 1-pixel checkerboard of two colours, encoded as PNG: every pixel differs from
// its right and lower neighbours.
ByteBuffer Checker(int width, int height, gdip::ARGB a, gdip::ARGB b);

// The program's embedded background picture (RCDATA IDR_BACKGROUND_JPEG).
ByteBuffer EmbeddedBackground();

bool Exists(const Text& path);
// A whole file's bytes (empty when it cannot be read), and a file made to hold `bytes`.
ByteBuffer ReadFileBytes(const Text& path);
void WriteFileBytes(const Text& path, const ByteBuffer& bytes);
Text ReadIniValue(const Text& file, const char* section, const char* key);
void WriteIniValue(const Text& file, const char* section, const char* key, const Text& value);

// Points HKCU "Shell Folders\AppData" at a fresh temporary folder for the life of
// the object (the previous value is put back and the folder removed afterwards).
class ScratchAppData {
 public:
  ScratchAppData();
  ~ScratchAppData();
  ScratchAppData(const ScratchAppData&) = delete;
  ScratchAppData& operator=(const ScratchAppData&) = delete;

  const Text& path() const { return path_; }
  // Points AppData somewhere else for the rest of the object's life (restored at the end).
  void PointAt(const Text& path);

 private:
  Text path_;
  bool hadValue_ = false;
  DWORD oldType_ = 0;
  std::wstring oldValue_;
};

// Deletes a folder tree (for scratch folders only).
void RemoveTree(const Text& path);

}  // namespace testpics
