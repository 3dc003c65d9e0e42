// Our SkinH_EL.dll loaded into a test process, as the program loads it: the
// exports, and what attaching a skin does to real windows of this process.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <thread>

#include "base/unique_handle.h"
#include "skin/skin_format.h"
#include "skin/skin_rules.h"
#include "skin_test_data.h"

namespace {

using AttachRes = int(__stdcall*)(const unsigned char*, int, const char*, int, int, int);
using SetAero = int(__stdcall*)(int);

constexpr int kLabelId = 10, kOwnLabelId = 11, kEditId = 12, kButtonId = 13, kProgressId = 14;
constexpr COLORREF kClassBackground = RGB(0x12, 0x34, 0x56);

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // Like the program's transparent labels: this one label is drawn the window's own way.
  if (msg == WM_CTLCOLORSTATIC && ::GetDlgCtrlID(reinterpret_cast<HWND>(lp)) == kOwnLabelId) {
    ::SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void RegisterClassOnce(const wchar_t* name) {
  static UniqueBrush background(::CreateSolidBrush(kClassBackground));
  WNDCLASSW wc = {};
  wc.lpfnWndProc = TestWindowProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hbrBackground = background.get();
  wc.lpszClassName = name;
  ::RegisterClassW(&wc);
}

// A captioned window with one control of each kind, like the program's main window.
UniqueWindow MakeWindow(const wchar_t* cls = L"SkinTestWindow") {
  RegisterClassOnce(cls);
  HWND hwnd = ::CreateWindowExW(0, cls, L"test", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 10, 10, 400, 300,
                                nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  auto child = [&](const wchar_t* c, DWORD style, int id, int x, int y, int w, int h, DWORD exStyle = 0) {
    ::CreateWindowExW(exStyle, c, L"x", WS_CHILD | WS_VISIBLE | style, x, y, w, h, hwnd,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  };
  child(L"Static", 0, kLabelId, 5, 5, 80, 20);
  child(L"Static", 0, kOwnLabelId, 5, 30, 80, 20);
  child(L"Edit", ES_AUTOHSCROLL, kEditId, 100, 5, 100, 24, WS_EX_CLIENTEDGE);
  child(L"Button", BS_PUSHBUTTON, kButtonId, 5, 100, 80, 40);
  child(PROGRESS_CLASSW, 0, kProgressId, 100, 100, 200, 30);
  ::SendMessageW(::GetDlgItem(hwnd, kProgressId), PBM_SETRANGE32, 0, 10000);
  return UniqueWindow(hwnd);
}

// Colours equal within `tolerance` per channel (rounded corners and gradients
// may fall a pixel differently on other systems).
bool Near(COLORREF a, unsigned long b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

DWORD ButtonType(HWND button) { return static_cast<DWORD>(::GetWindowLongW(button, GWL_STYLE)) & BS_TYPEMASK; }

// Renders part of a window into a bitmap and reads pixels back.
class Snapshot {
 public:
  Snapshot(int width, int height) : dc_(::CreateCompatibleDC(nullptr)) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    old_ = ::SelectObject(dc_.get(), bitmap_.get());
  }
  ~Snapshot() { ::SelectObject(dc_.get(), old_); }
  HDC dc() const { return dc_.get(); }
  COLORREF At(int x, int y) const { return ::GetPixel(dc_.get(), x, y); }

 private:
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ old_ = nullptr;
};

COLORREF ErasedBackgroundAt(HWND hwnd, int x, int y) {
  RECT client;
  ::GetClientRect(hwnd, &client);
  Snapshot shot(client.right, client.bottom);
  ::SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(shot.dc()), 0);
  return shot.At(x, y);
}

COLORREF PrintedClientAt(HWND hwnd, int x, int y) {
  RECT client;
  ::GetClientRect(hwnd, &client);
  Snapshot shot(client.right, client.bottom);
  ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.dc()), PRF_CLIENT | PRF_ERASEBKGND);
  return shot.At(x, y);
}

// The colours a WM_CTLCOLOR* answer leaves in the control's DC, and the brush.
struct ColourAnswer {
  HBRUSH brush;
  COLORREF text;
  COLORREF back;
  int mode;
};
ColourAnswer AskColours(HWND parent, UINT msg, HWND control) {
  WindowDc dc(control);
  auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(parent, msg, reinterpret_cast<WPARAM>(dc.get()),
                                                        reinterpret_cast<LPARAM>(control)));
  return {brush, ::GetTextColor(dc.get()), ::GetBkColor(dc.get()), ::GetBkMode(dc.get())};
}

void PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

class SkinLibrary : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::InitCommonControls();
    module_ = ::LoadLibraryW(BuiltSkinLibraryPath().c_str());
    ASSERT_NE(module_, nullptr);
    attach_ = reinterpret_cast<AttachRes>(reinterpret_cast<void*>(::GetProcAddress(module_, "SkinH_AttachRes")));
    aero_ = reinterpret_cast<SetAero>(reinterpret_cast<void*>(::GetProcAddress(module_, "SkinH_SetAero")));
  }
  void SetUp() override {
    ASSERT_NE(attach_, nullptr);
    attach_(nullptr, 0, "", 0, 0, 0);
  }
  void TearDown() override { attach_(nullptr, 0, "", 0, 0, 0); }

  static int Attach(const Bytes& skin) {
    return attach_(skin.empty() ? nullptr : skin.data(), static_cast<int>(skin.size()), "", 0, 0, 0);
  }
  static skin::Palette PaletteOf(int n) {
    const Bytes b = GeneratedSkin(n);
    return *skin::ParseSkin(b.data(), b.size()).palette;
  }

  static HMODULE module_;
  static AttachRes attach_;
  static SetAero aero_;
};
HMODULE SkinLibrary::module_ = nullptr;
AttachRes SkinLibrary::attach_ = nullptr;
SetAero SkinLibrary::aero_ = nullptr;

}  // namespace

TEST_F(SkinLibrary, ExportsBothFunctionsUndecorated) {
  EXPECT_NE(attach_, nullptr);
  EXPECT_NE(aero_, nullptr);
  EXPECT_EQ(::GetProcAddress(module_, "_SkinH_AttachRes@24"), nullptr);
}

TEST_F(SkinLibrary, SkinsExistingWindowsAndTheirControls) {
  UniqueWindow window = MakeWindow();
  HWND hwnd = window.get();
  EXPECT_EQ(ErasedBackgroundAt(hwnd, 0, 0), kClassBackground);

  ASSERT_EQ(Attach(GeneratedSkin(10)), 1);
  const skin::Palette p = PaletteOf(10);
  EXPECT_EQ(ErasedBackgroundAt(hwnd, 0, 0), p.windowTop);

  // Push buttons are drawn by the skin; the face below the text is the skin's.
  HWND button = ::GetDlgItem(hwnd, kButtonId);
  EXPECT_EQ(ButtonType(button), static_cast<DWORD>(BS_OWNERDRAW));
  const skin::ButtonLook& normal = p.button[skin::kButtonNormal];
  EXPECT_PRED3(Near, PrintedClientAt(button, 40, 34), skin::GradientColour(normal.faceTop, normal.faceBottom, 34, 39), 8);
  EXPECT_PRED3(Near, PrintedClientAt(button, 40, 3), skin::GradientColour(normal.faceTop, normal.faceBottom, 3, 39), 8);

  // Edit boxes take the skin's colours; disabled ones the disabled colours.
  HWND edit = ::GetDlgItem(hwnd, kEditId);
  ColourAnswer answer = AskColours(hwnd, WM_CTLCOLOREDIT, edit);
  EXPECT_EQ(answer.text, p.editText);
  EXPECT_EQ(answer.back, p.editBack);
  ::EnableWindow(edit, FALSE);
  answer = AskColours(hwnd, WM_CTLCOLORSTATIC, edit);
  EXPECT_EQ(answer.text, p.editDisabledText);
  EXPECT_EQ(answer.back, p.editDisabledBack);

  // Labels show the window background through; the window's own answer stands.
  answer = AskColours(hwnd, WM_CTLCOLORSTATIC, ::GetDlgItem(hwnd, kLabelId));
  EXPECT_EQ(answer.mode, TRANSPARENT);
  EXPECT_EQ(answer.text, p.windowText);
  EXPECT_NE(answer.brush, ::GetSysColorBrush(COLOR_BTNFACE));
  // ... and the label's own painting lines up with the window background behind it.
  EXPECT_EQ(PrintedClientAt(::GetDlgItem(hwnd, kLabelId), 70, 15), ErasedBackgroundAt(hwnd, 5 + 70, 5 + 15));
  EXPECT_NE(ErasedBackgroundAt(hwnd, 5 + 70, 5 + 15), ErasedBackgroundAt(hwnd, 5 + 70, 5 + 200));
  answer = AskColours(hwnd, WM_CTLCOLORSTATIC, ::GetDlgItem(hwnd, kOwnLabelId));
  EXPECT_EQ(answer.brush, ::GetStockObject(NULL_BRUSH));

  // The progress bar: filled part on the left, track on the right.
  HWND progress = ::GetDlgItem(hwnd, kProgressId);
  ::SendMessageW(progress, PBM_SETPOS, 5000, 0);
  EXPECT_EQ(PrintedClientAt(progress, 20, 26), p.progressFillBottom);
  EXPECT_EQ(PrintedClientAt(progress, 180, 15), p.progressTrack);
}

