#include <gtest/gtest.h>

#include <set>

#include "main_window_layout.h"

// Control identifiers reach WM_COMMAND as their low 16 bits; they must stay distinct.
TEST(MainWindowLayout, ComponentIdentifiersAreDistinctInTheirLowWord) {
  std::set<unsigned> low;
  for (const ComponentSpec& c : kComponents) low.insert(c.id & 0xFFFF);
  for (const MenuItemSpec& m : kMenuItems) low.insert(m.id & 0xFFFF);
  EXPECT_EQ(low.size(), kComponents.size() + kMenuItems.size());
}
