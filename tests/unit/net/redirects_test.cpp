// The redirect follower shared by both fetches, driven by a scripted `open`.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "net/redirects.h"

namespace {

// Answers each address from a table; an address not in it is a 200.
struct ScriptedServer {
  std::map<Text, Hop> answers;
  std::vector<Text> asked;

  Outcome Follow(std::string_view address, int limit) {
    return FollowRedirects(address, limit, [this](const Text& a) {
      asked.push_back(a);
      auto it = answers.find(a);
      return it != answers.end() ? it->second : Hop{Outcome::Done, 200, std::nullopt};
    });
  }
};

Hop RedirectTo(const char* location, int status = 302) { return {Outcome::Done, status, Text(location)}; }

// A chain of `length` redirects, /0 -> /1 -> ... -> /length, which answers 200.
ScriptedServer Chain(int length) {
  ScriptedServer server;
  for (int i = 0; i < length; ++i) server.answers["http://h/" + std::to_string(i)] = RedirectTo(("/" + std::to_string(i + 1)).c_str());
  return server;
}

TEST(FollowRedirects, FollowsUpToTheLimitAndFailsPastIt) {
  for (int limit : {5, 10}) {
    ScriptedServer exact = Chain(limit);
    EXPECT_EQ(exact.Follow("http://h/0", limit), Outcome::Done) << limit;
    EXPECT_EQ(exact.asked.size(), static_cast<size_t>(limit + 1)) << limit;
    ScriptedServer longer = Chain(limit + 1);
    EXPECT_EQ(longer.Follow("http://h/0", limit), Outcome::Failed) << limit;
    EXPECT_EQ(longer.asked.size(), static_cast<size_t>(limit + 1)) << limit;
  }
  ScriptedServer loop;
  loop.answers["http://h/loop"] = RedirectTo("loop");
  EXPECT_EQ(loop.Follow("http://h/loop", 10), Outcome::Failed);
  EXPECT_EQ(loop.asked.size(), 11u);
}

TEST(FollowRedirects, WhereAChainEnds) {
  const struct {
    const char* name;
    Hop first;
    Outcome expected;
    size_t asked;
  } cases[] = {
      {"a redirect naming nowhere stands", {Outcome::Done, 301, std::nullopt}, Outcome::Done, 1},
      {"an empty Location stands", RedirectTo(""), Outcome::Done, 1},
      {"not a redirect code: the Location is ignored", RedirectTo("/elsewhere", 300), Outcome::Done, 1},
      {"to ftp", RedirectTo("ftp://h/f"), Outcome::Failed, 1},
      {"to a file", RedirectTo("file:///C:/f"), Outcome::Failed, 1},
      {"every redirect code", RedirectTo("/f", 308), Outcome::Done, 2},
      {"stopped while opening", {Outcome::Stopped, 0, std::nullopt}, Outcome::Stopped, 1},
      {"failed to open", {Outcome::Failed, 0, std::nullopt}, Outcome::Failed, 1},
  };
  for (const auto& c : cases) {
    ScriptedServer server;
    server.answers["http://h/a/start"] = c.first;
    EXPECT_EQ(server.Follow("http://h/a/start", 5), c.expected) << c.name;
    EXPECT_EQ(server.asked.size(), c.asked) << c.name;
  }
}

TEST(FollowRedirects, AsksWithoutFragmentsAndResolvesAgainstTheLastAddress) {
  ScriptedServer server;
  server.answers["http://h/a/b/start?x=1"] = RedirectTo("../c/next#part");
  server.answers["http://h/a/c/next"] = RedirectTo("//mirror:8080/f.zip?k=2");
  EXPECT_EQ(server.Follow("http://h/a/b/start?x=1#typed", 10), Outcome::Done);
  EXPECT_EQ(server.asked, (std::vector<Text>{"http://h/a/b/start?x=1", "http://h/a/c/next", "http://mirror:8080/f.zip?k=2"}));
  server.asked.clear();
  EXPECT_EQ(server.Follow("ftp://h/f", 10), Outcome::Failed);  // nothing but http(s) is opened
  EXPECT_TRUE(server.asked.empty());
}

}  // namespace