TEST_F(SkinLibrary, PushButtonsShowTheirState) {
  UniqueWindow window = MakeWindow();
  HWND button = ::GetDlgItem(window.get(), kButtonId);
  ASSERT_EQ(Attach(GeneratedSkin(10)), 1);
  const skin::Palette p = PaletteOf(10);
  auto faceIs = [&](skin::ButtonState state) {
    const skin::ButtonLook& look = p.button[state];
    return Near(PrintedClientAt(button, 40, 3), skin::GradientColour(look.faceTop, look.faceBottom, 3, 39), 8);
  };
  EXPECT_TRUE(faceIs(skin::kButtonNormal));
  ::SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_TRUE(faceIs(skin::kButtonHot));
  ::SendMessageW(button, BM_SETSTATE, TRUE, 0);
  EXPECT_TRUE(faceIs(skin::kButtonPressed));
  ::SendMessageW(button, BM_SETSTATE, FALSE, 0);
  ::SendMessageW(button, WM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(faceIs(skin::kButtonNormal));
  ::EnableWindow(button, FALSE);
  EXPECT_TRUE(faceIs(skin::kButtonDisabled));
}

TEST_F(SkinLibrary, NoSkinOrABadOneGivesTheDefaultLookBack) {
  UniqueWindow window = MakeWindow();
  HWND hwnd = window.get();
  HWND button = ::GetDlgItem(hwnd, kButtonId);
  const Bytes good = GeneratedSkin(10);
  Bytes truncated(good.begin(), good.begin() + good.size() / 2);
  Bytes wrongMagic = good;
  wrongMagic[0] = 'X';

  for (const Bytes* bad : {&truncated, &wrongMagic}) {
    ASSERT_EQ(Attach(good), 1);
    ASSERT_EQ(ButtonType(button), static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(Attach(*bad), 0);
    EXPECT_EQ(ButtonType(button), static_cast<DWORD>(BS_PUSHBUTTON));
    EXPECT_EQ(ErasedBackgroundAt(hwnd, 0, 0), kClassBackground);
  }
  ASSERT_EQ(Attach(good), 1);
  EXPECT_EQ(attach_(nullptr, 0, "", 0, 0, 0), 0);
  EXPECT_EQ(ButtonType(button), static_cast<DWORD>(BS_PUSHBUTTON));
  EXPECT_EQ(attach_(good.data(), -5, nullptr, 0, 0, 0), 0);
  EXPECT_EQ(ErasedBackgroundAt(hwnd, 0, 0), kClassBackground);
}

TEST_F(SkinLibrary, AttachingAgainReplacesTheSkin) {
  UniqueWindow window = MakeWindow();
  ASSERT_EQ(Attach(GeneratedSkin(10)), 1);
  ASSERT_EQ(Attach(GeneratedSkin(3)), 1);
  EXPECT_EQ(ErasedBackgroundAt(window.get(), 0, 0), PaletteOf(3).windowTop);
  EXPECT_EQ(ButtonType(::GetDlgItem(window.get(), kButtonId)), static_cast<DWORD>(BS_OWNERDRAW));
}

TEST_F(SkinLibrary, SkinsWindowsCreatedLaterButLeavesTheEnginesAlone) {
  ASSERT_EQ(Attach(GeneratedSkin(10)), 1);
  UniqueWindow later = MakeWindow();
  EXPECT_EQ(ButtonType(::GetDlgItem(later.get(), kButtonId)), static_cast<DWORD>(BS_OWNERDRAW));
  EXPECT_EQ(ErasedBackgroundAt(later.get(), 0, 0), PaletteOf(10).windowTop);

  UniqueWindow engine = MakeWindow(L"MyWindow");
  EXPECT_EQ(ButtonType(::GetDlgItem(engine.get(), kButtonId)), static_cast<DWORD>(BS_PUSHBUTTON));
  EXPECT_EQ(ErasedBackgroundAt(engine.get(), 0, 0), kClassBackground);
}

TEST_F(SkinLibrary, MessageBoxesKeepTheSystemLook) {
  ASSERT_EQ(Attach(GeneratedSkin(10)), 1);
  DWORD okType = 0xFFFF;
  bool found = false;
  // The box is modal on this (hooked) thread; another thread looks at it and closes it.
  std::thread inspector([&] {
    for (int i = 0; i < 200 && !found; ++i) {
      HWND box = ::FindWindowW(L"#32770", L"skin test box");
      if (box) {
        found = true;
        okType = ButtonType(::GetDlgItem(box, IDOK));
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
      ::Sleep(25);
    }
  });
  ::MessageBoxW(nullptr, L"text", L"skin test box", MB_OK);
  inspector.join();
  ASSERT_TRUE(found);
  EXPECT_NE(okType, static_cast<DWORD>(BS_OWNERDRAW));
}

namespace {

// A window made on a thread of its own, which runs `first` before it makes the window
// and then serves its messages until the object goes.
class WindowOnAnotherThread {
 public:
  explicit WindowOnAnotherThread(std::function<void()> first = {}) {
    UniqueKernelHandle ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_ = std::thread([this, first, event = ready.get()] {
      if (first) first();
      UniqueWindow window = MakeWindow();
      hwnd_ = window.get();
      threadId_ = ::GetCurrentThreadId();
      ::SetEvent(event);
      MSG msg;
      while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    });
    ::WaitForSingleObject(ready.get(), 5000);
  }
  ~WindowOnAnotherThread() {
    ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  HWND button() const { return ::GetDlgItem(hwnd_, kButtonId); }
  // Returns once the thread has handled what was sent to its window before.
  void Sync() const { ::SendMessageW(hwnd_, WM_NULL, 0, 0); }

 private:
  std::thread thread_;
  HWND hwnd_ = nullptr;
  DWORD threadId_ = 0;
};

}  // namespace

TEST_F(SkinLibrary, SkinsWindowsOfOtherThreadsOnTheirOwnThread) {
  WindowOnAnotherThread other;
  ASSERT_EQ(Attach(GeneratedSkin(10)), 1);
  other.Sync();
  EXPECT_EQ(ButtonType(other.button()), static_cast<DWORD>(BS_OWNERDRAW));
}

TEST_F(SkinLibrary, AThreadThatAttachedItselfIsStillTakenOverFromAnother) {
  // The other thread attached a skin itself (it watches its own new windows), took it
  // off again and made a window meanwhile: an attach from this thread must still
  // reach that window, on its own thread.
  WindowOnAnotherThread other([] {
    Attach(GeneratedSkin(10));
    Attach({});
  });
  EXPECT_EQ(ButtonType(other.button()), static_cast<DWORD>(BS_PUSHBUTTON));
  ASSERT_EQ(Attach(GeneratedSkin(10)), 1);
  other.Sync();
  EXPECT_EQ(ButtonType(other.button()), static_cast<DWORD>(BS_OWNERDRAW));
}

TEST_F(SkinLibrary, AeroIsHarmlessWithoutComposition) {
  UniqueWindow window = MakeWindow();
  ASSERT_EQ(Attach(GeneratedSkin(10)), 1);
  const int composed = aero_(1);
  EXPECT_TRUE(composed == 0 || composed == 1);
  EXPECT_EQ(ErasedBackgroundAt(window.get(), 0, 0), PaletteOf(10).windowTop);
  aero_(0);
  PumpMessages();
}
