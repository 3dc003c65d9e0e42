#include "uiengine/core/event_dispatch.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <mutex>

#include "base/codepage.h"

namespace dispatch {
namespace {

// Tree-view selection change, ANSI and Unicode forms.
constexpr int kTreeSelChangedA = -402;
constexpr int kTreeSelChangedW = -451;
constexpr int kClick = -2;       // NM_CLICK
constexpr int kDblClk = -3;      // NM_DBLCLK
constexpr int kRightClick = -5;  // NM_RCLICK

struct Registries {
  std::mutex lock;
  std::vector<ControlEventRecord> controls;
  std::vector<ScrollEventRecord> scrolls;
  std::vector<MenuCommandRecord> menus;
  // A deque keeps each record's text in place while records are added, so the
  // pointer handed to a tooltip stays valid.
  std::deque<TooltipTextRecord> tooltips;
};

Registries& Tables() {
  static Registries tables;
  return tables;
}

std::atomic<HWND> g_currentControl{nullptr};
std::atomic<int> g_scrollMinimum{0};
std::atomic<int> g_scrollMaximum{0};

bool StartHandler(Handler handler, int kind) {
  // Kind 19 insists: without a new thread the handler runs on this one.
  DWORD flags = kind == kKindCommand ? CTF_INSIST : 0;
  return ::SHCreateThread(handler, nullptr, flags, nullptr) != FALSE;
}

int EventForScrollCode(int code) {
  switch (code) {
    case SB_LINELEFT: return kEventLineLeft;
    case SB_LINERIGHT: return kEventLineRight;
    case SB_PAGELEFT: return kEventPageLeft;
    case SB_PAGERIGHT: return kEventPageRight;
    case SB_THUMBTRACK: return kEventThumbTrack;
    default: return 0;
  }
}

bool IsScroll(UINT message) { return message == WM_HSCROLL || message == WM_VSCROLL; }

// The messages the rules act on. Only these set the dispatch context: otherwise the
// messages a control sends while the dispatcher works (WM_CTLCOLORSCROLLBAR when a
// bar's position is set, paints) would replace the control a handler is about to read.
bool IsEventMessage(UINT message) {
  switch (message) {
    case WM_SIZE:
    case WM_DESTROY:
    case WM_RBUTTONUP:
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
      return true;
    default:
      return false;
  }
}

// Answers a tooltip's request for its text; true when a record matched.
bool AnswerTooltip(const MessageFacts& m) {
  int code = static_cast<int>(m.header.code);
  if (code != static_cast<int>(TTN_GETDISPINFOA) && code != static_cast<int>(TTN_GETDISPINFOW)) return false;
  std::lock_guard<std::mutex> guard(Tables().lock);
  for (const auto& record : Tables().tooltips) {
    if (record.toolId != m.header.idFrom) continue;
    if (code == static_cast<int>(TTN_GETDISPINFOA))
      reinterpret_cast<NMTTDISPINFOA*>(m.lParam)->lpszText = const_cast<char*>(record.text.c_str());
    else
      reinterpret_cast<NMTTDISPINFOW*>(m.lParam)->lpszText = const_cast<WCHAR*>(record.wideText.c_str());
    return true;
  }
  return false;
}

}  // namespace

// --- Registration ------------------------------------------------------------------

void RegisterControlHandler(UINT_PTR controlOrCommandId, int kind, int event, Handler handler) {
  std::lock_guard<std::mutex> guard(Tables().lock);
  Tables().controls.push_back({controlOrCommandId, handler, kind, event});
}

bool RegisterWindowHandlerOnce(HWND window, int event, Handler handler) {
  std::lock_guard<std::mutex> guard(Tables().lock);
  auto& controls = Tables().controls;
  UINT_PTR key = reinterpret_cast<UINT_PTR>(window);
  if (std::any_of(controls.begin(), controls.end(), [&](const ControlEventRecord& r) { return r.control == key; }))
    return false;
  controls.push_back({key, handler, kKindWindow, event});
  return true;
}

void RegisterScrollHandler(HWND bar, int event, int lineStep, int pageStep, int minimum, int maximum,
                           Handler handler) {
  std::lock_guard<std::mutex> guard(Tables().lock);
  Tables().scrolls.push_back({bar, handler, 0, event, lineStep, pageStep, minimum, maximum});
}

void RegisterMenuCommandHandler(HWND owner, UINT commandId, Handler handler) {
  std::lock_guard<std::mutex> guard(Tables().lock);
  Tables().menus.push_back({owner, handler, 0, kEventMenuCommand, commandId});
}

void RegisterTooltipText(UINT_PTR toolId, const Text& text) {
  std::lock_guard<std::mutex> guard(Tables().lock);
  Tables().tooltips.push_back({toolId, text, Widen(text)});
}

std::vector<ControlEventRecord> ControlEventTable() {
  std::lock_guard<std::mutex> guard(Tables().lock);
  return Tables().controls;
}
std::vector<ScrollEventRecord> ScrollEventTable() {
  std::lock_guard<std::mutex> guard(Tables().lock);
  return Tables().scrolls;
}
std::vector<MenuCommandRecord> MenuCommandTable() {
  std::lock_guard<std::mutex> guard(Tables().lock);
  return Tables().menus;
}
size_t TooltipTextCount() {
  std::lock_guard<std::mutex> guard(Tables().lock);
  return Tables().tooltips.size();
}

void ClearRegistries() {
  std::lock_guard<std::mutex> guard(Tables().lock);
  Tables().controls.clear();
  Tables().scrolls.clear();
  Tables().menus.clear();
  Tables().tooltips.clear();
}

// --- Dispatch context ----------------------------------------------------------------

HWND CurrentControl() { return g_currentControl.load(); }
int ScrollMinimum() { return g_scrollMinimum.load(); }
int ScrollMaximum() { return g_scrollMaximum.load(); }

// --- The rules -------------------------------------------------------------------------

HWND ControlOf(const MessageFacts& m, HWND focus) {
  switch (m.message) {
    case WM_SIZE:
    case WM_DESTROY:
    case WM_RBUTTONUP:
      return m.hwnd;
    case WM_HSCROLL:
    case WM_VSCROLL:
      return reinterpret_cast<HWND>(m.lParam);
    case WM_COMMAND:
      return m.lParam ? reinterpret_cast<HWND>(m.lParam) : focus;
    case WM_NOTIFY:
      return m.header.hwndFrom;
    default:
      return focus;
  }
}

std::optional<ControlEventRecord> MatchControlEvent(const std::vector<ControlEventRecord>& records,
                                                    const MessageFacts& m) {
  const UINT_PTR self = reinterpret_cast<UINT_PTR>(m.hwnd);
  const UINT_PTR sender = static_cast<UINT_PTR>(m.lParam);
  const int notification = HighWord(m.wParam);
  const int code = static_cast<int>(m.header.code);
  const UINT_PTR from = reinterpret_cast<UINT_PTR>(m.header.hwndFrom);
  for (const auto& r : records) {
    bool match = false;
    switch (m.message) {
      case WM_SIZE:
        match = r.kind == kKindWindow && r.control == self && r.event == kEventResize;
        break;
      case WM_DESTROY:
        match = r.kind == kKindWindow && r.control == self && r.event == kEventDestroy;
        break;
      case WM_RBUTTONUP:
        match = r.kind == kKindWindow && r.control == self && r.event == kEventRightClick;
        break;
      case WM_COMMAND:
        if (sender == 0 || r.control != sender) break;
        match = r.kind == kKindCommand || (r.kind == kKindEdit && notification == EN_CHANGE) ||
                (r.kind == kKindComboBox && m.comboDroppedDown && notification == CBN_SELENDOK) ||
                (r.kind == kKindListBox && ((notification == LBN_SELCHANGE && r.event == kEventListSelChange) ||
                                            (notification == LBN_DBLCLK && r.event == kEventListDblClk)));
        break;
      case WM_NOTIFY:
        if (r.control != from) break;
        if (r.kind == kKindListView)
          match = (code == kDblClk && r.event == kEventDblClk) || (code == kClick && r.event == kEventClick) ||
                  (code == kRightClick && r.event == kEventRightClick);
        else if (r.kind == kKindTreeView)
          match = (code == kDblClk && r.event == kEventTreeDblClk) ||
                  ((code == kTreeSelChangedA || code == kTreeSelChangedW) && r.event == kEventTreeSelChanged) ||
                  (code == kRightClick && r.event == kEventRightClick);
        break;
      default:
        break;
    }
    if (match) return r;
  }
  return std::nullopt;
}

std::optional<ControlEventRecord> MatchCommandId(const std::vector<ControlEventRecord>& records,
                                                 const MessageFacts& m) {
  if (m.message != WM_COMMAND) return std::nullopt;
  for (const auto& r : records)
    if (r.kind == kKindEdit && r.event == kEventCommandId && r.control == static_cast<UINT_PTR>(LowWord(m.wParam)))
      return r;
  return std::nullopt;
}

std::optional<MenuCommandRecord> MatchMenuCommand(const std::vector<MenuCommandRecord>& records,
                                                  const MessageFacts& m) {
  // Menus (and accelerators) send lParam 0 and the command id in the low word; Wine
  // passes a menu item's whole 32-bit id, so the high word is not looked at.
  if (m.message != WM_COMMAND || m.lParam != 0) return std::nullopt;
  for (const auto& r : records)
    if (r.owner == m.hwnd && r.event == kEventMenuCommand && static_cast<int>(r.commandId & 0xFFFF) == LowWord(m.wParam))
      return r;
  return std::nullopt;
}

std::optional<ScrollEventRecord> MatchScroll(const std::vector<ScrollEventRecord>& records, const MessageFacts& m) {
  if (!IsScroll(m.message) || m.lParam == 0) return std::nullopt;
  int event = EventForScrollCode(LowWord(m.wParam));
  if (event == 0) return std::nullopt;
  for (const auto& r : records)
    if (r.bar == reinterpret_cast<HWND>(m.lParam) && r.event == event) return r;
  return std::nullopt;
}

int NextScrollPosition(const ScrollEventRecord& r, int code, int thumbPosition, int current) {
  switch (code) {
    case SB_LINELEFT: return std::max(current - r.lineStep, r.minimum);
    case SB_LINERIGHT: return std::min(current + r.lineStep, r.maximum);
    case SB_PAGELEFT: return std::max(current - r.pageStep, r.minimum);
    case SB_PAGERIGHT: return std::min(current + r.pageStep, r.maximum);
    case SB_THUMBTRACK: return std::min(thumbPosition, r.maximum);
    default: return current;
  }
}

// --- Dispatch ----------------------------------------------------------------------

int DispatchEvent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!IsEventMessage(message)) return 0;
  MessageFacts m;
  m.hwnd = hwnd;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  if (message == WM_NOTIFY && lParam) std::memcpy(&m.header, reinterpret_cast<const void*>(lParam), sizeof(NMHDR));

  HWND control = ControlOf(m, ::GetFocus());
  g_currentControl.store(control);

  std::vector<ControlEventRecord> own, commandIds;
  std::vector<ScrollEventRecord> bars;
  std::vector<MenuCommandRecord> menus;
  bool anyTooltips = false;
  {
    std::lock_guard<std::mutex> guard(Tables().lock);
    for (const auto& r : Tables().controls) {
      if (r.control == reinterpret_cast<UINT_PTR>(control)) own.push_back(r);
      if (r.kind == kKindEdit) commandIds.push_back(r);
    }
    for (const auto& r : Tables().scrolls)
      if (r.bar == control) bars.push_back(r);
    for (const auto& r : Tables().menus)
      if (r.owner == hwnd) menus.push_back(r);
    anyTooltips = !Tables().tooltips.empty();
  }

  if (message == WM_COMMAND && lParam &&
      std::any_of(own.begin(), own.end(), [](const ControlEventRecord& r) { return r.kind == kKindComboBox; }))
    m.comboDroppedDown = ::SendMessageW(reinterpret_cast<HWND>(lParam), CB_GETDROPPEDSTATE, 0, 0) == 1;

  int started = 0;
  if (auto r = MatchControlEvent(own, m)) started += StartHandler(r->handler, r->kind);
  if (auto r = MatchCommandId(commandIds, m)) started += StartHandler(r->handler, r->kind);
  if (auto r = MatchMenuCommand(menus, m)) started += StartHandler(r->handler, r->kind);
  if (message == WM_NOTIFY && lParam && anyTooltips) AnswerTooltip(m);
  if (auto r = MatchScroll(bars, m)) {
    g_scrollMinimum.store(r->minimum);
    g_scrollMaximum.store(r->maximum);
    HWND bar = r->bar;
    int current = static_cast<int>(::SendMessageW(bar, SBM_GETPOS, 0, 0));
    int next = NextScrollPosition(*r, LowWord(wParam), HighWord(wParam), current);
    ::SendMessageW(bar, SBM_SETPOS, static_cast<WPARAM>(next), TRUE);
    started += StartHandler(r->handler, r->kind);
  }
  return started;
}

}  // namespace dispatch
