// rivoltra-scores: the score server of the game.
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "http_front_end.h"
#include "postgres_backend.h"
#include "rate_limiter.h"
#include "score_backend.h"
#include "score_service.h"
#include "score_store.h"
#include "server_options.h"
#include "token_store.h"
#include "web_files.h"

namespace {

using namespace rivoltra::scores;

constexpr auto kStopAllowance = std::chrono::milliseconds(900);

// A file next to this program, or the bare name when the program cannot be found.
std::string BesideProgram(const std::string& name) {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return name;
  return (program.parent_path() / name).string();
}

std::string DefaultDatabase() { return BesideProgram("rivoltra-scores.db"); }

// Every held connection is a descriptor; the soft limit is often far below what is allowed.
void RaiseDescriptorLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
  limit.rlim_cur = limit.rlim_max;
  setrlimit(RLIMIT_NOFILE, &limit);
}

// The storage the options name, with whatever it needs kept alive beside it.
struct Storage {
  std::unique_ptr<ScoreStore> table;
  std::unique_ptr<TokenStore> tokens;
  std::unique_ptr<ScoreBackend> backend;
};

Storage OpenStorage(const ServerOptions& options) {
  Storage storage;
  if (IsPostgresAddress(options.database)) {
    storage.backend = std::make_unique<PostgresBackend>(options.database, options.tokens,
                                                        options.http.workerThreads);
    return storage;
  }
  storage.table = std::make_unique<ScoreStore>(options.database);
  storage.tokens = std::make_unique<TokenStore>(options.tokens);
  storage.backend = std::make_unique<LocalBackend>(*storage.table, *storage.tokens);
  return storage;
}

int Serve(const ServerOptions& options, const sigset_t& stopSignals) {
  Storage storage = OpenStorage(options);
  RateLimiter versionLimiter(options.versionLimit);
  RateLimiter reportLimiter(options.reportLimit);
  RateLimiter uploadLimiter(options.uploadLimit);
  ScoreService service(*storage.backend, versionLimiter, reportLimiter);
  service.SetTicketRules(options.ticketRules);
  if (!options.ticketSecretFile.empty()) {
    service.UseTicketSecret(ReadTicketSecretFile(options.ticketSecretFile));
  }
  ProcessVerifier verifier(options.verifier);
  service.AcceptReplays(verifier, uploadLimiter);
  if (::access(options.verifier.program.c_str(), X_OK) != 0) {
    std::cerr << "rivoltra-scores: warning: verifier " << options.verifier.program
              << " is not runnable; replay uploads will be answered 503" << std::endl;
  }

  std::mutex logMutex;
  HttpFrontEnd::Log log;
  if (!options.quiet) {
    log = [&logMutex](const std::string& line) {
      std::lock_guard lock(logMutex);
      std::cerr << line << '\n';
    };
  }
  std::unique_ptr<WebFiles> web;
  if (!options.webFolder.empty()) {
    web = std::make_unique<WebFiles>(options.webFolder);
    service.SetPlayAddress(web->Prefix());
  }
  HttpFrontEnd::Handler handler = [&service, &web](const ServerRequest& request,
                                                   const ServiceTime& time) {
    if (web && web->Serves(request.Target)) return web->Handle(request);
    return service.Handle(request, time);
  };
  HttpFrontEnd frontEnd(handler, options.http, log);
  if (!options.trustedProxy.empty()) frontEnd.TrustProxy(options.trustedProxy);
  int port = frontEnd.Bind(options.host, options.port);
  std::string shownHost =
      options.host.find(':') != std::string::npos ? "[" + options.host + "]" : options.host;
  std::cout << "rivoltra-scores listening on http://" << shownHost << ":" << port << "/ with "
            << RedactedAddress(options.database) << std::endl;

  std::promise<void> finished;
  std::thread stopper([&frontEnd, stopSignals, done = finished.get_future()] {
    int received = 0;
    sigwait(&stopSignals, &received);
    frontEnd.Stop();
    // Clients cannot hold the stop up, but a storage call that hangs (a database gone
    // silent) could; committed scores are safe either way, so the process leaves without it.
    if (done.wait_for(kStopAllowance) != std::future_status::ready) {
      std::cerr << "rivoltra-scores: a storage call outlived the stop; leaving without it"
                << std::endl;
      std::_Exit(0);
    }
  });
  bool served = frontEnd.Run();
  finished.set_value();
  // Run only ends by a stop signal or a listener failure; either way the waiting thread must
  // be released before it can be joined.
  if (!served) kill(getpid(), SIGTERM);
  stopper.join();
  if (!served) {
    std::cerr << "rivoltra-scores: the listener failed\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::cout << kServerUsage;
    return 0;
  }
  auto options =
      ParseServerOptions(std::vector<std::string>(argv + 1, argv + argc), DefaultDatabase());
  if (!options) {
    std::cerr << kServerUsage;
    return 2;
  }
  if (auto conflict = ConflictIn(*options)) {
    std::cerr << "rivoltra-scores: " << *conflict << '\n';
    return 2;
  }
  if (options->verifier.program.empty())
    options->verifier.program = BesideProgram("rivoltra-replay");

  // Blocked before any thread starts, so only the waiting thread ever takes them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);
  RaiseDescriptorLimit();

  try {
    return Serve(*options, stopSignals);
  } catch (const std::exception& error) {
    std::cerr << "rivoltra-scores: " << error.what() << '\n';
    return 1;
  }
}
