#include "commands/update_check.h"

#include <wininet.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/codepage.h"
#include "base/show_message.h"
#include "base/unique_handle.h"
#include "uiengine/render/process_message_box.h"

#ifndef LANSHI_UPDATE_SERVER
#define LANSHI_UPDATE_SERVER "http://update.lanshi-soft.com"
#endif

namespace {

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr char kVersionFile[] = "/zelk.txt";
constexpr char kUpdatePage[] = "/?post=111";
constexpr size_t kMaxReadPiece = 102400;
constexpr size_t kDefaultReadPiece = 10240;

// Opened on first use and kept for the whole run.
HINTERNET InternetSession() {
  static UniqueInternet session(::InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  return session.get();
}

struct SplitUrl {
  INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
  Text host, user, password, object;
  INTERNET_PORT port = 0;
};

bool CrackUrl(std::string_view address, SplitUrl& out) {
  Text url(address);
  char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
  char user[INTERNET_MAX_USER_NAME_LENGTH + 1] = {};
  char password[INTERNET_MAX_PASSWORD_LENGTH + 1] = {};
  std::string path(url.size() + 1, '\0');
  std::string extra(url.size() + 1, '\0');
  URL_COMPONENTSA parts = {};
  parts.dwStructSize = sizeof(parts);
  parts.lpszHostName = host;
  parts.dwHostNameLength = sizeof(host);
  parts.lpszUserName = user;
  parts.dwUserNameLength = sizeof(user);
  parts.lpszPassword = password;
  parts.dwPasswordLength = sizeof(password);
  parts.lpszUrlPath = path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(path.size());
  parts.lpszExtraInfo = extra.data();
  parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
  if (!::InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return false;
  if (host[0] == '\0') return false;
  out.scheme = parts.nScheme;
  out.host = host;
  out.user = user;
  out.password = password;
  out.port = parts.nPort;
  out.object = TextOf(path.c_str()) + TextOf(extra.c_str());
  if (out.object.empty()) out.object = "/";
  return true;
}

std::optional<long long> ContentLength(HINTERNET request) {
  char buffer[64] = {};
  DWORD size = sizeof(buffer) - 1;
  if (!::HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, buffer, &size, nullptr)) return std::nullopt;
  char* end = nullptr;
  long long value = std::strtoll(buffer, &end, 10);
  if (end == buffer) return std::nullopt;
  return value;
}

void SetTimeouts(HINTERNET handle, const HttpLimits& limits) {
  DWORD connect = limits.connectTimeoutMs;
  DWORD receive = limits.receiveTimeoutMs;
  ::InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof(connect));
  ::InternetSetOptionA(handle, INTERNET_OPTION_SEND_TIMEOUT, &receive, sizeof(receive));
  ::InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof(receive));
  ::InternetSetOptionA(handle, INTERNET_OPTION_DATA_SEND_TIMEOUT, &receive, sizeof(receive));
  ::InternetSetOptionA(handle, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &receive, sizeof(receive));
}

}  // namespace

Text UpdateServerBase() { return LANSHI_UPDATE_SERVER; }

size_t ReadPieceSize(std::optional<long long> contentLength) {
  if (!contentLength || *contentLength <= 0) return kDefaultReadPiece;
  if (*contentLength >= static_cast<long long>(kMaxReadPiece)) return kMaxReadPiece;
  return static_cast<size_t>(*contentLength + 1);
}

Text VersionTextOf(const ByteBuffer& body) {
  auto zero = std::find(body.begin(), body.end(), 0);
  return Text(body.begin(), zero);
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

ByteBuffer HttpGetWhole(std::string_view address, const HttpLimits& limits) {
  ByteBuffer body;
  HINTERNET session = InternetSession();
  if (address.empty() || !session) return body;
  SplitUrl url;
  if (!CrackUrl(address, url)) return body;

  // The session is shared; the time-outs go on this fetch's own handles.
  UniqueInternet connection(::InternetConnectA(session, url.host.c_str(), url.port,
                                               url.user.empty() ? nullptr : url.user.c_str(),
                                               url.password.empty() ? nullptr : url.password.c_str(),
                                               INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return body;
  SetTimeouts(connection.get(), limits);

  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
  if (url.scheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
  UniqueInternet request(
      ::HttpOpenRequestA(connection.get(), "GET", url.object.c_str(), "HTTP/1.0", nullptr, nullptr, flags, 0));
  if (!request) return body;
  SetTimeouts(request.get(), limits);

  static const char kHeaders[] = "Accept: */*\r\n\r\n";
  if (!::HttpSendRequestA(request.get(), kHeaders, static_cast<DWORD>(std::strlen(kHeaders)), nullptr, 0))
    return body;

  const DWORD sent = ::GetTickCount();
  size_t piece = ReadPieceSize(ContentLength(request.get()));
  ByteBuffer buffer(piece);
  while (body.size() < limits.maxBytes && ::GetTickCount() - sent < limits.bodyDeadlineMs) {
    // Wait (at most the receive time-out) for some bytes, then take only those, so
    // no read blocks for more than one time-out however slowly the bytes come.
    DWORD available = 0;
    if (!::InternetQueryDataAvailable(request.get(), &available, 0, 0) || available == 0) break;
    // Never read past the limit: a hostile server cannot make us hold more.
    DWORD want = static_cast<DWORD>(std::min({piece, limits.maxBytes - body.size(), size_t{available}}));
    DWORD got = 0;
    if (!::InternetReadFile(request.get(), buffer.data(), want, &got) || got == 0) break;
    body.insert(body.end(), buffer.begin(), buffer.begin() + got);
  }
  return body;
}

void FetchServerVersion(Components& window) {
  ByteBuffer body = HttpGetWhole(UpdateServerBase() + kVersionFile);
  window.SetComponentText(ids::服务器版本, VersionTextOf(body));
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
    if (answer == IDYES) OpenWebPage(UpdateServerBase() + kUpdatePage);
  }
}
