// The dispatcher's rules, first as pure decisions, then through a real host window
// whose handlers record what fired.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "base/unique_handle.h"
#include "uiengine/core/event_dispatch.h"
#include "uiengine/core/host_window.h"

namespace {

using namespace dispatch;

// --- Pure rules ----------------------------------------------------------------------

HWND H(UINT_PTR v) { return reinterpret_cast<HWND>(v); }
DWORD WINAPI NoOp(void*) { return 0; }
DWORD WINAPI OtherNoOp(void*) { return 1; }

MessageFacts Command(UINT_PTR control, int notification, int id = 0) {
  MessageFacts m;
  m.hwnd = H(0x100);
  m.message = WM_COMMAND;
  m.wParam = static_cast<WPARAM>(static_cast<unsigned>(notification) << 16 | (id & 0xFFFF));
  m.lParam = static_cast<LPARAM>(control);
  return m;
}

MessageFacts Notify(UINT_PTR from, int code) {
  MessageFacts m;
  m.hwnd = H(0x100);
  m.message = WM_NOTIFY;
  m.header.hwndFrom = H(from);
  m.header.code = static_cast<UINT>(code);
  return m;
}

MessageFacts OwnMessage(UINT message) {
  MessageFacts m;
  m.hwnd = H(0x100);
  m.message = message;
  return m;
}

TEST(DispatchRules, WhichRecordAnswersWhichMessage) {
  struct Case {
    const char* what;
    ControlEventRecord record;
    MessageFacts message;
    bool matches;
  } cases[] = {
      {"kind 19, any command from the control", {0x200, NoOp, 19, 0}, Command(0x200, BN_CLICKED), true},
      {"kind 19, another control", {0x200, NoOp, 19, 0}, Command(0x201, BN_CLICKED), false},
      {"kind 19, from a menu (no control)", {0x200, NoOp, 19, 0}, Command(0, 0, 0x200), false},
      {"kind 40, EN_CHANGE", {0x200, NoOp, 40, 0}, Command(0x200, EN_CHANGE), true},
      {"kind 40, EN_SETFOCUS", {0x200, NoOp, 40, 0}, Command(0x200, EN_SETFOCUS), false},
      {"kind 35, selection change", {0x200, NoOp, 35, 51}, Command(0x200, LBN_SELCHANGE), true},
      {"kind 35, double click", {0x200, NoOp, 35, 52}, Command(0x200, LBN_DBLCLK), true},
      {"kind 35, double click for a selection record", {0x200, NoOp, 35, 51}, Command(0x200, LBN_DBLCLK), false},
      {"kind 34, list not dropped", {0x200, NoOp, 34, 0}, Command(0x200, CBN_SELENDOK), false},
      {"kind 38, click", {0x200, NoOp, 38, 60}, Notify(0x200, -2), true},
      {"kind 38, double click", {0x200, NoOp, 38, 61}, Notify(0x200, -3), true},
      {"kind 38, right click", {0x200, NoOp, 38, 65}, Notify(0x200, -5), true},
      {"kind 38, click for a double-click record", {0x200, NoOp, 38, 61}, Notify(0x200, -2), false},
      {"kind 38, from another control", {0x200, NoOp, 38, 60}, Notify(0x300, -2), false},
      {"kind 81, double click", {0x200, NoOp, 81, 72}, Notify(0x200, -3), true},
      {"kind 81, selection changed (ANSI)", {0x200, NoOp, 81, 71}, Notify(0x200, -402), true},
      {"kind 81, selection changed (Unicode)", {0x200, NoOp, 81, 71}, Notify(0x200, -451), true},
      {"kind 81, right click", {0x200, NoOp, 81, 65}, Notify(0x200, -5), true},
      {"kind 81, click is not one of its events", {0x200, NoOp, 81, 60}, Notify(0x200, -2), false},
      {"kind 39, resize", {0x100, NoOp, 39, 62}, OwnMessage(WM_SIZE), true},
      {"kind 39, destroy", {0x100, NoOp, 39, 63}, OwnMessage(WM_DESTROY), true},
      {"kind 39, right button up", {0x100, NoOp, 39, 65}, OwnMessage(WM_RBUTTONUP), true},
      {"kind 39, resize record on destroy", {0x100, NoOp, 39, 62}, OwnMessage(WM_DESTROY), false},
      {"kind 39, another window", {0x101, NoOp, 39, 62}, OwnMessage(WM_SIZE), false},
      {"kind 19 on WM_SIZE", {0x100, NoOp, 19, 62}, OwnMessage(WM_SIZE), false},
      {"kind 39 on a paint", {0x100, NoOp, 39, 62}, OwnMessage(WM_PAINT), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.matches, MatchControlEvent({c.record}, c.message).has_value());
  }

  MessageFacts dropped = Command(0x200, CBN_SELENDOK);
  dropped.comboDroppedDown = true;
  EXPECT_TRUE(MatchControlEvent({{0x200, NoOp, 34, 0}}, dropped).has_value());
  dropped.wParam = static_cast<WPARAM>(CBN_SELCHANGE) << 16;
  EXPECT_FALSE(MatchControlEvent({{0x200, NoOp, 34, 0}}, dropped).has_value());
}

TEST(DispatchRules, FirstMatchingRecordWins) {
  std::vector<ControlEventRecord> records = {
      {0x200, NoOp, 35, 52}, {0x200, OtherNoOp, 19, 0}, {0x200, NoOp, 19, 0}};
  auto r = MatchControlEvent(records, Command(0x200, LBN_SELCHANGE));
  ASSERT_TRUE(r);
  EXPECT_EQ(OtherNoOp, r->handler);
}

TEST(DispatchRules, CommandIdsMenusAndWordHalves) {
  std::vector<ControlEventRecord> ids = {{0x1234, NoOp, 40, 63}, {0x1234, OtherNoOp, 40, 64}};
  auto r = MatchCommandId(ids, Command(0x999, 0, 0x1234));
  ASSERT_TRUE(r);
  EXPECT_EQ(OtherNoOp, r->handler);
  EXPECT_FALSE(MatchCommandId(ids, Command(0x999, 0, 0x1235)));

  std::vector<MenuCommandRecord> menus = {{H(0x100), NoOp, 0, 73, 0x16010013}};
  // Menus put the id in the low word (Wine passes all 32 bits; the low word counts).
  MessageFacts fromMenu = Command(0, 0, 0x0013);
  EXPECT_TRUE(MatchMenuCommand(menus, fromMenu));
  fromMenu.wParam = 0x0014;
  EXPECT_FALSE(MatchMenuCommand(menus, fromMenu));
  EXPECT_FALSE(MatchMenuCommand(menus, Command(0x200, 0, 0x0013))) << "from a control, not the menu";
  MessageFacts otherWindow = Command(0, 0, 0x0013);
  otherWindow.hwnd = H(0x101);
  EXPECT_FALSE(MatchMenuCommand(menus, otherWindow));

  EXPECT_EQ(-1, HighWord(0xFFFF0000u));
  EXPECT_EQ(0x7FFF, HighWord(0x7FFF0000u));
  EXPECT_EQ(0xFFFF, LowWord(0x1234FFFFu));
}

TEST(DispatchRules, ScrollPositions) {
  ScrollEventRecord r{H(0x300), NoOp, 0, 0, /*line*/ 5, /*page*/ 20, /*min*/ 10, /*max*/ 100};
  struct Case {
    int code, thumb, current, expected;
  } cases[] = {
      {SB_LINELEFT, 0, 50, 45},   {SB_LINELEFT, 0, 12, 10},   {SB_LINELEFT, 0, 3, 10},
      {SB_LINERIGHT, 0, 50, 55},  {SB_LINERIGHT, 0, 98, 100}, {SB_PAGELEFT, 0, 25, 10},
      {SB_PAGELEFT, 0, 50, 30},   {SB_PAGERIGHT, 0, 90, 100}, {SB_PAGERIGHT, 0, 50, 70},
      {SB_THUMBTRACK, 60, 50, 60}, {SB_THUMBTRACK, 500, 50, 100},
      {SB_THUMBTRACK, 2, 50, 2},  // never raised to the minimum
      {SB_ENDSCROLL, 0, 50, 50},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "code " << c.code << " current " << c.current);
    EXPECT_EQ(c.expected, NextScrollPosition(r, c.code, c.thumb, c.current));
  }

