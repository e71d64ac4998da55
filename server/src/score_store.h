#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "moderation.h"

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
  std::int64_t Id = 0;           // the storage's number for the entry; 0 before it is stored
  bool Verified = false;         // a replay re-simulated to this entry's score is kept with it
  std::string HiddenReason;      // an operator's reason; empty for an entry the table shows
};

enum class EntryFilter { All, VerifiedOnly };

// What a verified run leaves behind beside its replay: its ticket is spent until the ticket
// expires, its tick stream is known for good, and a daily run enters its day's table.
struct VerifiedRun {
  std::string TicketId;
  std::int64_t TicketExpiresAt = 0;  // seconds since 1970
  std::string Fingerprint;           // RunFingerprint of the replay
  std::optional<std::uint32_t> DailyDay;
};

// Whether a run may still be verified: Fresh, or why not.
enum class RunStanding { Fresh, TicketSpent, RunKnown, AlreadyVerified };

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

  // Returns the new entry's id.
  std::int64_t Add(const ScoreEntry& entry);
  // Best first; equal scores in the order they arrived; hidden entries left out.
  std::vector<ScoreEntry> Best(std::size_t limit, EntryFilter filter = EntryFilter::All,
                               std::size_t offset = 0);
  std::size_t Count();
  // Any entry, hidden ones included (with their reason).
  std::optional<ScoreEntry> Entry(std::int64_t id);
  // Marks the entry verified and keeps its replay, as one step; false when there is no such
  // entry or it was verified already.
  bool MarkVerified(std::int64_t id, std::string_view replay);
  // The replay kept with a verified entry that is not hidden.
  std::optional<std::string> ReplayOf(std::int64_t id);

  // MarkVerified and the run's ticket, tick stream and daily entry, as one step; anything but
  // Fresh leaves everything as it was. Spent tickets that expired before `now` are swept.
  RunStanding MarkVerifiedRun(std::int64_t id, std::string_view replay, const VerifiedRun& run,
                              std::int64_t now);
  // The same question without changing anything, asked before the verifier runs.
  RunStanding StandingOf(const VerifiedRun& run);
  // The table secret for race tickets: the stored one, or `fresh` stored by the first caller.
  std::string TicketSecret(std::string_view fresh);
  // The day's table: each name's best verified run, best first, equal scores in arrival order;
  // hidden entries left out.
  std::vector<ScoreEntry> DailyBest(std::uint32_t day, std::size_t limit, std::size_t offset = 0);

  // Moderation; each action writes its audit record in the same transaction.
  std::vector<ScoreEntry> Search(const EntrySearch& search);
  bool Hide(std::int64_t id, const std::string& reason, std::int64_t now);
  bool Unhide(std::int64_t id, const std::string& reason, std::int64_t now);
  bool Rename(std::int64_t id, const std::string& name, const std::string& reason,
              std::int64_t now);
  std::int64_t AddBan(const Ban& ban, std::int64_t now);
  bool LiftBan(std::int64_t id, const std::string& reason, std::int64_t now);
  // Every ban, newest first; ActiveBans only those in force at `now`.
  std::vector<Ban> Bans();
  std::vector<Ban> ActiveBans(std::int64_t now);
  std::vector<AuditRecord> AuditLog(std::size_t limit);
  // A SQLite copy of the whole file taken by the online backup, consistent while others write.
  void BackupTo(const std::string& path);

 private:
  void Execute(const char* sql);
  // Runs `change` in one write transaction: committed when it returns, rolled back on throw.
  template <typename Change>
  auto InTransaction(Change change);
  void Audit(std::int64_t now, const char* action, const std::string& target,
             const std::string& detail, const std::string& reason);
  RunStanding StandingLocked(const VerifiedRun& run);
  void Migrate(int found);
  void CheckIntegrity();
  std::string Damaged(int code) const;
  std::string Where(const char* action) const;

  std::string path_;
  std::mutex mutex_;
  sqlite3* db_ = nullptr;
};

}  // namespace rivoltra::scores
