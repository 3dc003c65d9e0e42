#include "net/url.h"

std::optional<UrlParts> SplitUrl(std::string_view address) {
  if (address.empty()) return std::nullopt;
  const Text url(address);
  // Every part gets room for the whole address, so no part is ever too long for its buffer.
  char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
  Text user(url.size() + 1, '\0'), password(url.size() + 1, '\0');
  Text path(url.size() + 1, '\0'), extra(url.size() + 1, '\0');
  URL_COMPONENTSA parts = {};
  parts.dwStructSize = sizeof(parts);
  parts.lpszHostName = host;
  parts.dwHostNameLength = sizeof(host);
  parts.lpszUserName = user.data();
  parts.dwUserNameLength = static_cast<DWORD>(user.size());
  parts.lpszPassword = password.data();
  parts.dwPasswordLength = static_cast<DWORD>(password.size());
  parts.lpszUrlPath = path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(path.size());
  parts.lpszExtraInfo = extra.data();
  parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
  if (!::InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return std::nullopt;
  if (host[0] == '\0') return std::nullopt;
  UrlParts out;
  out.scheme = parts.nScheme;
  out.host = host;
  out.user = TextOf(user.c_str());
  out.password = TextOf(password.c_str());
  out.port = parts.nPort;
  out.object = TextOf(path.c_str()) + TextOf(extra.c_str());
  if (out.object.empty()) out.object = "/";
  return out;
}

bool IsHttpAddress(std::string_view address) {
  std::optional<UrlParts> parts = SplitUrl(address);
  return parts && (parts->scheme == INTERNET_SCHEME_HTTP || parts->scheme == INTERNET_SCHEME_HTTPS);
}

std::optional<Text> CombineUrl(std::string_view base, std::string_view location) {
  const Text b(base), l(location);
  Text combined(INTERNET_MAX_URL_LENGTH + 1, '\0');
  DWORD size = static_cast<DWORD>(combined.size());
  if (!::InternetCombineUrlA(b.c_str(), l.c_str(), combined.data(), &size, 0)) return std::nullopt;
  combined.resize(size);
  return combined;
}

Text WithoutFragment(std::string_view address) { return Text(address.substr(0, address.find('#'))); }

bool IsRedirectStatus(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}
