#include "skin/window_skinning.h"

#include <commctrl.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <vector>

#include "base/display_dpi.h"
#include "skin/aero_effect.h"
#include "skin/control_painting.h"
#include "skin/face_scale.h"
#include "skin/skin_rules.h"
#include "skin/skin_theme.h"

namespace skin {
namespace {

constexpr UINT_PTR kFrameSubclass = 0x534B4E46;    // "SKNF"
constexpr UINT_PTR kControlSubclass = 0x534B4E43;  // "SKNC"

HINSTANCE g_module = nullptr;
std::atomic<bool> g_aero{false};

std::mutex g_mutex;  // guards the two tables below; never held across window calls
std::set<HWND> g_frames;
struct ThreadHooks {
  ULONGLONG threadCreated = 0;  // tells a thread apart from a later one with the same id
  UniqueHook cbt;
  UniqueHook callWndProc;
};
std::map<DWORD, ThreadHooks> g_hookedThreads;

// Sent to a window of another thread so that it is taken over on its own thread.
UINT ApplyMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"LanshiSkin.Apply");
  return message;
}
// Sent to every skinned window when the theme changes.
UINT RefreshMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"LanshiSkin.Refresh");
  return message;
}

struct FrameState {
  ThemePtr builtFor;  // the theme the cached background was drawn with
  SIZE size = {0, 0};
  UniqueBitmap background;
  UniqueBrush backgroundBrush;  // pattern brush over `background`
};

struct ControlState {
  ControlKind kind;
  bool created;             // false while hooked at creation and WM_CREATE has not run yet
  bool hot = false;         // mouse over a push button
  bool ownerDrawn = false;  // a push button we made owner-drawn
  DWORD buttonType = BS_PUSHBUTTON;  // the push button's own type while we draw it
};

LRESULT CALLBACK FrameProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

// The 64-bit MinGW import library lacks GetWindowSubclass; comctl32 exports it by
// name (and as ordinal 411), so it is looked up once.
BOOL SubclassData(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR* ref) {
  using Fn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);
  static const Fn fn = [] {
    HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
    FARPROC p = comctl ? ::GetProcAddress(comctl, "GetWindowSubclass") : nullptr;
    if (!p && comctl) p = ::GetProcAddress(comctl, MAKEINTRESOURCEA(411));
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(p));
  }();
  return fn ? fn(hwnd, proc, id, ref) : FALSE;
}

FrameState* FrameStateOf(HWND frame) {
  DWORD_PTR ref = 0;
  if (!frame || !SubclassData(frame, FrameProc, kFrameSubclass, &ref)) return nullptr;
  return reinterpret_cast<FrameState*>(ref);
}

ControlState* ControlStateOf(HWND control) {
  DWORD_PTR ref = 0;
  if (!control || !SubclassData(control, ControlProc, kControlSubclass, &ref)) return nullptr;
  return reinterpret_cast<ControlState*>(ref);
}

bool IsSkinnedFrame(HWND hwnd) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_frames.count(hwnd) != 0;
}

bool OnThisThread(HWND hwnd) { return ::GetWindowThreadProcessId(hwnd, nullptr) == ::GetCurrentThreadId(); }

std::wstring ClassNameOf(HWND hwnd) {
  wchar_t name[128] = {};
  const int length = ::GetClassNameW(hwnd, name, 127);
  return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

POINT OriginInParent(HWND child, HWND parent) {
  POINT origin = {0, 0};
  ::MapWindowPoints(child, parent, &origin, 1);
  return origin;
}

std::vector<HWND> DirectChildren(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

// The window background for the theme, rebuilt when the size or theme changed.
HBRUSH FrameBackground(HWND frame, FrameState& state, const ThemePtr& theme) {
  RECT client;
  ::GetClientRect(frame, &client);
  if (state.builtFor != theme || state.size.cx != client.right || state.size.cy != client.bottom ||
      !state.backgroundBrush) {
    state.backgroundBrush.reset();
    state.background = MakeBackgroundBitmap(client.right, client.bottom, theme->palette);
    if (state.background) state.backgroundBrush.reset(::CreatePatternBrush(state.background.get()));
    state.builtFor = theme;
    state.size = {client.right, client.bottom};
  }
  return state.backgroundBrush.get();
}

// A window procedure that answered WM_CTLCOLOR* with its own brush chose its
// own look for that control (e.g. the program's transparent labels); the
// system's answer means nobody did.
bool IsDefaultColourAnswer(LRESULT answer) {
  return answer == 0 || answer == reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE)) ||
         answer == reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
}

