// The UI engine's theme: the font family its text is drawn with, the background
// picture, three colours derived from the picture and a screen-sized background
// composed from it. Colours and background are cached per picture (keyed by the
// MD5 of its bytes) under <AppData>\E_UIEngine\<key>\:
//   <key>.db         INI, [rgb] img_rgb / text_rgb1 / text_rgb2 (decimal COLORREF)
//   <key>.jpg        the composed background
//   <key>.jpg.data   INI, [pm] 1 = screen width, 2 = screen height at composition,
//                    md5 = MD5 of the <key>.jpg bytes written then
// Everything here runs on the user-interface thread; nothing is locked.
#pragma once

#include <cstdint>
#include <vector>

#include <windows.h>

#include "base/text.h"
#include "gdiplus/gdip_image.h"
#include "uiengine/core/colour_file.h"
#include "uiengine/core/theme_colours.h"

struct ThemeState {
  Text fontFamily;                      // GDI+ family name of all engine text
  bool settingsWritingEnabled = false;  // when false, nothing is written to disk
  bool textHaloEnabled = false;         // read by the text drawing only
  ByteBuffer picture;                   // encoded bytes of the background picture
  gdip::Bitmap background;              // the composed screen-sized background
  ThemeSettings colours;
  int composedWidth = 0;                // screen width when the background was last made
};

// The process-wide theme and the windows told about a new picture (they receive
// WM_USER + 1 and then WM_USER + 2; the list never owns the windows).
ThemeState& Theme();
std::vector<HWND>& ThemedWindows();

// Frees the theme's picture, background and texts and empties ThemedWindows (the
// engine's release at exit; GDI+ must still be running).
void ReleaseTheme();

constexpr UINT kThemeChangingMessage = WM_USER + 1;  // 0x401
constexpr UINT kThemeChangedMessage = WM_USER + 2;   // 0x402: repaint

// Makes `family` the theme font family when a 12-unit GDI+ font of it can be
// created. True when the theme font family now equals `family`.
bool ProbeFont(const Text& family);

// The one entry that changes the theme: keeps a copy of the picture, loads or
// derives its colours, composes the background (always anew or from the cache),
// then sends both theme messages to every window in ThemedWindows, in order.
// Returns the number of windows notified.
int ApplyBackgroundPicture(const ByteBuffer& picture);

// Fills Theme().colours: from the picture's colour file when it holds colours
// (nothing written then), else derived from `colour` (when colourGiven) or the
// picture's average colour, and written to the colour file (replacing a damaged
// one whole) when writing is enabled.
void LoadThemeColours(const ByteBuffer& picture, Colour colour = 0, bool colourGiven = false);

// Makes `target` the composed background for the primary screen: from the cached
// ".jpg" when it is the JPEG the size file records (size and digest), composed for a
// screen no wider (and no taller) than this one, checked before it is decoded;
// otherwise composed anew (picture at the top left, fading into its tint along the
// right and bottom edges, the rest plain tint; screen size + 10 each way) and cached
// when writing is enabled. Without `force` nothing happens when the last background
// was made for a screen at least as wide.
void ComposeBackground(gdip::Bitmap& target, const ByteBuffer& picture, bool force);
// The same for a screen of the given size (what ComposeBackground calls).
void ComposeBackgroundForScreen(gdip::Bitmap& target, const ByteBuffer& picture, bool force, SIZE screen);

// 32 lower-case hex digits of the MD5 of the picture's bytes.
Text PictureKey(const ByteBuffer& picture);

// The picture scaled into one pixel with high-quality bicubic interpolation, as a
// COLORREF (alpha dropped). 0 when the picture cannot be decoded.
Colour AverageColour(const ByteBuffer& picture);

// Paths of the theme cache for a picture key, under the application-data folder
// `appData` (plain concatenation: an empty folder gives "\E_UIEngine\...").
struct ThemeCachePaths {
  Text engineFolder;   // A\E_UIEngine\ (with trailing backslash)
  Text pictureFolder;  // A\E_UIEngine\K\ (with trailing backslash)
  Text colourFile;     // A\E_UIEngine\K\K.db
  Text background;     // A\E_UIEngine\K\K.jpg
  Text sizeFile;       // A\E_UIEngine\K\K.jpg.data
};
ThemeCachePaths CachePathsFor(std::string_view appData, std::string_view key);

// The error box shown when the cached background cannot be written. Tests replace
// it; the default is the task-modal error box with the engine's caption.
using ThemeErrorReporter = void (*)(const Text& message);
ThemeErrorReporter SetThemeErrorReporter(ThemeErrorReporter reporter);

constexpr const char kCacheWriteErrorText[] = "无法写出配置文件：";
constexpr const char kEngineErrorCaption[] = "来自用户界面引擎的错误信息";