  std::vector<ScrollEventRecord> records = {{H(0x300), NoOp, 0, 66, 1, 1, 0, 9}, {H(0x300), OtherNoOp, 0, 67, 1, 1, 0, 9}};
  MessageFacts m;
  m.message = WM_HSCROLL;
  m.lParam = 0x300;
  m.wParam = SB_LINERIGHT;
  auto match = MatchScroll(records, m);
  ASSERT_TRUE(match) << "a bar can have one record per event";
  EXPECT_EQ(OtherNoOp, match->handler);
  m.wParam = SB_ENDSCROLL;
  EXPECT_FALSE(MatchScroll(records, m));
}

// --- Through a real host window ------------------------------------------------------

struct Fired {
  int handler;
  HWND control;
  int minimum, maximum;
};

std::mutex g_firedLock;
std::vector<Fired> g_fired;
HANDLE g_firedEvent = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);

template <int N>
DWORD WINAPI Recorder(void*) {
  {
    std::lock_guard<std::mutex> guard(g_firedLock);
    g_fired.push_back({N, CurrentControl(), ScrollMinimum(), ScrollMaximum()});
  }
  ::SetEvent(g_firedEvent);
  return 0;
}

class HostDispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearRegistries();
    RegisterHostWindowClass();
    {
      std::lock_guard<std::mutex> guard(g_firedLock);
      g_fired.clear();
    }
    ::ResetEvent(g_firedEvent);
    host_.Create("宿主", 300, 200, nullptr, nullptr, WS_OVERLAPPEDWINDOW);
    window_.reset(host_.Handle());
    ASSERT_TRUE(window_.valid());
  }
  void TearDown() override {
    window_.reset();
    ClearRegistries();
  }

  HWND Child(const wchar_t* cls, DWORD style, int id) {
    return ::CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 100, 20, window_.get(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
  }

  // Waits (at most 5 s) for `count` handlers and returns what fired, in order.
  // Handlers run on threads of their own and read the context of the last event
  // dispatched, so a test waits for each handler before it sends the next event.
  std::vector<Fired> WaitFor(size_t count) {
    const DWORD began = ::GetTickCount();
    for (;;) {
      {
        std::lock_guard<std::mutex> guard(g_firedLock);
        if (g_fired.size() >= count) break;
      }
      const DWORD spent = ::GetTickCount() - began;
      if (spent >= 5000) break;
      ::WaitForSingleObject(g_firedEvent, 5000 - spent);
    }
    ::Sleep(50);  // give a wrongly started extra handler the chance to show
    std::lock_guard<std::mutex> guard(g_firedLock);
    return g_fired;
  }

  HostWindow host_;
  UniqueWindow window_;
};