LRESULT ControlColours(HWND frame, FrameState& state, const ThemePtr& theme, UINT msg, HDC dc, HWND control) {
  const Palette& p = theme->palette;
  const bool isEdit = ClassifyControl(ClassNameOf(control), static_cast<DWORD>(::GetWindowLongW(control, GWL_STYLE))) ==
                      ControlKind::kEdit;
  if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX || isEdit) {
    // Edit boxes ask with WM_CTLCOLORSTATIC when they are disabled or read-only.
    const bool inactive = msg == WM_CTLCOLORSTATIC || !::IsWindowEnabled(control);
    ::SetBkMode(dc, OPAQUE);
    ::SetTextColor(dc, inactive ? p.editDisabledText : p.editText);
    ::SetBkColor(dc, inactive ? p.editDisabledBack : p.editBack);
    return reinterpret_cast<LRESULT>(inactive ? theme->editDisabledBrush.get() : theme->editBrush.get());
  }
  // Labels, check boxes and button backgrounds show the window's background through.
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::IsWindowEnabled(control) ? p.windowText : p.editDisabledText);
  ::SetBkColor(dc, p.windowBottom);
  const POINT origin = OriginInParent(control, frame);
  ::SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
  return reinterpret_cast<LRESULT>(FrameBackground(frame, state, theme));
}

// Brings a control in line with the current theme (owner-drawn push buttons
// while a skin is attached, their own type again without one) and repaints it.
void UpdateControl(HWND control, ControlState& state) {
  if (!state.created) return;
  const bool skinned = CurrentTheme() != nullptr;
  if (state.kind == ControlKind::kPushButton) {
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(control, GWL_STYLE));
    const DWORD keep = style & 0xFFFF & ~static_cast<DWORD>(BS_TYPEMASK);
    if (skinned && !state.ownerDrawn) {
      const DWORD type = style & BS_TYPEMASK;
      if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        state.buttonType = type;
        ::DefSubclassProc(control, BM_SETSTYLE, keep | BS_OWNERDRAW, TRUE);
        state.ownerDrawn = true;
      }
    } else if (!skinned && state.ownerDrawn) {
      state.ownerDrawn = false;
      ::DefSubclassProc(control, BM_SETSTYLE, keep | state.buttonType, TRUE);
    }
  }
  ::RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void SkinControl(HWND control, DWORD style, bool beingCreated) {
  const ControlKind kind = ClassifyControl(ClassNameOf(control), style);
  if (kind == ControlKind::kNone || ControlStateOf(control) || !OnThisThread(control)) return;
  auto* state = new ControlState{kind, !beingCreated};
  if (!::SetWindowSubclass(control, ControlProc, kControlSubclass, reinterpret_cast<DWORD_PTR>(state))) {
    delete state;
    return;
  }
  UpdateControl(control, *state);
}

