#include "uiengine/render/skinned_message_box.h"

#include <windowsx.h>

#include <memory>

#include "base/codepage.h"
#include "base/display_dpi.h"
#include "base/lazy_binding.h"
#include "gdiplus/gdip_objects.h"
#include "uiengine/core/theme_state.h"
#include "uiengine/render/effect_frames.h"
#include "uiengine/render/frame_pacer.h"
#include "uiengine/render/frame_surface.h"
#include "uiengine/render/os_generation.h"
#include "uiengine/render/process_message_box.h"
#include "uiengine/render/taskbar_corner.h"

namespace {

// Sent by newer systems to paint a themed caption; the box has none.
constexpr UINT kNcUahDrawCaption = 0xAE;

constexpr DWORD kDwmBlurEnable = 1;      // DWM_BB_ENABLE
constexpr DWORD kDwmBlurRegion = 2;      // DWM_BB_BLURREGION

// ThemedWindows only lists handles; a closed box takes its own out again so a later
// window that happens to get the same handle is not sent theme messages.
void AddThemedWindow(HWND hwnd) { ThemedWindows().push_back(hwnd); }
void RemoveThemedWindow(HWND hwnd) {
  auto& list = ThemedWindows();
  for (auto it = list.begin(); it != list.end();) it = (*it == hwnd) ? list.erase(it) : it + 1;
}

struct DwmBlurBehind {
  DWORD dwFlags;
  BOOL fEnable;
  HRGN hRgnBlur;
  BOOL fTransitionOnMaximized;
};
// Bound at its first use: systems without the DWM never reach it (only 6.1 does).
// A system library: from the system folder only, never a file beside the program.
LazyFunction<HRESULT __stdcall(HWND, const DwmBlurBehind*)> DwmEnableBlurBehindWindow{
    "dwmapi.dll", "DwmEnableBlurBehindWindow", LibraryPlace::SystemFolder};

std::unique_ptr<SkinnedMessageBox> g_processBox;

}  // namespace

SkinnedMessageBox::SkinnedMessageBox() = default;

