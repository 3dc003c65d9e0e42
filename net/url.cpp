#include "net/url.h"

#include <cctype>

namespace {

// An address in its five parts; a part that is absent differs from an empty one
// ("http://h/?" keeps its empty query).
struct Reference {
  std::optional<Text> scheme, authority, query;
  Text path;
};

bool IsSchemeText(std::string_view s) {
  if (s.empty() || !std::isalpha(static_cast<unsigned char>(s[0]))) return false;
  for (char c : s)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
  return true;
}

// Splits an address without its fragment into its parts.
Reference Parse(std::string_view s) {
  Reference r;
  const size_t colon = s.find(':');
  if (colon != std::string_view::npos && colon < s.find_first_of("/?") && IsSchemeText(s.substr(0, colon))) {
    Text scheme(s.substr(0, colon));
    for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    r.scheme = std::move(scheme);
    s.remove_prefix(colon + 1);
  }
  if (s.substr(0, 2) == "//") {
    s.remove_prefix(2);
    const size_t end = s.find_first_of("/?");
    r.authority = Text(s.substr(0, end));
    s.remove_prefix(end == std::string_view::npos ? s.size() : end);
  }
  const size_t question = s.find('?');
  r.path = Text(s.substr(0, question));
  if (question != std::string_view::npos) r.query = Text(s.substr(question + 1));
  return r;
}

// "." and ".." segments taken out of a path, as a browser does before it asks.
Text RemoveDotSegments(std::string_view in) {
  Text out;
  while (!in.empty()) {
    if (in.substr(0, 3) == "../") {
      in.remove_prefix(3);
    } else if (in.substr(0, 2) == "./") {
      in.remove_prefix(2);
    } else if (in.substr(0, 3) == "/./") {
      in.remove_prefix(2);
    } else if (in == "/.") {
      in = "/";
    } else if (in.substr(0, 4) == "/../" || in == "/..") {
      in = in.size() == 3 ? std::string_view("/") : in.substr(3);
      const size_t last = out.rfind('/');
      out.erase(last == Text::npos ? 0 : last);
    } else if (in == "." || in == "..") {
      in = {};
    } else {
      const size_t next = in.find('/', 1);
      out.append(in.substr(0, next));
      in.remove_prefix(next == std::string_view::npos ? in.size() : next);
    }
  }
  return out;
}

// The path of a relative reference put after the base's directory.
Text MergePaths(const Reference& base, std::string_view path) {
  if (base.authority && base.path.empty()) return "/" + Text(path);
  const size_t slash = base.path.rfind('/');
  return (slash == Text::npos ? Text() : base.path.substr(0, slash + 1)) + Text(path);
}

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

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

std::optional<UrlParts> SplitHttpUrl(std::string_view address) {
  std::optional<UrlParts> url = SplitUrl(address);
  if (!url || (url->scheme != INTERNET_SCHEME_HTTP && url->scheme != INTERNET_SCHEME_HTTPS)) return std::nullopt;
  return url;
}

bool IsHttpAddress(std::string_view address) { return SplitHttpUrl(address).has_value(); }

Text WithoutFragment(std::string_view address) { return Text(address.substr(0, address.find('#'))); }

std::optional<Text> ResolveReference(std::string_view base, std::string_view reference) {
  const Reference b = Parse(WithoutFragment(TrimSpaces(base)));
  if (!b.scheme) return std::nullopt;
  const Reference r = Parse(WithoutFragment(TrimSpaces(reference)));
  Reference t;
  if (r.scheme) {
    t = r;
    t.path = RemoveDotSegments(r.path);
  } else {
    t.scheme = b.scheme;
    if (r.authority) {
      t.authority = r.authority;
      t.path = RemoveDotSegments(r.path);
      t.query = r.query;
    } else {
      t.authority = b.authority;
      if (r.path.empty()) {
        t.path = b.path;
        t.query = r.query ? r.query : b.query;
      } else {
        t.path = RemoveDotSegments(r.path[0] == '/' ? Text(r.path) : MergePaths(b, r.path));
        t.query = r.query;
      }
    }
  }
  Text out = *t.scheme + ":";
  if (t.authority) out += "//" + *t.authority;
  out += t.path;
  if (t.query) out += "?" + *t.query;
  return out;
}

bool IsRedirectStatus(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}
