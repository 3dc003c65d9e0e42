#include "net/http_get.h"

#include <wininet.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/unique_handle.h"
#include "net/url.h"

namespace {

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr size_t kMaxReadPiece = 102400;
constexpr size_t kDefaultReadPiece = 10240;

// Opened on first use and kept for the whole run.
HINTERNET InternetSession() {
  static UniqueInternet session(::InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  return session.get();
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

size_t ReadPieceSize(std::optional<long long> contentLength) {
  if (!contentLength || *contentLength <= 0) return kDefaultReadPiece;
  if (*contentLength >= static_cast<long long>(kMaxReadPiece)) return kMaxReadPiece;
  return static_cast<size_t>(*contentLength + 1);
}

ByteBuffer HttpGetWhole(std::string_view address, const HttpLimits& limits) {
  ByteBuffer body;
  HINTERNET session = InternetSession();
  if (address.empty() || !session) return body;
  std::optional<UrlParts> url = SplitUrl(address);
  if (!url) return body;

  // The session is shared; the time-outs go on this fetch's own handles.
  UniqueInternet connection(::InternetConnectA(session, url->host.c_str(), url->port,
                                               url->user.empty() ? nullptr : url->user.c_str(),
                                               url->password.empty() ? nullptr : url->password.c_str(),
                                               INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return body;
  SetTimeouts(connection.get(), limits);

  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
  if (url->scheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
  UniqueInternet request(
      ::HttpOpenRequestA(connection.get(), "GET", url->object.c_str(), "HTTP/1.0", nullptr, nullptr, flags, 0));
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
