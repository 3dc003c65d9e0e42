#include "commands/update_check.h"

#include <shellapi.h>

#include <algorithm>

#include "base/codepage.h"
#include "base/show_message.h"
#include "net/http_get.h"
#include "uiengine/render/process_message_box.h"

namespace {

constexpr char kVersionFile[] = "/zelk.txt";
constexpr char kUpdatePage[] = "/?post=111";

}  // namespace

Text VersionTextOf(const ByteBuffer& body) {
  auto zero = std::find(body.begin(), body.end(), 0);
  return Text(body.begin(), zero);
}

bool IsVersionText(std::string_view text) {
  std::string_view line = text;
  if (line.size() >= 2 && line.substr(line.size() - 2) == "\r\n") line.remove_suffix(2);
  else if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (line.empty() || line.size() > kMaxVersionLength) return false;
  bool blank = true;
  for (char c : line) {
    const bool word = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (!word && c != '.' && c != '-' && c != '_' && c != ' ') return false;
    blank = blank && c == ' ';
  }
  return !blank;
}

Text ServerVersionOf(const HttpAnswer& answer) {
  if (answer.status != 200) return {};
  Text text = VersionTextOf(answer.body);
  // Bytes after a zero byte (a UTF-16 body, say) make the text before it no version;
  // zero bytes alone may pad one.
  const bool padded = std::all_of(answer.body.begin() + text.size(), answer.body.end(),
                                  [](unsigned char b) { return b == 0; });
  return padded && IsVersionText(text) ? text : Text();
}

int CompareVersions(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(a[i]);
    auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

Text UpdateQuestionText(std::string_view local, std::string_view server) {
  return JoinTexts({"当前版本:", local, "   服务器版本:", server, "   是否更新?"});
}

bool AsksUpdateServer() { return !UpdateServerBase().empty(); }

void FetchServerVersion(Components& window) {
  const Text base = UpdateServerBase();
  if (base.empty()) return;  // built without a server: ask nobody
  window.SetComponentText(ids::服务器版本, ServerVersionOf(HttpGetWhole(base + kVersionFile)));
}

void OpenWebPage(std::string_view address) {
  ::ShellExecuteW(nullptr, L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void OnOnlineUpdateSelected(Components& window) {
  Text local = window.GetComponentText(ids::本地版本);
  Text server = window.GetComponentText(ids::服务器版本);
  if (CompareVersions(local, server) == 0) {
    ShowProcessMessageBox(window.WindowHandle(), true, "恭喜", "当前已近是最新版本", MB_ICONINFORMATION, 0);
  }
  // The box is modeless: the labels are read again after it has appeared.
  local = window.GetComponentText(ids::本地版本);
  server = window.GetComponentText(ids::服务器版本);
  if (CompareVersions(local, server) < 0) {
    int answer = ShowMessage(UpdateQuestionText(local, server), MB_YESNO | MB_ICONQUESTION, "有更新");
    const Text base = UpdateServerBase();
    if (answer == IDYES && !base.empty()) OpenWebPage(base + kUpdatePage);
  }
}
