// rivoltra-scores: the score server of the game.
#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "http_front_end.h"
#include "rate_limiter.h"
#include "score_service.h"
#include "score_store.h"
#include "token_store.h"

namespace {

using namespace rivoltra::scores;

constexpr const char* kUsage =
    "usage: rivoltra-scores [--listen HOST:PORT] [--db FILE] [--quiet]\n"
    "  --listen HOST:PORT  address to serve on (default 127.0.0.1:8642; port 0 picks a free one)\n"
    "  --db FILE           SQLite file of the online table (default rivoltra-scores.db next to\n"
    "                      this program)\n"
    "  --quiet             no access log on standard error\n";

struct Options {
  std::string host = "127.0.0.1";
  int port = 8642;
  std::string database;
  bool quiet = false;
};

std::string DefaultDatabase() {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "rivoltra-scores.db";
  return (program.parent_path() / "rivoltra-scores.db").string();
}

std::optional<int> ParsePort(const std::string& text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  int port = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + (c - '0');
  }
  if (port > 65535) return std::nullopt;
  return port;
}

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  options.database = DefaultDatabase();
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    bool hasValue = i + 1 < argc;
    if (argument == "--listen" && hasValue) {
      std::string value = argv[++i];
      std::size_t colon = value.rfind(':');
      if (colon == std::string::npos || colon == 0) return std::nullopt;
      auto port = ParsePort(value.substr(colon + 1));
      if (!port) return std::nullopt;
      options.host = value.substr(0, colon);
      options.port = *port;
    } else if (argument == "--db" && hasValue) {
      options.database = argv[++i];
      if (options.database.empty()) return std::nullopt;
    } else if (argument == "--quiet") {
      options.quiet = true;
    } else {
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::cout << kUsage;
    return 0;
  }
  auto options = ParseOptions(argc, argv);
  if (!options) {
    std::cerr << kUsage;
    return 2;
  }

  // Blocked before any thread starts, so only the waiting thread below ever takes them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  try {
    ScoreStore store(options->database);
    TokenStore tokens(TokenStore::Limits{});
    RateLimiter versionLimiter(RateLimiter::Limits{30, std::chrono::seconds(2), 4096});
    RateLimiter reportLimiter(RateLimiter::Limits{5, std::chrono::seconds(60), 4096});
    ScoreService service(store, tokens, versionLimiter, reportLimiter);

    std::mutex logMutex;
    HttpFrontEnd::Log log;
    if (!options->quiet) {
      log = [&logMutex](const std::string& line) {
        std::lock_guard lock(logMutex);
        std::cerr << line << '\n';
      };
    }
    HttpFrontEnd frontEnd(service, HttpFrontEnd::Limits{}, log);
    int port = frontEnd.Bind(options->host, options->port);
    std::cout << "rivoltra-scores listening on http://" << options->host << ":" << port << "/ with "
              << options->database << std::endl;

    std::thread stopper([&frontEnd, stopSignals] {
      int received = 0;
      sigwait(&stopSignals, &received);
      frontEnd.Stop();
    });
    bool served = frontEnd.Run();
    // Run only ends by a stop signal or a listener failure; either way the waiting thread must
    // be released before it can be joined.
    if (!served) kill(getpid(), SIGTERM);
    stopper.join();
    if (!served) {
      std::cerr << "rivoltra-scores: the listener failed\n";
      return 1;
    }
  } catch (const std::exception& error) {
    std::cerr << "rivoltra-scores: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