TEST_F(HostDispatch, EmptyRegistriesStartNothing) {
  HWND button = Child(L"BUTTON", BS_PUSHBUTTON, 7);
  EXPECT_EQ(0, DispatchEvent(window_.get(), WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), reinterpret_cast<LPARAM>(button)));
  EXPECT_EQ(button, CurrentControl());
  EXPECT_EQ(0, DispatchEvent(window_.get(), WM_SIZE, 0, MAKELPARAM(10, 10)));
  EXPECT_EQ(window_.get(), CurrentControl());
  ::SendMessageW(window_.get(), WM_SIZE, 0, MAKELPARAM(20, 20));
  EXPECT_TRUE(WaitFor(0).empty());
}

TEST_F(HostDispatch, ControlEventsStartTheirHandler) {
  HWND button = Child(L"BUTTON", BS_PUSHBUTTON, 7);
  HWND edit = Child(L"EDIT", 0, 8);
  RegisterControlHandler(reinterpret_cast<UINT_PTR>(button), kKindCommand, 0, Recorder<1>);
  RegisterControlHandler(reinterpret_cast<UINT_PTR>(edit), kKindEdit, 0, Recorder<2>);

  ::SendMessageW(button, BM_CLICK, 0, 0);  // the button tells its parent
  // A handler reads the control of the last event dispatched: the first one runs
  // before the second event comes, as two clicks of a person's would.
  ASSERT_EQ(1u, WaitFor(1).size());
  ::SetWindowTextW(edit, L"改变");         // EN_CHANGE, without the edit having the focus
  auto fired = WaitFor(2);
  ASSERT_EQ(2u, fired.size());
  EXPECT_EQ(1, fired[0].handler);
  EXPECT_EQ(button, fired[0].control);
  EXPECT_EQ(2, fired[1].handler);
  EXPECT_EQ(edit, fired[1].control);
}

