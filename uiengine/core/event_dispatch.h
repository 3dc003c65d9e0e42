// The engine's event dispatcher: handlers registered for a control and a kind of
// event are started on threads of their own (SHCreateThread) when the host window
// receives the matching message. Handlers take no argument; they read the dispatch
// context (which control fired, the scroll range) instead.
//
// Control kinds and the events they answer (event ids as registered):
//   19  WM_COMMAND from the control (any event; the handler runs on the calling
//       thread when no thread can be made, CTF_INSIST)
//   34  WM_COMMAND CBN_SELENDOK while the combo box's list is dropped down
//   35  WM_COMMAND LBN_SELCHANGE (event 51) / LBN_DBLCLK (event 52)
//   38  WM_NOTIFY NM_CLICK (60) / NM_DBLCLK (61) / NM_RCLICK (65)
//   39  the window itself: WM_SIZE (62) / WM_DESTROY (63) / WM_RBUTTONUP (65)
//   40  WM_COMMAND EN_CHANGE from the control (any event), or a WM_COMMAND whose
//       low word is the record's command id (event 64)
//   81  WM_NOTIFY NM_DBLCLK (72) / TVN_SELCHANGED (71) / NM_RCLICK (65)
//   scroll bars: SB_LINELEFT/UP (66), SB_LINERIGHT/DOWN (67), SB_PAGELEFT/UP (68),
//       SB_PAGERIGHT/DOWN (69), SB_THUMBTRACK (70)
//   menus: WM_COMMAND from the window's menu, command id in the low word (73)
// The registries only grow; records are kept for the whole process.
//
// This program registers no handler, so every message passes through untouched;
// the dispatcher stays as the engine's event interface for controls on its windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "base/text.h"

namespace dispatch {

enum Kind : int {
  kKindCommand = 19,
  kKindComboBox = 34,
  kKindListBox = 35,
  kKindListView = 38,
  kKindWindow = 39,
  kKindEdit = 40,
  kKindTreeView = 81,
};

enum Event : int {
  kEventListSelChange = 51,
  kEventListDblClk = 52,
  kEventClick = 60,
  kEventDblClk = 61,
  kEventResize = 62,
  kEventDestroy = 63,
  kEventCommandId = 64,
  kEventRightClick = 65,
  kEventLineLeft = 66,
  kEventLineRight = 67,
  kEventPageLeft = 68,
  kEventPageRight = 69,
  kEventThumbTrack = 70,
  kEventTreeSelChanged = 71,
  kEventTreeDblClk = 72,
  kEventMenuCommand = 73,
};

using Handler = LPTHREAD_START_ROUTINE;

struct ControlEventRecord {
  UINT_PTR control;  // control handle, or a command id for kind 40 event 64
  Handler handler;
  int kind;
  int event;
};

struct ScrollEventRecord {
  HWND bar;
  Handler handler;
  int kind;
  int event;
  int lineStep;
  int pageStep;
  int minimum;
  int maximum;
};

struct MenuCommandRecord {
  HWND owner;  // the window whose menu sends the command
  Handler handler;
  int kind;
  int event;
  UINT commandId;  // compared with the low word of wParam
};

struct TooltipTextRecord {
  UINT_PTR toolId;
  Text text;             // GBK, handed to TTN_GETDISPINFOA
  std::wstring wideText; // the same text for TTN_GETDISPINFOW
};

// --- Registration ------------------------------------------------------------------

void RegisterControlHandler(UINT_PTR controlOrCommandId, int kind, int event, Handler handler);
// Adds {window, handler, 39, event} unless a record for `window` exists already.
// True when it added one.
bool RegisterWindowHandlerOnce(HWND window, int event, Handler handler);
void RegisterScrollHandler(HWND bar, int event, int lineStep, int pageStep, int minimum, int maximum,
                           Handler handler);
void RegisterMenuCommandHandler(HWND owner, UINT commandId, Handler handler);
// The text a tooltip shows for `toolId` (the idFrom of its TTN_GETDISPINFO request).
void RegisterTooltipText(UINT_PTR toolId, const Text& text);

// Copies of the registries, in registration order.
std::vector<ControlEventRecord> ControlEventTable();
std::vector<ScrollEventRecord> ScrollEventTable();
std::vector<MenuCommandRecord> MenuCommandTable();
size_t TooltipTextCount();

// Empties all four registries (the engine's release at exit, and tests).
void ClearRegistries();

// --- Dispatch context ----------------------------------------------------------------

// The control the last event message came from: the window itself for WM_SIZE,
// WM_DESTROY and WM_RBUTTONUP; the scroll bar for WM_H/VSCROLL; the sending control
// for WM_COMMAND (lParam; the focus window for menus) and WM_NOTIFY (hwndFrom).
// Other messages leave it alone. A handler that reads it after a later event has
// been dispatched sees the later value.
HWND CurrentControl();
// The range of the scroll record that last matched.
int ScrollMinimum();
int ScrollMaximum();

// --- The rules (pure) -----------------------------------------------------------------

struct MessageFacts {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  NMHDR header{};                // WM_NOTIFY only
  bool comboDroppedDown = false; // WM_COMMAND only: the sending combo box's list is shown
};

inline int LowWord(WPARAM w) { return static_cast<int>(w & 0xFFFF); }
// The high word with its sign kept (0xFFFF reads as -1).
inline int HighWord(WPARAM w) { return static_cast<int>(static_cast<std::int16_t>((w >> 16) & 0xFFFF)); }

HWND ControlOf(const MessageFacts& m, HWND focus);

// The first record of `records` (already those of the current control) that answers
// the message; nullopt when none does.
std::optional<ControlEventRecord> MatchControlEvent(const std::vector<ControlEventRecord>& records,
                                                    const MessageFacts& m);
// For WM_COMMAND: the first kind-40 event-64 record whose command id is the low word.
std::optional<ControlEventRecord> MatchCommandId(const std::vector<ControlEventRecord>& records,
                                                 const MessageFacts& m);
// For WM_COMMAND from a menu or accelerator (lParam 0): the first record of the
// window whose command id's low word is the low word of wParam.
std::optional<MenuCommandRecord> MatchMenuCommand(const std::vector<MenuCommandRecord>& records,
                                                  const MessageFacts& m);
// For WM_H/VSCROLL: the first record of the bar (lParam) whose event is the scroll
// code's.
std::optional<ScrollEventRecord> MatchScroll(const std::vector<ScrollEventRecord>& records, const MessageFacts& m);
// The bar's new position: line and page steps stay within [minimum, maximum]; a
// thumb-track position is limited to the maximum only.
int NextScrollPosition(const ScrollEventRecord& record, int code, int thumbPosition, int current);

// --- Dispatch ----------------------------------------------------------------------

// Runs the rules for one message of a host window and starts what matched. Returns
// the number of handlers started.
int DispatchEvent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace dispatch
