#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "window/main_window_layout.h"

// Control identifiers reach WM_COMMAND as their low 16 bits; they must stay distinct.
TEST(MainWindowLayout, ComponentIdentifiersAreDistinctInTheirLowWord) {
  std::set<unsigned> low;
  for (const ComponentSpec& c : kComponents) low.insert(c.id & 0xFFFF);
  for (const MenuItemSpec& m : kMenuItems) low.insert(m.id & 0xFFFF);
  EXPECT_EQ(low.size(), kComponents.size() + kMenuItems.size());
}

// Windows sends a menu item's low word (an accelerator adds high word 1); Wine sends
// the whole 32-bit identifier. Every form chooses the item; a control's command does not.
TEST(MainWindowLayout, MenuCommandsMatchOnTheLowWordWhateverTheHighWord) {
  struct Case {
    uintptr_t wParam;
    intptr_t lParam;
    ComponentId expected;
  } cases[] = {
      {0x0108, 0, ids::创建桌面图标},        // Windows menu
      {0x26010108, 0, ids::创建桌面图标},    // Wine menu
      {0x00010110, 0, ids::删除桌面图标},    // accelerator
      {0x26010112, 0, ids::在线更新},
      {0x0112, 0x1234, 0},                   // from a control window: not a menu
      {0x26010107, 0, 0},                    // the bar entry itself
      {0x0002, 0, 0},                        // the Download button's low word
  };
  for (const Case& c : cases) EXPECT_EQ(MenuItemOfCommand(c.wParam, c.lParam), c.expected) << std::hex << c.wParam;
}

// Tab follows the places on the screen: rows top to bottom, each row left to right,
// every tab stop once.
TEST(MainWindowLayout, TabOrderIsReadingOrderOfTheTabStops) {
  std::vector<const ComponentSpec*> stops;
  for (const ComponentSpec& c : kComponents)
    if (c.tabStop) stops.push_back(&c);
  std::sort(stops.begin(), stops.end(), [](const ComponentSpec* a, const ComponentSpec* b) {
    return a->y != b->y ? a->y < b->y : a->x < b->x;
  });
  std::vector<ComponentId> reading;
  for (const ComponentSpec* c : stops) reading.push_back(c->id);
  EXPECT_EQ(reading, std::vector<ComponentId>(kTabOrder.begin(), kTabOrder.end()));
}