void RefreshFrame(HWND frame, FrameState& state) {
  state.builtFor.reset();
  state.backgroundBrush.reset();
  state.background.reset();
  for (HWND child : DirectChildren(frame)) {
    if (ControlState* control = ControlStateOf(child)) UpdateControl(child, *control);
    else if (CurrentTheme()) SkinControl(child, static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE)), false);
  }
  ::RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void SkinFrame(HWND frame, bool beingCreated) {
  if (!OnThisThread(frame)) return;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_frames.insert(frame).second) return;
  }
  auto* state = new FrameState();
  if (!::SetWindowSubclass(frame, FrameProc, kFrameSubclass, reinterpret_cast<DWORD_PTR>(state))) {
    delete state;
    std::lock_guard<std::mutex> lock(g_mutex);
    g_frames.erase(frame);
    return;
  }
  if (beingCreated) return;  // its controls are taken over as they are created; aero after WM_CREATE
  for (HWND child : DirectChildren(frame))
    SkinControl(child, static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE)), false);
  if (g_aero) ApplyAeroFrame(frame, true);
  ::RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool WantsFrame(HWND hwnd) {
  return IsSkinnableFrame(ClassNameOf(hwnd), static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE)),
                          static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_EXSTYLE)));
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  auto* state = reinterpret_cast<FrameState*>(ref);
  if (msg == WM_NCDESTROY) {
    {
      std::lock_guard<std::mutex> lock(g_mutex);
      g_frames.erase(hwnd);
    }
    ::RemoveWindowSubclass(hwnd, FrameProc, kFrameSubclass);
    delete state;
    return ::DefSubclassProc(hwnd, msg, wp, lp);
  }
  if (msg == RefreshMessage()) {
    RefreshFrame(hwnd, *state);
    return 0;
  }
  if (msg == WM_CREATE) {
    const LRESULT result = ::DefSubclassProc(hwnd, msg, wp, lp);
    if (result != -1 && g_aero) ApplyAeroFrame(hwnd, true);
    return result;
  }
  const ThemePtr theme = CurrentTheme();
  if (!theme) return ::DefSubclassProc(hwnd, msg, wp, lp);

  switch (msg) {
    case WM_ERASEBKGND: {
      RECT client;
      ::GetClientRect(hwnd, &client);
      HDC dc = reinterpret_cast<HDC>(wp);
      POINT old;
      ::SetBrushOrgEx(dc, 0, 0, &old);
      ::FillRect(dc, &client, FrameBackground(hwnd, *state, theme));
      ::SetBrushOrgEx(dc, old.x, old.y, nullptr);
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      const LRESULT answer = ::DefSubclassProc(hwnd, msg, wp, lp);
      if (!IsDefaultColourAnswer(answer)) return answer;
      return ControlColours(hwnd, *state, theme, msg, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      ControlState* control = item && item->CtlType == ODT_BUTTON ? ControlStateOf(item->hwndItem) : nullptr;
      if (!control || !control->ownerDrawn) break;
      ButtonPaint how;
      how.faces = FacesForDpi(theme->palette, WindowDpi(item->hwndItem));
      how.hot = control->hot;
      how.isDefault = control->buttonType == BS_DEFPUSHBUTTON;
      how.parentBackground = FrameBackground(hwnd, *state, theme);
      how.originInParent = OriginInParent(item->hwndItem, hwnd);
      DrawPushButton(*item, theme->palette, how);
      return TRUE;
    }
    default:
      break;
  }
  return ::DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT ProgressPaint(HWND hwnd, HDC dc, const ThemePtr& theme) {
  HWND parent = ::GetParent(hwnd);
  FrameState* frame = FrameStateOf(parent);
  HBRUSH background = frame ? FrameBackground(parent, *frame, theme) : nullptr;
  PaintProgressBar(hwnd, dc, theme->palette, FacesForDpi(theme->palette, WindowDpi(hwnd)), background,
                   OriginInParent(hwnd, parent));
  return 0;
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  auto* state = reinterpret_cast<ControlState*>(ref);
  if (msg == WM_NCDESTROY) {
    ::RemoveWindowSubclass(hwnd, ControlProc, kControlSubclass);
    delete state;
    return ::DefSubclassProc(hwnd, msg, wp, lp);
  }
  if (msg == RefreshMessage()) {
    UpdateControl(hwnd, *state);
    return 0;
  }
  switch (msg) {
    case WM_CREATE: {
      const LRESULT result = ::DefSubclassProc(hwnd, msg, wp, lp);
      if (result != -1) {
        state->created = true;
        UpdateControl(hwnd, *state);
      }
      return result;
    }
    case BM_SETSTYLE:
      // Others (the dialog manager) switch push buttons between default and
      // not: remember that, and keep drawing the button ourselves.
      if (state->ownerDrawn) {
        const DWORD type = static_cast<DWORD>(wp) & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
          state->buttonType = type;
          wp = (wp & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW;
        } else {
          state->ownerDrawn = false;  // made into another kind of button: no longer ours to draw
        }
      }
      break;
    case WM_GETDLGCODE:
      if (state->ownerDrawn) {
        // Keyboard handling as for the push button it is.
        LRESULT code = ::DefSubclassProc(hwnd, msg, wp, lp) & ~(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
        return code | (state->buttonType == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
      }
      break;
    case WM_MOUSEMOVE:
      if (state->kind == ControlKind::kPushButton && !state->hot) {
        state->hot = true;
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd, 0};
        ::TrackMouseEvent(&track);
        if (state->ownerDrawn) ::InvalidateRect(hwnd, nullptr, FALSE);
      }
      break;
    case WM_MOUSELEAVE:
      if (state->hot) {
        state->hot = false;
        if (state->ownerDrawn) ::InvalidateRect(hwnd, nullptr, FALSE);
      }
      break;
    default:
      break;
  }

  const ThemePtr theme = CurrentTheme();
  if (!theme || !state->created) return ::DefSubclassProc(hwnd, msg, wp, lp);

  if (state->kind == ControlKind::kEdit) {
    switch (msg) {
      case WM_NCPAINT: {
        const LRESULT result = ::DefSubclassProc(hwnd, msg, wp, lp);
        PaintEditBorder(hwnd, theme->palette, FacesForDpi(theme->palette, WindowDpi(hwnd)));
        return result;
      }
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
      case WM_ENABLE:
      case WM_STYLECHANGED: {
        const LRESULT result = ::DefSubclassProc(hwnd, msg, wp, lp);
        ::RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return result;
      }
      default:
        break;
    }
  } else if (state->kind == ControlKind::kProgress &&
             !(::GetWindowLongW(hwnd, GWL_STYLE) & PBS_MARQUEE)) {
    switch (msg) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        PaintDc paint(hwnd);
        ProgressPaint(hwnd, paint.get(), theme);
        return 0;
      }
      case WM_PRINTCLIENT:
        return ProgressPaint(hwnd, reinterpret_cast<HDC>(wp), theme);
      default:
        break;
    }
  }
  return ::DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND && CurrentTheme()) {
    HWND hwnd = reinterpret_cast<HWND>(wp);
    // The A and W forms share the fields read here.
    const CREATESTRUCTW* cs = reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs;
    const DWORD style = static_cast<DWORD>(cs->style);
    if (style & WS_CHILD) {
      if (IsSkinnedFrame(cs->hwndParent)) SkinControl(hwnd, style, true);
    } else if (cs->hwndParent != HWND_MESSAGE &&
               IsSkinnableFrame(ClassNameOf(hwnd), style, static_cast<DWORD>(cs->dwExStyle))) {
      SkinFrame(hwnd, true);
    }
  }
  return ::CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK CallWndProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (call->message == ApplyMessage() && CurrentTheme() && WantsFrame(call->hwnd)) SkinFrame(call->hwnd, false);
  }
  return ::CallNextHookEx(nullptr, code, wp, lp);
}

