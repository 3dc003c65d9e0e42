#include "uiengine/core/theme_state.h"

#include <optional>
#include <utility>

#include "base/codepage.h"
#include "base/path_lookup.h"
#include "base/show_message.h"
#include "base/unique_handle.h"
#include "gdiplus/gdip_objects.h"
#include "uiengine/core/cache_file.h"
#include "uiengine/core/cached_background.h"
#include "uiengine/core/folder_paths.h"
#include "uiengine/core/md5.h"

namespace {

constexpr WCHAR kColourSection[] = L"rgb";
constexpr const WCHAR* kColourKeys[] = {L"img_rgb", L"text_rgb1", L"text_rgb2"};
constexpr WCHAR kSizeSection[] = L"pm";
constexpr WCHAR kDigestKey[] = L"md5";  // MD5 of the background's bytes, as written
constexpr ULONG kBackgroundJpegQuality = 90;

void DefaultErrorReporter(const Text& message) { ShowMessage(message, MB_ICONERROR, kEngineErrorCaption); }

ThemeErrorReporter g_errorReporter = &DefaultErrorReporter;

Text ReadIni(const Text& file, const WCHAR* section, const WCHAR* key) {
  std::wstring buffer(10240, L'\0');
  DWORD got = ::GetPrivateProfileStringW(section, key, L"", buffer.data(), static_cast<DWORD>(buffer.size()),
                                         Widen(file).c_str());
  buffer.resize(got);
  return Narrow(buffer);
}

// An INI file of ours is a few lines: a larger one is damaged and not read.
constexpr long long kMaxCacheIniBytes = 64 * 1024;
bool SmallEnoughForIni(const Text& file) { return LookUpPath(file).size <= kMaxCacheIniBytes; }

// The colours of the colour file, when it exists and holds them.
std::optional<ThemeSettings> ReadColourFile(const Text& file) {
  if (!PathExists(file) || !SmallEnoughForIni(file)) return std::nullopt;
  return ColoursFromFileValues(ReadIni(file, kColourSection, kColourKeys[0]),
                               ReadIni(file, kColourSection, kColourKeys[1]),
                               ReadIni(file, kColourSection, kColourKeys[2]));
}

// The cached background, decoded only when it is the JPEG we wrote for a screen no
// larger than this one: the size file records its size and digest. A damaged or
// planted file (a header claiming 65000 x 65000 pixels, say) would otherwise have the
// decoder reserve gigabytes at every start, and a damaged scan a garbled background.
bool LoadCachedBackground(gdip::Bitmap& target, const ThemeCachePaths& paths, SIZE screen) {
  if (!PathExists(paths.background) || !SmallEnoughForIni(paths.sizeFile)) return false;
  const std::optional<PixelSize> expected =
      RecordedBackgroundSize(ReadIni(paths.sizeFile, kSizeSection, L"1"), ReadIni(paths.sizeFile, kSizeSection, L"2"),
                             PixelSize{screen.cx, screen.cy});
  if (!expected) return false;
  // Checked and decoded from the same bytes: nothing can change in between.
  const std::optional<ByteBuffer> bytes = ReadFileUpTo(paths.background, MaxCachedBackgroundBytes(*expected));
  if (!bytes || !IsCachedBackgroundOf(bytes->data(), bytes->size(), *expected) ||
      Md5Hex(bytes->data(), bytes->size()) != ReadIni(paths.sizeFile, kSizeSection, kDigestKey))
    return false;
  gdip::Bitmap loaded;
  if (!loaded.LoadFromBytes(*bytes) || loaded.Width() != static_cast<UINT>(expected->width) ||
      loaded.Height() != static_cast<UINT>(expected->height))
    return false;
  target = std::move(loaded);
  return true;
}

// Encoded in memory and written beside the cache, then moved over it: the old file
// goes whole, whatever it held, and a failed save leaves no half-written picture.
// The bytes written (empty when nothing was).
ByteBuffer SaveBackground(const gdip::Bitmap& background, const Text& path) {
  auto quality = gdip::JpegQuality(kBackgroundJpegQuality);
  ByteBuffer encoded = background.SaveToBytes(gdip::kFormatJpeg, &quality);
  const std::string_view bytes(reinterpret_cast<const char*>(encoded.data()), encoded.size());
  if (encoded.empty() || !ReplaceFileWith(path, bytes)) encoded.clear();
  return encoded;
}

ThemeCachePaths CachePathsForPicture(const ByteBuffer& picture) {
  return CachePathsFor(ResolveFolder("AppData"), PictureKey(picture));
}

// The picture at the top left, fading into tint `t` along its right and bottom
// edges, on a bitmap of the tint.
void ComposeInto(gdip::Bitmap& target, const ByteBuffer& picture, int width, int height) {
  target.CreateEmpty(width, height);
  gdip::Graphics g;
  g.CreateForImage(target);

  gdip::Bitmap decoded;
  decoded.LoadFromBytes(picture);
  float d = decoded.valid() ? static_cast<float>(decoded.Width()) : 0.0f;
  float e = decoded.valid() ? static_cast<float>(decoded.Height()) : 0.0f;
  Colour t = AverageColour(picture);

  g.Clear(ToArgb(t, 255));
  if (decoded.valid()) {
    gdip::CachedBitmap cached;
    if (cached.Create(decoded, g)) g.DrawCachedBitmap(cached, 0, 0);
  }

  struct Fade {
    gdip::RectF brushRect;
    std::uint8_t startAlpha, endAlpha;
    Gdiplus::LinearGradientMode mode;
    gdip::RectF fillRect;
  };
  const Fade fades[] = {
      {MakeRectF(d - 50, 0, 50, e), 20, 250, Gdiplus::LinearGradientModeHorizontal, MakeRectF(d - 49, 0, 50, e)},
      {MakeRectF(d - 50, e - 50, 50, 50), 0, 1, Gdiplus::LinearGradientModeForwardDiagonal,
       MakeRectF(d - 49, e - 49, 50, 50)},
      {MakeRectF(0, e - 50, d, 50), 20, 250, Gdiplus::LinearGradientModeVertical, MakeRectF(0, e - 49, d, 50)},
  };
  for (const Fade& f : fades) {
    gdip::LinearGradientBrush brush;
    if (brush.CreateFromRect(f.brushRect, ToArgb(t, f.startAlpha), ToArgb(t, f.endAlpha), f.mode,
                             Gdiplus::WrapModeTile))
      g.FillRectangle(brush, f.fillRect);
  }
}

}  // namespace

