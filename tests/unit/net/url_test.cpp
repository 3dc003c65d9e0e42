#include <gtest/gtest.h>

#include "net/url.h"

namespace {

TEST(SplitUrl, TakesAnAddressApartIntoWhatAConnectionNeeds) {
  struct Case {
    const char* address;
    INTERNET_SCHEME scheme;
    const char* host;
    INTERNET_PORT port;
    const char* user;
    const char* password;
    const char* object;
  };
  const Case cases[] = {
      {"http://update.example.com/zelk.txt", INTERNET_SCHEME_HTTP, "update.example.com", 80, "", "", "/zelk.txt"},
      {"http://127.0.0.1:28731", INTERNET_SCHEME_HTTP, "127.0.0.1", 28731, "", "", "/"},
      {"http://h/?post=111", INTERNET_SCHEME_HTTP, "h", 80, "", "", "/?post=111"},
      {"https://u:p@localhost:8443/a/b.bin?x=1", INTERNET_SCHEME_HTTPS, "localhost", 8443, "u", "p", "/a/b.bin?x=1"},
  };
  for (const Case& c : cases) {
    std::optional<UrlParts> parts = SplitUrl(c.address);
    ASSERT_TRUE(parts) << c.address;
    EXPECT_EQ(parts->scheme, c.scheme) << c.address;
    EXPECT_EQ(parts->host, c.host) << c.address;
    EXPECT_EQ(parts->port, c.port) << c.address;
    EXPECT_EQ(parts->user, c.user) << c.address;
    EXPECT_EQ(parts->password, c.password) << c.address;
    EXPECT_EQ(parts->object, c.object) << c.address;
  }
}

TEST(SplitUrl, AUserNameLongerThanWinInetsOwnLimitStillSplits) {
  const std::string user(300, 'u');
  std::optional<UrlParts> parts = SplitUrl("http://" + user + ":pw@host/file");
  ASSERT_TRUE(parts);
  EXPECT_EQ(parts->user, user);
  EXPECT_EQ(parts->host, "host");
}

TEST(IsHttpAddress, OnlyHttpAndHttpsNamingAHost) {
  for (const char* yes : {"http://host/file.exe", "https://localhost/x", "HTTP://HOST"})
    EXPECT_TRUE(IsHttpAddress(yes)) << yes;
  for (const char* no : {"", "no address at all", "ftp://host/file", "file:///C:/x.txt", "http:///nohost", "host/file"})
    EXPECT_FALSE(IsHttpAddress(no)) << no;
}

}  // namespace

TEST(IsRedirectStatus, TheFiveThatNameAnotherAddress) {
  for (int status : {301, 302, 303, 307, 308}) EXPECT_TRUE(IsRedirectStatus(status)) << status;
  for (int status : {200, 300, 304, 305, 306, 404}) EXPECT_FALSE(IsRedirectStatus(status)) << status;
}

// A Location header (or a link) resolved against the address that gave it, as a
// browser does; the cases of RFC 3986 section 5.4 and the ones servers send.
TEST(ResolveReference, RelativeAbsoluteDotSegmentsQueriesAndFragments) {
  const std::string base = "http://a/b/c/d;p?q";
  const struct {
    std::string base, reference, expected;
  } cases[] = {
      {base, "g", "http://a/b/c/g"},
      {base, "./g", "http://a/b/c/g"},
      {base, "g/", "http://a/b/c/g/"},
      {base, "/g", "http://a/g"},
      {base, "//g", "http://g"},
      {base, "?y", "http://a/b/c/d;p?y"},
      {base, "g?y", "http://a/b/c/g?y"},
      {base, "", "http://a/b/c/d;p?q"},
      {base, ".", "http://a/b/c/"},
      {base, "..", "http://a/b/"},
      {base, "../g", "http://a/b/g"},
      {base, "../../g", "http://a/g"},
      {base, "../../../../g", "http://a/g"},  // no climbing above the root
      {base, "/./g", "http://a/g"},
      {base, "/../g", "http://a/g"},
      {base, "g.", "http://a/b/c/g."},
      {base, "..g", "http://a/b/c/..g"},
      {base, "./g/.", "http://a/b/c/g/"},
      {base, "g/../h", "http://a/b/c/h"},
      {base, "g;x=1/../y", "http://a/b/c/y"},
      {base, "g?y/./x", "http://a/b/c/g?y/./x"},  // dots in a query stay
      {base, "https://other:8443/v?x=1", "https://other:8443/v?x=1"},
      {base, "HTTP://Other/./v", "http://Other/v"},
      {base, "ftp://other/v", "ftp://other/v"},  // resolved; the follower refuses it
      // Fragments name a place in the answer: never part of what is asked for.
      {base, "#s", "http://a/b/c/d;p?q"},
      {base, "g#s", "http://a/b/c/g"},
      {base, "g?y#s", "http://a/b/c/g?y"},
      {"http://a/b#frag", "c", "http://a/c"},
      {"http://h:81/chain/12/f.bin", "../11/f.bin", "http://h:81/chain/11/f.bin"},
      {"http://h", "f.bin", "http://h/f.bin"},
      {"http://h/a/b?x=1", "  /loop/f?delay=3\r\n", "http://h/loop/f?delay=3"},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolveReference(c.base, c.reference), c.expected) << c.base << " + " << c.reference;
  EXPECT_EQ(ResolveReference("no base at all", "g"), std::nullopt);
  EXPECT_EQ(ResolveReference("/a/b", "g"), std::nullopt);
}

TEST(WithoutFragment, TheFragmentNeverLeaves) {
  EXPECT_EQ(WithoutFragment("http://h/a.bin#part2"), "http://h/a.bin");
  EXPECT_EQ(WithoutFragment("http://h/a.bin?x=1#"), "http://h/a.bin?x=1");
  EXPECT_EQ(WithoutFragment("http://h/a#b#c"), "http://h/a");
  EXPECT_EQ(WithoutFragment("http://h/a.bin"), "http://h/a.bin");
}