struct ProcessWindows {
  DWORD processId;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectProcessWindow(HWND hwnd, LPARAM lp) {
  auto* found = reinterpret_cast<ProcessWindows*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  if (pid == found->processId) found->windows.push_back(hwnd);
  return TRUE;
}

}  // namespace

void SetLibraryModule(HINSTANCE module) { g_module = module; }

void PinLibrary() {
  static std::once_flag once;
  std::call_once(once, [] {
    HMODULE self = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                         reinterpret_cast<LPCWSTR>(&PinLibrary), &self);
  });
}

// When the thread began (0 if it cannot be asked): thread ids are reused.
ULONGLONG ThreadCreationTime(DWORD threadId) {
  UniqueKernelHandle thread(::OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId));
  FILETIME created, exited, kernel, user;
  if (!thread || !::GetThreadTimes(thread.get(), &created, &exited, &kernel, &user)) return 0;
  return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

void HookThread(DWORD threadId) {
  const ULONGLONG created = ThreadCreationTime(threadId);
  // A sent-message hook runs on every message the thread is sent, and under Wine
  // each run costs three trips to the Wine server. It is needed only to take over
  // windows of another thread, so the calling thread goes without it.
  const bool wantsApply = threadId != ::GetCurrentThreadId();
  bool needsCbt = true;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_hookedThreads.find(threadId);
    if (it != g_hookedThreads.end() && it->second.threadCreated == created) {
      if (!wantsApply || it->second.callWndProc) return;
      needsCbt = false;  // hooked before by its own thread: add what another thread needs
    } else {
      g_hookedThreads[threadId] = ThreadHooks{created};
    }
  }
  UniqueHook cbt;
  UniqueHook callWndProc;
  if (needsCbt) cbt.reset(::SetWindowsHookExW(WH_CBT, CbtProc, g_module, threadId));
  if (wantsApply) callWndProc.reset(::SetWindowsHookExW(WH_CALLWNDPROC, CallWndProc, g_module, threadId));
  std::lock_guard<std::mutex> lock(g_mutex);
  ThreadHooks& hooks = g_hookedThreads[threadId];  // made above, with `created`
  if (needsCbt) hooks.cbt = std::move(cbt);
  if (wantsApply) hooks.callWndProc = std::move(callWndProc);
}

void SkinExistingWindows() {
  ProcessWindows found{::GetCurrentProcessId(), {}};
  ::EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&found));
  for (HWND hwnd : found.windows) {
    if (!WantsFrame(hwnd)) continue;
    const DWORD thread = ::GetWindowThreadProcessId(hwnd, nullptr);
    if (thread == ::GetCurrentThreadId()) {
      SkinFrame(hwnd, false);
    } else {
      HookThread(thread);
      ::SendNotifyMessageW(hwnd, ApplyMessage(), 0, 0);
    }
  }
}

void RefreshSkinnedWindows() {
  std::vector<HWND> frames;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    frames.assign(g_frames.begin(), g_frames.end());
  }
  for (HWND frame : frames) ::SendNotifyMessageW(frame, RefreshMessage(), 0, 0);
}

void SetAeroWanted(bool on) {
  g_aero = on;
  std::vector<HWND> frames;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    frames.assign(g_frames.begin(), g_frames.end());
  }
  for (HWND frame : frames) ApplyAeroFrame(frame, on);
}

}  // namespace skin
