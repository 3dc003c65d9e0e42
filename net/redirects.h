// Redirects followed by hand, for both fetches: WinINet's own following has no
// bound and cannot be stopped, and resolves a Location its own way.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "base/text.h"
#include "net/outcome.h"

// What opening one address of a chain gave.
struct Hop {
  Outcome outcome = Outcome::Failed;
  int status = 0;
  std::optional<Text> location;  // the Location header, when the answer has one
};

// Opens `address` (its fragment dropped) with `open`, and again for each redirect
// its answers name, at most `maxRedirects` redirects. Done with the last answer
// open when it is not a redirect or names nowhere to go; Failed when the chain is
// longer, or leads to an address that is not http(s); otherwise what `open` gave.
// Each call to `open` replaces the previous answer.
Outcome FollowRedirects(std::string_view address, int maxRedirects, const std::function<Hop(const Text&)>& open);
