#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;

namespace rivoltra::scores {

class StorageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ScoreEntry {
  std::string Name;
  std::string Country;
  std::int32_t Score = 0;
  std::int64_t SubmittedAt = 0;  // seconds since 1970, UTC
};

// The online table in one SQLite file. Every call is serialised; the server's worker threads
// share one connection.
class ScoreStore {
 public:
  // Creates the file and its table when missing; ":memory:" gives a private database. A file
  // that is not a database or fails the quick integrity check is refused with a message naming
  // it ("not a database", "damaged: ...").
  explicit ScoreStore(const std::string& path);
  ~ScoreStore();
  ScoreStore(const ScoreStore&) = delete;
  ScoreStore& operator=(const ScoreStore&) = delete;

  void Add(const ScoreEntry& entry);
  // Best first; equal scores in the order they arrived.
  std::vector<ScoreEntry> Best(std::size_t limit);
  std::size_t Count();

 private:
  void Execute(const char* sql);
  void CheckIntegrity();
  std::string Damaged(int code) const;
  std::string Where(const char* action) const;

  std::string path_;
  std::mutex mutex_;
  sqlite3* db_ = nullptr;
};

}  // namespace rivoltra::scores
