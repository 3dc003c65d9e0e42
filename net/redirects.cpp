#include "net/redirects.h"

#include "net/url.h"

Outcome FollowRedirects(std::string_view address, int maxRedirects, const std::function<Hop(const Text&)>& open) {
  Text current = WithoutFragment(address);
  for (int redirects = 0;; ++redirects) {
    if (!IsHttpAddress(current)) return Outcome::Failed;
    const Hop hop = open(current);
    if (hop.outcome != Outcome::Done || !IsRedirectStatus(hop.status)) return hop.outcome;
    if (!hop.location || hop.location->empty()) return Outcome::Done;  // nowhere to go: the 3xx answer stands
    if (redirects == maxRedirects) return Outcome::Failed;
    std::optional<Text> next = ResolveReference(current, *hop.location);
    if (!next) return Outcome::Failed;
    current = std::move(*next);
  }
}
