#include "verifier_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

namespace rivoltra::scores {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxOutputBytes = 4096;
constexpr std::size_t kMaxDetailLength = 120;
constexpr int kExecFailed = 127;

std::string Printable(std::string_view text) {
  std::string shown;
  for (char c : text.substr(0, kMaxDetailLength)) {
    auto code = static_cast<unsigned char>(c);
    shown += (code >= 0x20 && code < 0x7F && c != '|') ? c : '?';
  }
  return shown;
}

// The replay in a private temporary file, removed with this object.
class TemporaryReplay {
 public:
  explicit TemporaryReplay(std::string_view bytes) {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) folder = "/tmp";
    path_ = (folder / "rivoltra-upload-XXXXXX.rvr").string();
    int file = mkstemps(path_.data(), 4);
    if (file < 0) {
      path_.clear();
      return;
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
      ssize_t step = write(file, bytes.data() + written, bytes.size() - written);
      if (step < 0 && errno == EINTR) continue;
      if (step <= 0) break;
      written += static_cast<std::size_t>(step);
    }
    close(file);
    ok_ = written == bytes.size();
  }
  ~TemporaryReplay() {
    if (!path_.empty()) unlink(path_.c_str());
  }
  TemporaryReplay(const TemporaryReplay&) = delete;
  TemporaryReplay& operator=(const TemporaryReplay&) = delete;

  bool Ok() const { return ok_; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  bool ok_ = false;
};

// Only async-signal-safe calls between fork and exec: the server has threads.
[[noreturn]] void BecomeVerifier(const std::vector<char*>& arguments, int output, rlim_t cpu,
                                 rlim_t memory) {
  setpgid(0, 0);
  // A server that dies without stopping takes its verifier along.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  rlimit addressSpace{memory, memory};
  setrlimit(RLIMIT_AS, &addressSpace);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  signal(SIGPIPE, SIG_DFL);
  rlimit limit{cpu, cpu + 1};
  setrlimit(RLIMIT_CPU, &limit);
  // A verifier stopped by its CPU limit leaves no core file in the server's folder.
  rlimit noCore{0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
  int nothing = open("/dev/null", O_RDWR);
  if (nothing < 0 || dup2(nothing, 0) < 0 || dup2(output, 1) < 0 || dup2(nothing, 2) < 0) {
    _exit(kExecFailed);
  }
  // The listener's sockets and the database stay with the server.
  syscall(SYS_close_range, 3U, ~0U, 0U);
  execv(arguments[0], arguments.data());
  _exit(kExecFailed);
}

void KillGroup(pid_t child) {
  kill(-child, SIGKILL);
  kill(child, SIGKILL);
}

}  // namespace

std::optional<std::string> JsonMember(std::string_view line, std::string_view name) {
  std::size_t at = 0;
  auto skipSpace = [&] {
    while (at < line.size() &&
           (line[at] == ' ' || line[at] == '\t' || line[at] == '\r' || line[at] == '\n')) {
      ++at;
    }
  };
  // A string from its opening quote to its closing one, both kept.
  auto readString = [&]() -> std::optional<std::string_view> {
    if (at >= line.size() || line[at] != '"') return std::nullopt;
    std::size_t start = at++;
    while (at < line.size() && line[at] != '"') at += line[at] == '\\' ? 2 : 1;
    if (at >= line.size()) return std::nullopt;
    ++at;
    return line.substr(start, at - start);
  };
  // Any value; nested objects and arrays are taken whole.
  auto readValue = [&]() -> std::optional<std::string_view> {
    std::size_t start = at;
    int depth = 0;
    while (at < line.size()) {
      char c = line[at];
      if (c == '"') {
        if (!readString()) return std::nullopt;
        continue;
      }
      if (c == '{' || c == '[') ++depth;
      if (c == '}' || c == ']') {
        if (depth == 0) break;
        --depth;
      }
      if (c == ',' && depth == 0) break;
      ++at;
    }
    if (depth != 0 || at == start) return std::nullopt;
    std::string_view value = line.substr(start, at - start);
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
    return value;
  };

  // The whole object is read before anything is answered: a cut line is no verdict.
  std::optional<std::string> found;
  skipSpace();
  if (at >= line.size() || line[at] != '{') return std::nullopt;
  ++at;
  while (true) {
    skipSpace();
    auto key = readString();
    if (!key) return std::nullopt;
    skipSpace();
    if (at >= line.size() || line[at] != ':') return std::nullopt;
    ++at;
    skipSpace();
    auto value = readValue();
    if (!value) return std::nullopt;
    if (key->substr(1, key->size() - 2) == name && !found) found = std::string(*value);
    skipSpace();
    if (at < line.size() && line[at] == '}') break;
    if (at >= line.size() || line[at] != ',') return std::nullopt;
    ++at;
  }
  ++at;
  skipSpace();
  if (at != line.size()) return std::nullopt;
  return found;
}

std::string Unquoted(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return std::string(value.substr(1, value.size() - 2));
  }
  return std::string(value);
}