ThemeState& Theme() {
  static ThemeState state;
  return state;
}

std::vector<HWND>& ThemedWindows() {
  static std::vector<HWND> windows;
  return windows;
}

void ReleaseTheme() {
  ThemeState& theme = Theme();
  theme.fontFamily.clear();
  theme.picture.clear();
  theme.picture.shrink_to_fit();
  theme.background.Release();
  theme.colours = ThemeSettings{};
  theme.composedWidth = 0;
  ThemedWindows().clear();
}

ThemeErrorReporter SetThemeErrorReporter(ThemeErrorReporter reporter) {
  ThemeErrorReporter old = g_errorReporter;
  g_errorReporter = reporter ? reporter : &DefaultErrorReporter;
  return old;
}

bool ProbeFont(const Text& family) {
  gdip::FontFamily fontFamily;
  gdip::Font font;
  if (fontFamily.CreateFromName(family) && font.Create(fontFamily, 12.0f, 0, Gdiplus::UnitWorld))
    Theme().fontFamily = family;
  return Theme().fontFamily == family;
}

int ApplyBackgroundPicture(const ByteBuffer& picture) {
  ThemeState& theme = Theme();
  if (&picture != &theme.picture) theme.picture = picture;
  LoadThemeColours(theme.picture, 0, false);
  ComposeBackground(theme.background, theme.picture, true);
  // A window may change the list while it handles the messages: walk a copy.
  std::vector<HWND> windows = ThemedWindows();
  for (HWND hwnd : windows) {
    ::SendMessageW(hwnd, kThemeChangingMessage, 0, 0);
    ::SendMessageW(hwnd, kThemeChangedMessage, 0, 0);
  }
  return static_cast<int>(windows.size());
}

