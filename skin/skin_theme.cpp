#include "skin/skin_theme.h"

#include <mutex>

namespace skin {
namespace {
std::mutex g_themeMutex;
ThemePtr g_theme;
}  // namespace

Theme::Theme(const Palette& p)
    : palette(p),
      editBrush(::CreateSolidBrush(p.editBack)),
      editDisabledBrush(::CreateSolidBrush(p.editDisabledBack)) {}

ThemePtr CurrentTheme() {
  std::lock_guard<std::mutex> lock(g_themeMutex);
  return g_theme;
}

void SetCurrentTheme(ThemePtr theme) {
  ThemePtr old;
  {
    std::lock_guard<std::mutex> lock(g_themeMutex);
    old = std::exchange(g_theme, std::move(theme));
  }
  // The previous theme's brushes go when its last user lets go of it.
}

}  // namespace skin
