// C99 printf: "%.13g" must write -0 and two-digit exponents as the C library defines them.
#define __USE_MINGW_ANSI_STDIO 1
#include "download/progress_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

double RoundToHundredths(double value) {
  double scaled = std::fabs(value) * 100.0;
  double whole = std::floor(scaled);
  if (scaled - whole + 1e-12 >= 0.5) whole += 1.0;
  double rounded = whole / 100.0;
  return value < 0 ? -rounded : rounded;
}

Text NumberText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.13g", value);
  return buffer;
}

Text NameAfterLastSlash(std::string_view address) {
  // No GBK trail byte is 0x2F, so a plain byte search finds only real slashes.
  size_t slash = address.rfind('/');
  return Text(slash == std::string_view::npos ? address : address.substr(slash + 1));
}

double SpeedKbPerSecond(const ProgressReport& report) {
  return RoundToHundredths(static_cast<double>(report.newBytes) * 1000.0 / 1024.0 / report.elapsed);
}

Text ProgressStatusText(std::string_view address, const ProgressReport& report) {
  const double speed = SpeedKbPerSecond(report);
  Text text = JoinTexts({"正在下载:", NameAfterLastSlash(address), "\r\n"});
  text += JoinTexts({"文件大小:", NumberText(RoundToHundredths(report.total / 1024.0)), "KB\r\n"});
  text += JoinTexts({"已下载:", NumberText(RoundToHundredths(report.done / 1024.0)), "KB\r\n"});
  text += JoinTexts({"所用时间:", NumberText(std::trunc(report.elapsed / 1000.0)), "秒\r\n"});
  text += JoinTexts({"下载速度:", NumberText(speed), "KB/s\r\n"});
  if (speed > 1e-7) {
    // Without a known length the rest is negative; its parts then print as negative numbers or -0.
    const double rest = std::trunc((static_cast<double>(report.total) - report.done) / 1024.0 / speed);
    const double hours = std::trunc(rest / 3600.0);
    const double minutes = std::fmod(std::trunc(rest / 60.0), 60.0);
    const double seconds = std::fmod(rest, 60.0);
    text += JoinTexts({"剩余时间:", NumberText(hours), "时", NumberText(minutes), "分", NumberText(seconds), "秒"});
  }
  return text;
}

int ProgressBarPosition(const ProgressReport& report) {
  if (report.total == 0) return 0;
  int64_t position = static_cast<int64_t>(report.done) * 10000 / report.total;
  return static_cast<int>(std::clamp<int64_t>(position, 0, 10000));
}
