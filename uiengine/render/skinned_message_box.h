// The engine's own message box: a 405 x 175 borderless per-pixel-alpha popup with
// an icon, a title, a message, a close and an OK button, animated in and out. It
// is modeless: ShowMessageBox returns once the box has appeared, and the box then
// lives on its own messages until one of its buttons closes it.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "gdiplus/gdip_image.h"
#include "uiengine/core/host_window.h"
#include "uiengine/render/box_drawing.h"
#include "uiengine/render/button_tracker.h"
#include "uiengine/render/frame_pacer.h"
#include "uiengine/render/frame_recorder.h"

class SkinnedMessageBox : private ButtonAnimator, private HostWindowOwner {
 public:
  static constexpr int kWidth = 405;
  static constexpr int kHeight = 175;
  // Low style bits the box has always asked for; the host class reads none of them.
  static constexpr DWORD kUnreadClassStyleBits = 0x4C;
  // A sizing border (its frame is answered away in WM_NCCALCSIZE); the visible bit
  // is toggled off on creation, so the window starts hidden.
  static constexpr DWORD kStyle =
      WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_THICKFRAME | kUnreadClassStyleBits;

  SkinnedMessageBox();
  ~SkinnedMessageBox() override;
  SkinnedMessageBox(const SkinnedMessageBox&) = delete;
  SkinnedMessageBox& operator=(const SkinnedMessageBox&) = delete;

  // Shows the box unless one is already on the screen. iconKind is an MB_ICON*
  // value (16, 32, 48, 64); showStyle 0 zooms in, anything else drops in.
  void ShowMessageBox(HWND owner, bool centreOnOwner, std::string_view title, std::string_view message, int iconKind,
                      int showStyle);

  HWND hwnd() const { return hwnd_; }

  // Composes the box (cache plus the current button highlight) into `target`
  // through its graphics; the cache is built on first use.
  void DrawMessageBox(gdip::Bitmap* target, bool imageMode, HDC dc);

  // The state the drawing and the tests look at.
  const ButtonStates& buttons() const { return buttons_; }
  bool blurCapable() const { return blurCapable_; }
  int iconKind() const { return iconKind_; }
  const Text& messageText() const { return messageText_; }
  bool hasCachedBackground() const { return background_.valid(); }
  POINT position() const { return {x_, y_}; }
  // The DPI the box is composed for, and its size in pixels of that DPI.
  int dpi() const { return dpi_; }
  SIZE size() const { return {width_, height_}; }
  bool useStoredPosition() const { return useStoredPosition_; }

  // Frame presentation and the effects.
  void Present() override;
  void ZoomInShow();
  void DropInShow();
  void ZoomOutClose();

 private:
  // HostWindowOwner: the box's window procedure; nullopt hands a message on.
  std::optional<LRESULT> OnHostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

  LRESULT TrackHoverAt(int px, int py, bool clientCoordinates);
  int PressButtonAt(int px, int py, bool clientCoordinates);
  POINT BoxRelative(int px, int py, bool clientCoordinates) const;

  // The scale the box is laid out for: 405 x 175 at 96 DPI, scaled at others.
  void SetDpi(int dpi);
  void MakeLayered();
  void SetBlurBehind(HWND hwnd, bool enable);
  void ReleaseWindow();
  void BuildBackground();
  BoxContent Content() const;
  // Renders the whole box into a new bitmap of the box's size (the effects' source).
  gdip::Bitmap RenderBoxImage();
  // Plays an effect's frames at a fixed destination; scaled draws for the zooms.
  void PlayFrames(EffectKind kind, const std::vector<EffectFrame>& frames, SIZE surfaceSize, POINT destination,
                  bool scaled, bool showOnFirstFrame);

  // ButtonAnimator
  FrameClock& Clock() override;

  HWND hwnd_ = nullptr;
  ButtonStates buttons_;
  bool useStoredPosition_ = false;
  int iconKind_ = 0;
  Text messageText_;
  gdip::Bitmap background_;
  int showStyle_ = 0;
  HostWindow host_;
  int x_ = 0, y_ = 0;
  int dpi_ = kBaseDpi;
  int width_ = kWidth, height_ = kHeight;
  bool blurCapable_ = false;
  PerformanceClock clock_;  // paces the effects and the button fades
};

// The program's one box, made by the engine's start-up and destroyed at exit.
SkinnedMessageBox* ProcessMessageBox();
void CreateProcessMessageBox();
void DestroyProcessMessageBox();