VerifierVerdict VerdictOf(int exitStatus, std::string_view output) {
  VerifierVerdict verdict;
  std::string_view line = output.substr(0, output.find('\n'));
  if (exitStatus == 2) {
    verdict.Kind = VerdictKind::Unreadable;
    verdict.Detail = Printable(Unquoted(JsonMember(line, "reason").value_or("unreadable replay")));
    return verdict;
  }
  if (exitStatus != 0 && exitStatus != 1) {
    verdict.Detail = "verifier exited with status " + std::to_string(exitStatus);
    return verdict;
  }
  auto valid = JsonMember(line, "valid");
  auto score = JsonMember(line, "score");
  std::int64_t reached = 0;
  bool numeric =
      score && std::from_chars(score->data(), score->data() + score->size(), reached).ptr ==
                   score->data() + score->size();
  if (!valid || (*valid != "true" && *valid != "false") || !numeric) {
    verdict.Detail = "verifier answered no verdict";
    return verdict;
  }
  verdict.Score = reached;
  // Both must agree: a verdict line that contradicts its exit status is not trusted.
  if (exitStatus == 0 && *valid == "true") {
    verdict.Kind = VerdictKind::Reproduced;
  } else {
    verdict.Kind = VerdictKind::Different;
    verdict.Detail =
        Printable(Unquoted(JsonMember(line, "reason").value_or("run does not reproduce")));
  }
  return verdict;
}

ProcessVerifier::ProcessVerifier(Limits limits) : limits_(std::move(limits)) {
  if (limits_.Running == 0) limits_.Running = 1;
}

void ProcessVerifier::StopAll() {
  std::lock_guard lock(mutex_);
  stopped_ = true;
  for (const Running& running : live_) {
    KillGroup(running.Group);
    unlink(running.File.c_str());
  }
  turn_.notify_all();
}

bool ProcessVerifier::Register(pid_t group, const std::string& file) {
  std::lock_guard lock(mutex_);
  live_.push_back({group, file});
  return !stopped_;
}

void ProcessVerifier::Unregister(pid_t group) {
  std::lock_guard lock(mutex_);
  std::erase_if(live_, [group](const Running& running) { return running.Group == group; });
}

VerifierVerdict ProcessVerifier::Verify(std::string_view replay) {
  {
    std::unique_lock lock(mutex_);
    if (stopped_) return {VerdictKind::Failed, 0, "server stopping"};
    if (running_ + waiting_ >= limits_.Running + limits_.Waiting) {
      return {VerdictKind::Busy, 0, "verification queue full"};
    }
    ++waiting_;
    bool turn = turn_.wait_for(lock, limits_.WallTime,
                               [this] { return stopped_ || running_ < limits_.Running; });
    --waiting_;
    if (stopped_) return {VerdictKind::Failed, 0, "server stopping"};
    if (!turn) return {VerdictKind::Busy, 0, "no verification slot in time"};
    ++running_;
  }
  VerifierVerdict verdict;
  try {
    verdict = Run(replay);
  } catch (...) {
    verdict = {VerdictKind::Failed, 0, "verifier not started"};
  }
  {
    std::lock_guard lock(mutex_);
    --running_;
  }
  turn_.notify_one();
  return verdict;
}

VerifierVerdict ProcessVerifier::Run(std::string_view replay) {
  TemporaryReplay file(replay);
  if (!file.Ok()) return {VerdictKind::Failed, 0, "no room for the replay"};
  std::vector<std::string> words = {limits_.Program, "verify"};
  if (!limits_.DataFolder.empty()) {
    words.emplace_back("--data");
    words.push_back(limits_.DataFolder);
  }
  words.push_back(file.Path());
  std::vector<char*> arguments;
  for (std::string& word : words) arguments.push_back(word.data());
  arguments.push_back(nullptr);

  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return {VerdictKind::Failed, 0, "no pipe"};
  auto cpu = static_cast<rlim_t>(limits_.CpuTime.count());
  auto memory = static_cast<rlim_t>(limits_.MemoryBytes);
  pid_t child = fork();
  if (child == 0) BecomeVerifier(arguments, pipeEnds[1], cpu, memory);
  close(pipeEnds[1]);
  if (child < 0) {
    close(pipeEnds[0]);
    return {VerdictKind::Failed, 0, "cannot start the verifier"};
  }
  // Set here too: the child may not have run yet when a stop kills the group.
  setpgid(child, child);
  struct Registration {
    ProcessVerifier& Owner;
    pid_t Group;
    ~Registration() { Owner.Unregister(Group); }
  };
  bool live = Register(child, file.Path());
  Registration registration{*this, child};
  if (!live) KillGroup(child);

  Clock::time_point deadline = Clock::now() + limits_.WallTime;
  std::string output;
  bool overran = false;
  char chunk[1024];
  while (true) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      overran = true;
      break;
    }
    pollfd wanted{pipeEnds[0], POLLIN, 0};
    int ready = poll(&wanted, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;
    ssize_t got = read(pipeEnds[0], chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    // Output beyond the cap is read and dropped, so a chatty program cannot block on the pipe.
    std::size_t room = kMaxOutputBytes - std::min(output.size(), kMaxOutputBytes);
    output.append(chunk, std::min(room, static_cast<std::size_t>(got)));
  }
  close(pipeEnds[0]);

  int status = 0;
  while (!overran) {
    pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) break;
    if (done < 0 && errno != EINTR) break;
    if (Clock::now() >= deadline) {
      overran = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (overran) {
    KillGroup(child);
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return {VerdictKind::Failed, 0, "verifier overran its time"};
  }
  // Anything the verifier started and left behind goes with it.
  kill(-child, SIGKILL);
  if (WIFSIGNALED(status)) {
    bool outOfCpu = WTERMSIG(status) == SIGXCPU || WTERMSIG(status) == SIGKILL;
    return {VerdictKind::Failed, 0, outOfCpu ? "verifier overran its time" : "verifier crashed"};
  }
  int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (code == kExecFailed) return {VerdictKind::Failed, 0, "verifier not runnable"};
  return VerdictOf(code, output);
}

}  // namespace rivoltra::scores
