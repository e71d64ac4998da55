// rivoltra-scores: the score server of the game.
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
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

#include "access_log.h"
#include "admin_command.h"
#include "http_front_end.h"
#include "metrics.h"
#include "name_filter.h"
#include "open_storage.h"
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

// One replay byte a day is this many milliseconds of refill.
std::chrono::milliseconds RefillPerByte(std::size_t bytesPerDay) {
  return std::chrono::milliseconds(
      std::max<long long>(1, 86'400'000LL / static_cast<long long>(bytesPerDay)));
}

// The access log (plain or JSON) and the request metrics, fed by every reply.
HttpFrontEnd::Observer Observer(const ServerOptions& options, Metrics& metrics,
                                std::mutex& logMutex) {
  bool quiet = options.Quiet;
  bool json = options.JsonAccessLog;
  return [&metrics, &logMutex, quiet, json](const HttpFrontEnd::Exchange& exchange) {
    metrics.CountRequest(Metrics::RouteOf(exchange.Method, exchange.Target), exchange.Status,
                         exchange.Duration);
    if (quiet) return;
    std::string line =
        json ? AccessLogJson(exchange, std::chrono::system_clock::now())
             : AccessLogLine(exchange.Client, exchange.Status, exchange.Method, exchange.Target);
    std::lock_guard lock(logMutex);
    std::cerr << line << '\n';
  };
}

int Serve(const ServerOptions& options, const sigset_t& stopSignals) {
  Storage storage = OpenStorage(options.Database, options.Tokens, options.Http.WorkerThreads);
  RateLimiter versionLimiter(options.VersionLimit);
  RateLimiter reportLimiter(options.ReportLimit);
  RateLimiter uploadLimiter(options.UploadLimit);
  RateLimiter downloadLimiter(options.DownloadLimit);
  RateLimiter replayBytes({static_cast<double>(options.ReplayBytesPerClient),
                           RefillPerByte(options.ReplayBytesPerClient),
                           options.UploadLimit.MaxClients});
  ScoreService service(*storage.Backend, versionLimiter, reportLimiter);
  service.SetTicketRules(options.TicketRules);
  if (!options.TicketSecretFile.empty()) {
    service.UseTicketSecret(ReadTicketSecretFile(options.TicketSecretFile));
  }
  ProcessVerifier verifier(options.Verifier);
  service.AcceptReplays(verifier, uploadLimiter);
  service.LimitReplayBytes(replayBytes);
  service.LimitDownloads(downloadLimiter, options.DownloadsAtOnce);
  if (!options.NameFilterFile.empty())
    service.FilterNames(NameFilter::Load(options.NameFilterFile));
  if (::access(options.Verifier.Program.c_str(), X_OK) != 0) {
    std::cerr << "rivoltra-scores: warning: verifier " << options.Verifier.Program
              << " is not runnable; replay uploads will be answered 503" << std::endl;
  }

  Metrics metrics;
  std::mutex logMutex;
  std::unique_ptr<WebFiles> web;
  if (!options.WebFolder.empty()) {
    web = std::make_unique<WebFiles>(options.WebFolder);
    service.SetPlayAddress(web->Prefix());
  }
  HttpFrontEnd::Handler handler = [&service, &web](const ServerRequest& request,
                                                   const ServiceTime& time) {
    if (web && web->Serves(request.Target)) return web->Handle(request);
    return service.Handle(request, time);
  };
  HttpFrontEnd frontEnd(handler, options.Http);
  if (!options.TrustedProxy.empty()) frontEnd.TrustProxy(options.TrustedProxy);
  frontEnd.Observe(Observer(options, metrics, logMutex));
  frontEnd.AdmitUploadsWith([&service](const ServerRequest& head, const ServiceTime& time) {
    return service.AdmitUpload(head, time);
  });
  service.ServeMetrics(metrics, options.MetricsFrom, [&frontEnd] {
    Metrics::Gauges gauges;
    gauges.OpenConnections = frontEnd.OpenConnections();
    gauges.RefusedConnections = frontEnd.RefusedConnections();
    gauges.RefusedUploadPlaces = frontEnd.RefusedUploadPlaces();
    return gauges;
  });
  int port = frontEnd.Bind(options.Host, options.Port);
  std::string shownHost =
      options.Host.find(':') != std::string::npos ? "[" + options.Host + "]" : options.Host;
  std::cout << "rivoltra-scores listening on http://" << shownHost << ":" << port << "/ with "
            << RedactedAddress(options.Database) << std::endl;

  std::promise<void> finished;
  std::thread stopper([&frontEnd, &verifier, stopSignals, done = finished.get_future()] {
    int received = 0;
    sigwait(&stopSignals, &received);
    // Verifications end first: their processes and files must not outlive the server.
    verifier.StopAll();
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
  if (argc >= 2 && (std::strcmp(argv[1], "admin") == 0 || std::strcmp(argv[1], "backup") == 0 ||
                    std::strcmp(argv[1], "restore") == 0)) {
    if (argc == 3 && std::strcmp(argv[2], "--help") == 0) {
      std::cout << kAdminUsage;
      return 0;
    }
    return RunAdminCommand(std::vector<std::string>(argv + 1, argv + argc), DefaultDatabase(),
                           std::cout, std::cerr);
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
  if (options->Verifier.Program.empty())
    options->Verifier.Program = BesideProgram("rivoltra-replay");

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
