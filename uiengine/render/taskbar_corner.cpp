#include "uiengine/render/taskbar_corner.h"

#include <shellapi.h>

RECT TaskbarCornerOf(const RECT& taskbar) { return RECT{0, 0, taskbar.right, taskbar.top}; }

RECT TaskbarCorner() {
  APPBARDATA data = {};
  data.cbSize = sizeof(data);
  ::SHAppBarMessage(ABM_GETTASKBARPOS, &data);  // without a taskbar the rectangle stays zero
  return TaskbarCornerOf(data.rc);
}
