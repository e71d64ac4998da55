#include "token_store.h"

#include <random>

#include "persist/score_code.h"

namespace rivoltra::scores {

std::string TokenStore::RandomToken() {
  // random_device reads the kernel's random source on Linux, so tokens cannot be predicted
  // from earlier ones.
  static std::random_device source;
  static std::mutex sourceMutex;
  std::lock_guard lock(sourceMutex);
  std::uniform_int_distribution<std::size_t> pick(0, kScoreAlphabet.size() - 1);
  std::string token;
  token.reserve(kTokenLength);
  for (std::size_t i = 0; i < kTokenLength; ++i) token += kScoreAlphabet[pick(source)];
  return token;
}

TokenStore::TokenStore(Limits limits, std::function<std::string()> generator)
    : limits_(limits), generator_(std::move(generator)) {
  if (limits_.capacity == 0) limits_.capacity = 1;
}

std::string TokenStore::Issue(SteadyTime now) {
  std::lock_guard lock(mutex_);
  MakeRoom(now);
  std::string token = generator_();
  // A repeat of an outstanding token would let two reports share it; draw again instead.
  for (int attempt = 0; attempt < 8 && issuedAt_.count(token) != 0; ++attempt) {
    token = generator_();
  }
  if (issuedAt_.count(token) != 0) Forget(issuedAt_.find(token));
  issuedAt_.emplace(token, now);
  byAge_.emplace(now, token);
  return token;
}

TokenStore::Verdict TokenStore::Redeem(std::string_view token, SteadyTime now) {
  std::lock_guard lock(mutex_);
  auto found = issuedAt_.find(token);
  if (found == issuedAt_.end()) return Verdict::Unknown;
  bool expired = now - found->second > limits_.lifetime;
  Forget(found);
  return expired ? Verdict::Expired : Verdict::Accepted;
}

std::size_t TokenStore::Outstanding() const {
  std::lock_guard lock(mutex_);
  return issuedAt_.size();
}

void TokenStore::Forget(std::map<std::string, SteadyTime, std::less<>>::iterator token) {
  auto [first, last] = byAge_.equal_range(token->second);
  for (auto entry = first; entry != last; ++entry) {
    if (entry->second == token->first) {
      byAge_.erase(entry);
      break;
    }
  }
  issuedAt_.erase(token);
}

void TokenStore::MakeRoom(SteadyTime now) {
  while (!byAge_.empty() &&
         (now - byAge_.begin()->first > limits_.lifetime || issuedAt_.size() >= limits_.capacity)) {
    issuedAt_.erase(byAge_.begin()->second);
    byAge_.erase(byAge_.begin());
  }
}

}  // namespace rivoltra::scores
