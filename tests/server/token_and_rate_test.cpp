#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

#include "formats/score_code.h"
#include "rate_limiter.h"
#include "token_store.h"

namespace rivoltra::scores {
namespace {

using namespace std::chrono_literals;

const SteadyTime kStart{std::chrono::hours(1000)};

// Tokens "T1", "T2", ... so tests can name them.
std::function<std::string()> CountingTokens() {
  return [next = 0]() mutable { return "T" + std::to_string(++next); };
}

TEST(TokenStore, EachTokenRedeemsOnceWithinItsLifetime) {
  TokenStore tokens({600s, 100}, CountingTokens());
  std::string first = tokens.Issue(kStart);
  std::string second = tokens.Issue(kStart + 1s);
  ASSERT_NE(first, second);

  EXPECT_EQ(tokens.Redeem(first, kStart + 600s), TokenStore::Verdict::Accepted);
  EXPECT_EQ(tokens.Redeem(first, kStart + 601s), TokenStore::Verdict::Unknown);  // reused
  EXPECT_EQ(tokens.Redeem("T99", kStart + 2s), TokenStore::Verdict::Unknown);
  EXPECT_EQ(tokens.Redeem("", kStart + 2s), TokenStore::Verdict::Unknown);
  EXPECT_EQ(tokens.Redeem(second, kStart + 602s), TokenStore::Verdict::Expired);
  EXPECT_EQ(tokens.Redeem(second, kStart + 603s), TokenStore::Verdict::Unknown);
  EXPECT_EQ(tokens.Outstanding(), 0u);
}

TEST(TokenStore, StaysWithinCapacityDroppingExpiredThenOldest) {
  TokenStore tokens({10s, 3}, CountingTokens());
  tokens.Issue(kStart);       // T1
  tokens.Issue(kStart + 1s);  // T2
  tokens.Issue(kStart + 2s);  // T3
  tokens.Issue(kStart + 3s);  // T4 pushes out T1, the oldest
  EXPECT_EQ(tokens.Outstanding(), 3u);
  EXPECT_EQ(tokens.Redeem("T1", kStart + 4s), TokenStore::Verdict::Unknown);
  EXPECT_EQ(tokens.Redeem("T2", kStart + 4s), TokenStore::Verdict::Accepted);

  tokens.Issue(kStart + 30s);  // T3 and T4 have expired by now and go first
  EXPECT_EQ(tokens.Outstanding(), 1u);
  EXPECT_EQ(tokens.Redeem("T5", kStart + 31s), TokenStore::Verdict::Accepted);
}

TEST(TokenStore, RepeatedDrawIsNeverIssuedTwice) {
  int calls = 0;
  TokenStore tokens({600s, 100}, [&] { return ++calls <= 2 ? "SAME" : "OTHER"; });
  EXPECT_EQ(tokens.Issue(kStart), "SAME");
  EXPECT_EQ(tokens.Issue(kStart), "OTHER");
  EXPECT_EQ(tokens.Outstanding(), 2u);
}

TEST(TokenStore, TakenTokenCanBeRestoredOnce) {
  TokenStore tokens({600s, 100, 4}, CountingTokens());
  tokens.Issue("10.0.0.1", kStart);
  TokenStore::Taken taken = tokens.Take("T1", kStart + 1s);
  EXPECT_EQ(taken.Verdict, TokenStore::Verdict::Accepted);
  EXPECT_EQ(tokens.Redeem("T1", kStart + 1s), TokenStore::Verdict::Unknown);  // taken out
  tokens.Restore(taken);
  tokens.Restore(taken);
  EXPECT_EQ(tokens.Outstanding(), 1u);
  // Restored with its first issue time, so its lifetime does not start over.
  EXPECT_EQ(tokens.Redeem("T1", kStart + 601s), TokenStore::Verdict::Expired);
}

TEST(TokenStore, RandomTokensUseTheAlphabetAndDiffer) {
  std::set<std::string> seen;
  for (int i = 0; i < 200; ++i) {
    std::string token = TokenStore::RandomToken();
    ASSERT_EQ(token.size(), TokenStore::kTokenLength);
    EXPECT_EQ(token.find_first_not_of(kScoreAlphabet), std::string::npos) << token;
    seen.insert(token);
  }
  EXPECT_EQ(seen.size(), 200u);
}

TEST(RateLimiter, AllowsBurstThenRefillsPerClient) {
  RateLimiter limiter({3, 10s, 100});
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(limiter.Allow("10.0.0.1", kStart)) << i;
  EXPECT_FALSE(limiter.Allow("10.0.0.1", kStart));
  EXPECT_TRUE(limiter.Allow("10.0.0.2", kStart));  // another client has its own bucket
  EXPECT_FALSE(limiter.Allow("10.0.0.1", kStart + 9s));
  EXPECT_TRUE(limiter.Allow("10.0.0.1", kStart + 10s));
  EXPECT_FALSE(limiter.Allow("10.0.0.1", kStart + 10s));
  // A clock stepping back neither refills nor drains.
  EXPECT_FALSE(limiter.Allow("10.0.0.1", kStart));
  // A long pause refills no more than the burst.
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(limiter.Allow("10.0.0.1", kStart + 1h)) << i;
  EXPECT_FALSE(limiter.Allow("10.0.0.1", kStart + 1h));
}

TEST(RateLimiter, NewAddressesPushOutRefilledBucketsBeforeEmptyOnes) {
  RateLimiter limiter({2, 60s, 4});
  EXPECT_TRUE(limiter.Allow("old1", kStart));
  EXPECT_TRUE(limiter.Allow("old2", kStart));
  SteadyTime later = kStart + 100s;  // old1 and old2 are full again
  EXPECT_TRUE(limiter.Allow("busy", later));
  EXPECT_TRUE(limiter.Allow("busy", later));
  EXPECT_TRUE(limiter.Allow("new1", later));
  EXPECT_TRUE(limiter.Allow("new2", later));  // the fourth address: room is made
  EXPECT_EQ(limiter.TrackedClients(), 3u);
  EXPECT_FALSE(limiter.Allow("busy", later));  // its empty bucket was kept

  for (int i = 0; i < 100; ++i) limiter.Allow("flood" + std::to_string(i), later);
  EXPECT_LE(limiter.TrackedClients(), 4u);
}

}  // namespace
}  // namespace rivoltra::scores
