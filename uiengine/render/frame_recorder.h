// Every frame the compositor hands to the system is also reported here, so that
// tests and the benchmark can see the exact sequence without timing it.
#pragma once

#include <windows.h>

#include "uiengine/render/effect_frames.h"

enum class EffectKind { Present, ZoomIn, DropIn, ZoomOut };

struct FrameRecord {
  EffectKind effect = EffectKind::Present;
  int index = 0;            // 0-based within the effect
  POINT destination = {};   // top-left corner of the surface on the screen
  SIZE surface = {};        // size handed to UpdateLayeredWindow
  EffectFrame frame;        // drawn rectangle and alpha
  bool showsWindow = false;   // the window was made visible at this frame
  bool visibleBefore = false; // the window was visible before this frame reached it
  double atMs = 0;          // when the frame began, since its effect started (0 for Present)
};

class FrameRecorder {
 public:
  virtual ~FrameRecorder() = default;
  virtual void OnFrame(const FrameRecord& record) = 0;
};

// Null (the default) reports nothing. The caller keeps the recorder alive while set.
void SetFrameRecorder(FrameRecorder* recorder);
void ReportFrame(const FrameRecord& record);
