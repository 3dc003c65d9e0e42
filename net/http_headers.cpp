#include "net/http_headers.h"

int StatusCode(HINTERNET request) {
  DWORD status = 0, size = sizeof status;
  if (!::HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return 0;
  return static_cast<int>(status);
}

std::optional<Text> HeaderValue(HINTERNET request, DWORD query, DWORD index) {
  Text value(256, '\0');
  for (;;) {
    DWORD size = static_cast<DWORD>(value.size());
    DWORD at = index;
    if (::HttpQueryInfoA(request, query, value.data(), &size, &at)) {
      value.resize(size);
      return value;
    }
    // A long value (a Location, say): the size needed came back in `size`.
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= value.size()) return std::nullopt;
    value.assign(size + 1, '\0');
  }
}

std::vector<Text> HeaderValues(HINTERNET request, DWORD query) {
  std::vector<Text> values;
  for (DWORD index = 0; index < 64; ++index) {
    std::optional<Text> value = HeaderValue(request, query, index);
    if (!value) break;
    values.push_back(std::move(*value));
  }
  return values;
}