void LoadThemeColours(const ByteBuffer& picture, Colour colour, bool colourGiven) {
  ThemeCachePaths paths = CachePathsForPicture(picture);
  ThemeSettings& colours = Theme().colours;
  // A colour file that does not hold (damaged, emptied, edited out of range) would
  // draw every later box in wrong colours: it is derived and written again.
  if (std::optional<ThemeSettings> stored = ReadColourFile(paths.colourFile)) {
    colours = *stored;
    return;
  }
  colours.img_rgb = colourGiven ? colour : AverageColour(picture);
  colours.text_rgb1 = TextColourFor(colours.img_rgb);
  colours.text_rgb2 = InverseColour(colours.text_rgb1);
  if (!Theme().settingsWritingEnabled) return;
  // Before the first background of this picture is saved its folder does not exist
  // and this write fails silently; the next application of the picture writes it.
  ReplaceFileWith(paths.colourFile, ColourFileText(colours));
}

void ComposeBackground(gdip::Bitmap& target, const ByteBuffer& picture, bool force) {
  SIZE screen{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ComposeBackgroundForScreen(target, picture, force, screen);
}

void ComposeBackgroundForScreen(gdip::Bitmap& target, const ByteBuffer& picture, bool force, SIZE screen) {
  ThemeState& theme = Theme();
  if (theme.composedWidth >= screen.cx && !force) return;
  theme.composedWidth = screen.cx;

  ThemeCachePaths paths = CachePathsForPicture(picture);
  if (LoadCachedBackground(target, paths, screen)) return;

  ComposeInto(target, picture, screen.cx + 10, screen.cy + 10);

  if (!theme.settingsWritingEnabled) return;
  ::CreateDirectoryW(Widen(paths.engineFolder).c_str(), nullptr);
  ::CreateDirectoryW(Widen(paths.pictureFolder).c_str(), nullptr);
  const ByteBuffer saved = SaveBackground(target, paths.background);
  if (saved.empty()) g_errorReporter(JoinTexts({kCacheWriteErrorText, paths.background}));
  // Written whole, so a damaged size file is mended too. No digest when nothing was
  // saved: whatever is at the path is not ours.
  ReplaceFileWith(paths.sizeFile, "[pm]\r\n1=" + std::to_string(screen.cx) + "\r\n2=" + std::to_string(screen.cy) +
                                      "\r\nmd5=" + (saved.empty() ? Text() : Md5Hex(saved.data(), saved.size())) +
                                      "\r\n");
}

Text PictureKey(const ByteBuffer& picture) { return Md5Hex(picture.data(), picture.size()); }

Colour AverageColour(const ByteBuffer& picture) {
  gdip::Bitmap pixel;
  pixel.CreateEmpty(1, 1, gdip::kPixelFormat32bppARGB);
  gdip::Bitmap decoded;
  if (decoded.LoadFromBytes(picture)) {
    gdip::Graphics g;
    g.CreateForImage(pixel);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.DrawImage(decoded, MakeRectF(0, 0, 1, 1),
                MakeRectF(0, 0, static_cast<float>(decoded.Width()), static_cast<float>(decoded.Height())),
                Gdiplus::UnitPixel);
  }
  gdip::ARGB c = pixel.GetPixel(0, 0);
  return MakeColour((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

ThemeCachePaths CachePathsFor(std::string_view appData, std::string_view key) {
  ThemeCachePaths p;
  p.engineFolder = JoinTexts({appData, "\\E_UIEngine\\"});
  p.pictureFolder = JoinTexts({p.engineFolder, key, "\\"});
  p.colourFile = JoinTexts({p.pictureFolder, key, ".db"});
  p.background = JoinTexts({p.pictureFolder, key, ".jpg"});
  p.sizeFile = p.background + ".data";
  return p;
}