TEST_F(HostDispatch, ComboBoxSelectionCountsOnlyWhileItsListIsShown) {
  HWND combo = Child(L"COMBOBOX", CBS_DROPDOWNLIST, 11);
  ::SetWindowPos(combo, nullptr, 0, 0, 100, 120, SWP_NOMOVE | SWP_NOZORDER);
  ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"一"));
  HWND list = Child(L"LISTBOX", LBS_NOTIFY, 12);
  RegisterControlHandler(reinterpret_cast<UINT_PTR>(combo), kKindComboBox, 0, Recorder<12>);
  RegisterControlHandler(reinterpret_cast<UINT_PTR>(list), kKindListBox, kEventListDblClk, Recorder<13>);
  const WPARAM selEndOk = MAKEWPARAM(11, CBN_SELENDOK);

  ::SendMessageW(window_.get(), WM_COMMAND, selEndOk, reinterpret_cast<LPARAM>(combo));
  ::SendMessageW(window_.get(), WM_COMMAND, MAKEWPARAM(12, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  EXPECT_TRUE(WaitFor(0).empty()) << "list closed; a selection change is not a double click";

  ::SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_EQ(TRUE, ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
  ::SendMessageW(window_.get(), WM_COMMAND, selEndOk, reinterpret_cast<LPARAM>(combo));
  ASSERT_EQ(1u, WaitFor(1).size()) << "a selection while the list is shown";
  ::SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  ::SendMessageW(window_.get(), WM_COMMAND, MAKEWPARAM(12, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
  auto fired = WaitFor(2);
  ASSERT_EQ(2u, fired.size());
  EXPECT_EQ(12, fired[0].handler);
  EXPECT_EQ(combo, fired[0].control);
  EXPECT_EQ(13, fired[1].handler);
}

TEST_F(HostDispatch, NotificationsMatchTheirCodeAndEvent) {
  HWND list = Child(WC_LISTVIEWW, 0, 9);
  RegisterControlHandler(reinterpret_cast<UINT_PTR>(list), kKindListView, kEventDblClk, Recorder<3>);
  RegisterControlHandler(reinterpret_cast<UINT_PTR>(list), kKindListView, kEventRightClick, Recorder<4>);
  NMHDR hdr{list, 9, static_cast<UINT>(NM_RCLICK)};
  ::SendMessageW(window_.get(), WM_NOTIFY, 9, reinterpret_cast<LPARAM>(&hdr));
  hdr.code = static_cast<UINT>(NM_CLICK);  // no record for a single click
  ::SendMessageW(window_.get(), WM_NOTIFY, 9, reinterpret_cast<LPARAM>(&hdr));
  auto fired = WaitFor(1);
  ASSERT_EQ(1u, fired.size());
  EXPECT_EQ(4, fired[0].handler);
  EXPECT_EQ(list, fired[0].control);
}

TEST_F(HostDispatch, ResizeAndDestroyOfTheWindowItself) {
  HostWindow other;
  other.Create("另一个", 100, 100, nullptr, nullptr, WS_OVERLAPPEDWINDOW);
  UniqueWindow otherWindow(other.Handle());
  host_.RegisterResizeHandler(Recorder<5>);
  host_.RegisterDestroyHandler(Recorder<6>);  // one record per window: not added
  other.RegisterDestroyHandler(Recorder<7>);
  EXPECT_EQ(2u, ControlEventTable().size());

  ::SetWindowPos(window_.get(), nullptr, 0, 0, 333, 222, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_EQ(1u, WaitFor(1).size()) << "the resize";
  otherWindow.reset();
  window_.reset();
  auto fired = WaitFor(2);
  ASSERT_EQ(2u, fired.size());
  EXPECT_EQ(5, fired[0].handler);
  EXPECT_EQ(7, fired[1].handler);
}

TEST_F(HostDispatch, MenuCommandsAndCommandIds) {
  RegisterMenuCommandHandler(window_.get(), 0x16010013, Recorder<8>);
  RegisterControlHandler(0x2222, kKindEdit, kEventCommandId, Recorder<9>);
  ::SendMessageW(window_.get(), WM_COMMAND, 0x16010013, 0);  // as Wine sends a 32-bit menu id
  auto fired = WaitFor(1);
  ASSERT_EQ(1u, fired.size());
  EXPECT_EQ(8, fired[0].handler);

  ::SendMessageW(window_.get(), WM_COMMAND, MAKEWPARAM(0x2222, 1), 0);  // an accelerator with that id
  fired = WaitFor(2);
  ASSERT_EQ(2u, fired.size());
  EXPECT_EQ(9, fired[1].handler);
}

TEST_F(HostDispatch, ScrollBarStepsAreClampedAndPublished) {
  HWND bar = Child(L"SCROLLBAR", SBS_HORZ, 10);
  ::SendMessageW(bar, SBM_SETRANGE, 0, 200);
  ::SendMessageW(bar, SBM_SETPOS, 12, FALSE);
  RegisterScrollHandler(bar, kEventLineLeft, 5, 20, 10, 100, Recorder<10>);
  RegisterScrollHandler(bar, kEventThumbTrack, 5, 20, 10, 100, Recorder<11>);

  ::SendMessageW(window_.get(), WM_HSCROLL, SB_LINELEFT, reinterpret_cast<LPARAM>(bar));
  auto fired = WaitFor(1);
  ASSERT_EQ(1u, fired.size());
  EXPECT_EQ(10, fired[0].handler);
  EXPECT_EQ(10, ::SendMessageW(bar, SBM_GETPOS, 0, 0)) << "12 - 5 stops at the minimum";
  EXPECT_EQ(10, fired[0].minimum);
  EXPECT_EQ(100, fired[0].maximum);
  EXPECT_EQ(bar, fired[0].control);

  ::SendMessageW(window_.get(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 150), reinterpret_cast<LPARAM>(bar));
  fired = WaitFor(2);
  ASSERT_EQ(2u, fired.size());
  EXPECT_EQ(100, ::SendMessageW(bar, SBM_GETPOS, 0, 0));
  ::SendMessageW(window_.get(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 3), reinterpret_cast<LPARAM>(bar));
  fired = WaitFor(3);
  EXPECT_EQ(3, ::SendMessageW(bar, SBM_GETPOS, 0, 0)) << "below the minimum is allowed for the thumb";

  // No record for line-right: the position stays and nothing starts.
  ::SendMessageW(window_.get(), WM_HSCROLL, SB_LINERIGHT, reinterpret_cast<LPARAM>(bar));
  EXPECT_EQ(3u, WaitFor(3).size());
  EXPECT_EQ(3, ::SendMessageW(bar, SBM_GETPOS, 0, 0));
}

TEST_F(HostDispatch, TooltipTextWriteBack) {
  RegisterTooltipText(77, "下载地址");
  NMTTDISPINFOA info{};
  info.hdr.code = static_cast<UINT>(TTN_GETDISPINFOA);
  info.hdr.idFrom = 77;
  std::strcpy(info.szText, "old");
  ::SendMessageW(window_.get(), WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&info));
  ASSERT_NE(nullptr, info.lpszText);
  EXPECT_STREQ("下载地址", info.lpszText);

  NMTTDISPINFOW wide{};
  wide.hdr.code = static_cast<UINT>(TTN_GETDISPINFOW);
  wide.hdr.idFrom = 77;
  ::SendMessageW(window_.get(), WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&wide));
  ASSERT_NE(nullptr, wide.lpszText);
  EXPECT_STREQ(L"下载地址", wide.lpszText);

  // An id without a record leaves the notification untouched.
  NMTTDISPINFOA unknown{};
  unknown.hdr.code = static_cast<UINT>(TTN_GETDISPINFOA);
  unknown.hdr.idFrom = 78;
  std::strcpy(unknown.szText, "keep");
  NMTTDISPINFOA copy = unknown;
  ::SendMessageW(window_.get(), WM_NOTIFY, 78, reinterpret_cast<LPARAM>(&unknown));
  EXPECT_EQ(0, std::memcmp(&copy, &unknown, sizeof copy));
  EXPECT_TRUE(WaitFor(0).empty()) << "tooltips start no handler";
}

}  // namespace
