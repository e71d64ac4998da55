#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rivoltra::scores {

// What the verifier made of a replay.
enum class VerdictKind {
  Reproduced,  // the run reproduces the replay's recorded result
  Different,   // the run ends elsewhere than the replay says
  Unreadable,  // the verifier could not read the replay or the game's data
  Busy,        // every verification slot and queue place was taken
  Failed,      // the verifier did not answer: missing, crashed, over its time or gibberish
};

struct VerifierVerdict {
  VerdictKind Kind = VerdictKind::Failed;
  std::int64_t Score = 0;  // the score the run reached, when it ran
  std::string Detail;      // one printable line for the reply and the log
};

// Re-simulates replay bytes; safe to call from several threads.
class ReplayVerifier {
 public:
  virtual ~ReplayVerifier() = default;
  virtual VerifierVerdict Verify(std::string_view replay) = 0;
};

// Runs the verifier program, `PROGRAM verify [--data DIR] FILE`, on the bytes in a temporary
// file and reads the one JSON line it prints: {"valid": true|false, "score": N, ...}, exit 0
// when the run reproduces the recorded result, 1 when not, 2 when the file or the game's data
// cannot be read.
// At most `running` programs run at once and `waiting` calls wait for a turn; a call beyond
// those is answered Busy at once, and one that waits longer than the wall time too, so no
// caller is held longer than about twice the wall time. The program runs in its own process
// group under a CPU-time limit and is killed, with its group, when it overruns the wall time.
class ProcessVerifier final : public ReplayVerifier {
 public:
  struct Limits {
    std::string Program;
    std::string DataFolder;  // passed on as --data when not empty
    std::chrono::seconds CpuTime{5};
    // A turn waited for and a run together stay below the game's 15-second request timeout.
    std::chrono::seconds WallTime{6};
    std::size_t Running = 1;
    std::size_t Waiting = 2;
    // Address space of one verification (RLIMIT_AS), so a run cannot take the server's memory.
    std::size_t MemoryBytes = std::size_t{512} << 20;
  };

  explicit ProcessVerifier(Limits limits);
  VerifierVerdict Verify(std::string_view replay) override;
  const Limits& Settings() const { return limits_; }
  // For the server's stop: kills every running verifier with its process group and removes
  // its replay file at once, without waiting for the threads that wait on them; later calls
  // are answered Failed. Safe from any thread.
  void StopAll();

 private:
  struct Running {
    pid_t Group = -1;
    std::string File;
  };
  VerifierVerdict Run(std::string_view replay);
  bool Register(pid_t group, const std::string& file);
  void Unregister(pid_t group);

  Limits limits_;
  std::mutex mutex_;
  std::condition_variable turn_;
  std::size_t running_ = 0;
  std::size_t waiting_ = 0;
  bool stopped_ = false;
  std::vector<Running> live_;
};

// The verdict a verifier's exit status and output line mean; for the process runner and tests.
VerifierVerdict VerdictOf(int exitStatus, std::string_view output);

// The value of a top-level member of a one-line JSON object, as its raw text (a string with its
// quotes and escapes); nullopt when the line is no whole object or has no such member.
std::optional<std::string> JsonMember(std::string_view line, std::string_view name);
// A string value without its quotes; anything else as it is.
std::string Unquoted(std::string_view value);

}  // namespace rivoltra::scores
