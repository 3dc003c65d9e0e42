#include "uiengine/render/frame_recorder.h"

namespace {
FrameRecorder* g_recorder = nullptr;
}

void SetFrameRecorder(FrameRecorder* recorder) { g_recorder = recorder; }

void ReportFrame(const FrameRecord& record) {
  if (g_recorder) g_recorder->OnFrame(record);
}