SkinnedMessageBox::~SkinnedMessageBox() {
  // A box still open goes through its own WM_DESTROY (off the themed list) while
  // this object is still whole; WM_NCDESTROY then unbinds it.
  if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

void SkinnedMessageBox::ShowMessageBox(HWND owner, bool centreOnOwner, std::string_view title,
                                       std::string_view message, int iconKind, int showStyle) {
  if (hwnd_) return;  // one box at a time
  HWND hwnd = host_.Create(Text(title), kWidth, kHeight, owner, nullptr, kStyle, this);
  if (!hwnd) return;
  hwnd_ = hwnd;

  // Composed at the scale of the monitor it opens on: the owner's, or the primary one.
  RECT owned = {};
  if (centreOnOwner) {
    ::GetWindowRect(owner, &owned);
  } else {
    owned = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  SetDpi(DpiAtRect(owned));
  if (centreOnOwner) {
    x_ = static_cast<int>(owned.left + ((owned.right - owned.left) * 0.5 - width_ / 2.0));
    y_ = static_cast<int>(((owned.bottom - owned.top) * 0.5 - height_ / 2.0) + owned.top);
  } else {
    x_ = static_cast<int>(owned.right * 0.5 - width_ / 2.0);
    y_ = static_cast<int>(owned.bottom * 0.5 - height_ / 2.0);
  }
  iconKind_ = iconKind;
  messageText_ = Text(message);
  showStyle_ = showStyle;
  blurCapable_ = IsBlurCapable(OsGenerationCode());

  MakeLayered();
  if (showStyle_ == 0)
    ZoomInShow();
  else
    DropInShow();
  SetBlurBehind(hwnd_, true);
  AddThemedWindow(hwnd_);
}

std::optional<LRESULT> SkinnedMessageBox::OnHostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // Screen coordinates can be negative left of or above the primary monitor.
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  switch (msg) {
    case WM_NCCALCSIZE:
      if (wParam == 1) return 1;  // no non-client area
      break;
    case WM_NCACTIVATE:
    case WM_NCPAINT:
    case kNcUahDrawCaption:
      return 1;
    case WM_NCHITTEST:
      return TrackHoverAt(x, y, false);
    case WM_MOUSEMOVE:
      return TrackHoverAt(x, y, true);
    case WM_SIZE:
      width_ = static_cast<short>(LOWORD(lParam));
      height_ = static_cast<short>(HIWORD(lParam));
      break;
    case kThemeChangedMessage:  // 0x401 needs nothing: it goes on below
      Present();
      break;
    case WM_LBUTTONDOWN:
      if (PressButtonAt(x, y, true) == 0) {
        buttons_.pressed = true;
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      if (ReleaseButton(buttons_)) {
        ZoomOutClose();
        ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
      }
      break;
    case WM_KEYDOWN:
      // As with the system's message box: Enter, Space and Esc answer it too.
      if (wParam == VK_RETURN || wParam == VK_SPACE || wParam == VK_ESCAPE) {
        buttons_.buttonState = kButtonIdle;
        ZoomOutClose();
        ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    case WM_DPICHANGED: {
      // Moved to a monitor of another scale: compose again for it, where the system suggests.
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetDpi(HIWORD(wParam));
      background_.Release();
      if (suggested) {
        x_ = suggested->left;
        y_ = suggested->top;
        useStoredPosition_ = true;
      }
      Present();
      return 0;
    }
    case WM_DESTROY:
      ReleaseWindow();
      break;
    default:
      break;
  }
  return std::nullopt;
}

POINT SkinnedMessageBox::BoxRelative(int px, int py, bool clientCoordinates) const {
  if (clientCoordinates) return {px, py};
  RECT rc = {};
  ::GetWindowRect(hwnd_, &rc);
  return {px - rc.left, py - rc.top};
}

LRESULT SkinnedMessageBox::TrackHoverAt(int px, int py, bool clientCoordinates) {
  POINT p = BoxRelative(px, py, clientCoordinates);
  return TrackHover(buttons_, *this, p.x, p.y, width_, height_, dpi_);
}

int SkinnedMessageBox::PressButtonAt(int px, int py, bool clientCoordinates) {
  POINT p = BoxRelative(px, py, clientCoordinates);
  return PressButton(buttons_, *this, p.x, p.y, width_, height_, dpi_);
}

FrameClock& SkinnedMessageBox::Clock() { return clock_; }

void SkinnedMessageBox::MakeLayered() { ::SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, WS_EX_LAYERED); }

void SkinnedMessageBox::SetBlurBehind(HWND hwnd, bool enable) {
  if (!blurCapable_) return;
  if (!enable) {
    DwmBlurBehind off = {kDwmBlurEnable, FALSE, nullptr, FALSE};
    DwmEnableBlurBehindWindow(hwnd, &off);
    return;
  }
  // The blur covers the rounded body only, the same region the drawing clips to.
  UniqueRegion body(BoxBodyRegion(width_, height_, dpi_));
  DwmBlurBehind on = {kDwmBlurEnable | kDwmBlurRegion, TRUE, body.get(), FALSE};
  DwmEnableBlurBehindWindow(hwnd, &on);
}

void SkinnedMessageBox::ReleaseWindow() {
  background_.Release();  // the next box composes afresh (with the theme of its time)
  RemoveThemedWindow(hwnd_);
  hwnd_ = nullptr;
  buttons_ = ButtonStates();
}

BoxContent SkinnedMessageBox::Content() const {
  BoxContent c;
  c.width = width_;
  c.height = height_;
  c.dpi = dpi_;
  c.title = WindowTitle(hwnd_);
  c.message = messageText_;
  c.iconKind = iconKind_;
  c.blurCapable = blurCapable_;
  c.hwnd = hwnd_;
  return c;
}

void SkinnedMessageBox::BuildBackground() { ComposeBoxBackground(background_, Content(), CurrentBoxTheme()); }

void SkinnedMessageBox::DrawMessageBox(gdip::Bitmap* target, bool imageMode, HDC dc) {
  if (!background_.valid()) BuildBackground();
  gdip::Graphics g;
  bool ok = imageMode ? (target && g.CreateForImage(*target)) : g.CreateForHdc(dc);
  if (!ok) return;
  BoxContent c;
  c.width = width_;
  c.height = height_;
  c.dpi = dpi_;
  c.hwnd = hwnd_;
  DrawBoxFrame(g, background_, c, buttons_.buttonState, buttons_.hotButton, buttons_.highlight, CurrentBoxTheme());
}

gdip::Bitmap SkinnedMessageBox::RenderBoxImage() {
  gdip::Bitmap image;
  if (image.CreateEmpty(width_, height_)) DrawMessageBox(&image, true, nullptr);
  return image;
}

void SkinnedMessageBox::Present() {
  FrameSurface surface(width_, height_);
  DrawMessageBox(&surface.bitmap(), true, nullptr);  // the graphics is gone: the DIB holds the frame
  RECT rc = {};
  ::GetWindowRect(hwnd_, &rc);
  POINT destination = {rc.left, rc.top};
  if (useStoredPosition_) {
    destination = {x_, y_};
    useStoredPosition_ = false;
  }
  FrameRecord record;
  record.effect = EffectKind::Present;
  record.destination = destination;
  record.surface = surface.size();
  record.frame.width = static_cast<float>(width_);
  record.frame.height = static_cast<float>(height_);
  record.visibleBefore = ::IsWindowVisible(hwnd_) != FALSE;
  surface.Present(hwnd_, destination, 255);
  ReportFrame(record);
}

void SkinnedMessageBox::PlayFrames(EffectKind kind, const std::vector<EffectFrame>& frames, SIZE surfaceSize,
                                   POINT destination, bool scaled, bool showOnFirstFrame) {
  FineTimerPeriod fineTimer;
  FramePacer pacer(clock_);  // rendering the image below is part of the effect's time
  gdip::Bitmap image = RenderBoxImage();
  FrameSurface surface(surfaceSize.cx, surfaceSize.cy);
  gdip::Graphics g;
  g.CreateForImage(surface.bitmap());
  const gdip::RectF whole(0, 0, static_cast<float>(width_), static_cast<float>(height_));
  pacer.Play(BudgetsOf(frames), [&](size_t i) {
    const EffectFrame& f = frames[i];
    FrameRecord record;
    record.atMs = pacer.Elapsed();
    g.Clear(0);
    if (scaled)
      g.DrawImage(image, gdip::RectF(f.left, f.top, f.width, f.height), whole, Gdiplus::UnitPixel);
    else
      g.DrawImage(image, f.left, f.top);
    g.Flush(Gdiplus::FlushIntentionSync);

    record.effect = kind;
    record.index = static_cast<int>(i);
    record.destination = destination;
    record.surface = surfaceSize;
    record.frame = f;
    record.visibleBefore = ::IsWindowVisible(hwnd_) != FALSE;
    surface.Present(hwnd_, destination, static_cast<BYTE>(f.alpha));
    if (i == 0 && showOnFirstFrame) {
      ::ShowWindow(hwnd_, SW_SHOWNORMAL);
      record.showsWindow = true;
    }
    ReportFrame(record);
    return true;
  });
}

void SkinnedMessageBox::ZoomInShow() {
  const int margin = ZoomMargin(dpi_);
  POINT destination = {x_ - margin, y_ - margin};
  useStoredPosition_ = true;
  PlayFrames(EffectKind::ZoomIn, ZoomInFrames(width_, height_, dpi_), SIZE{width_ + 2 * margin, height_ + 2 * margin},
             destination, true, true);
  x_ = destination.x + margin;
  y_ = destination.y + margin;
  Present();
}

void SkinnedMessageBox::DropInShow() {
  RECT corner = TaskbarCorner();
  POINT destination = {corner.right - width_, corner.bottom - 2 * height_};
  useStoredPosition_ = true;
  PlayFrames(EffectKind::DropIn, DropInFrames(width_, height_, dpi_), SIZE{width_, 2 * height_}, destination, false,
             true);
  x_ = destination.x;
  y_ = destination.y + height_;
  Present();
}

void SkinnedMessageBox::ZoomOutClose() {
  SetBlurBehind(hwnd_, false);
  RECT rc = {};
  ::GetWindowRect(hwnd_, &rc);
  const int margin = ZoomMargin(dpi_);
  POINT destination = {rc.left - margin, rc.top - margin};
  useStoredPosition_ = true;  // stays set: the window is about to go
  PlayFrames(EffectKind::ZoomOut, ZoomOutFrames(width_, height_, dpi_), SIZE{width_ + 2 * margin, height_ + 2 * margin},
             destination, true, false);
}

void SkinnedMessageBox::SetDpi(int dpi) {
  dpi_ = ClampDpi(dpi);
  width_ = ScaleToDpi(kWidth, dpi_);
  height_ = ScaleToDpi(kHeight, dpi_);
}

SkinnedMessageBox* ProcessMessageBox() { return g_processBox.get(); }
void CreateProcessMessageBox() { g_processBox = std::make_unique<SkinnedMessageBox>(); }
void DestroyProcessMessageBox() { g_processBox.reset(); }

bool ShowProcessMessageBox(HWND owner, bool centreOnOwner, std::string_view title, std::string_view message,
                           int iconKind, int showStyle) {
  SkinnedMessageBox* box = ProcessMessageBox();
  if (!box || box->hwnd()) return false;
  box->ShowMessageBox(owner, centreOnOwner, title, message, iconKind, showStyle);
  return box->hwnd() != nullptr;
}
