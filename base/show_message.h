// Every message box of the program goes through ShowMessage.
#pragma once

#include <string_view>

#include "base/text.h"

constexpr std::string_view kDefaultCaption = "信息：";

// A system message box with no owner: task-modal unless MB_SYSTEMMODAL is asked for,
// caption "信息：" when none is given. Returns the button pressed.
int ShowMessage(std::string_view text, unsigned flags = 0, std::string_view caption = {});
