#include "server_options.h"

#include <functional>
#include <limits>
#include <map>

#include "ban_list.h"

namespace rivoltra::scores {
namespace {

std::optional<long long> ParseNumber(const std::string& text, long long low, long long high) {
  if (text.empty() || text.size() > 12) return std::nullopt;
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

bool ParseListen(const std::string& value, ServerOptions& options) {
  std::size_t colon = value.rfind(':');
  if (colon == std::string::npos || colon == 0) return false;
  auto port = ParseNumber(value.substr(colon + 1), 0, 65535);
  if (!port || value.size() - colon - 1 > 5) return false;
  std::string host = value.substr(0, colon);
  // [::1]:8642 names an IPv6 address.
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  options.Host = host;
  options.Port = static_cast<int>(*port);
  return true;
}

using Setter = std::function<bool(const std::string& value, ServerOptions& options)>;

// An option holding a whole number from low to high, stored through `store`.
template <typename Store>
Setter Number(long long low, long long high, Store store) {
  return [=](const std::string& value, ServerOptions& options) {
    auto number = ParseNumber(value, low, high);
    if (!number) return false;
    store(options, *number);
    return true;
  };
}

const std::map<std::string, Setter>& ValueOptions() {
  static const std::map<std::string, Setter> kSetters = {
      {"--listen", ParseListen},
      {"--db",
       [](const std::string& value, ServerOptions& options) {
         options.Database = value;
         return !value.empty();
       }},
      {"--web",
       [](const std::string& value, ServerOptions& options) {
         options.WebFolder = value;
         return !value.empty();
       }},
      {"--trust-proxy",
       [](const std::string& value, ServerOptions& options) {
         options.TrustedProxy = value;
         return !value.empty();
       }},
      {"--ticket-secret",
       [](const std::string& value, ServerOptions& options) {
         options.TicketSecretFile = value;
         return !value.empty();
       }},
      {"--ticket-slack",
       Number(0, 24LL * 3600,
              [](auto& o, long long v) { o.TicketRules.Slack = std::chrono::seconds(v); })},
      {"--name-filter",
       [](const std::string& value, ServerOptions& options) {
         options.NameFilterFile = value;
         return !value.empty();
       }},
      {"--metrics-from",
       [](const std::string& value, ServerOptions& options) {
         options.MetricsFrom.clear();
         std::size_t start = 0;
         while (start <= value.size()) {
           std::size_t comma = value.find(',', start);
           std::string range = value.substr(start, comma - start);
           if (range != "none") {
             if (!ValidAddressPattern(range)) return false;
             options.MetricsFrom.push_back(range);
           }
           if (comma == std::string::npos) break;
           start = comma + 1;
         }
         return true;
       }},
      {"--access-log",
       [](const std::string& value, ServerOptions& options) {
         options.JsonAccessLog = value == "json";
         return value == "json" || value == "plain";
       }},
      {"--verify-memory-mb", Number(16, 65536,
                                    [](auto& o, long long v) {
                                      o.Verifier.MemoryBytes = static_cast<std::size_t>(v) << 20;
                                    })},
      {"--uploads-per-client",
       Number(1, 4096, [](auto& o, long long v) { o.Http.MaxUploadsPerClient = v; })},
      {"--replay-bytes-per-client",
       Number(1024, 1LL << 40, [](auto& o, long long v) { o.ReplayBytesPerClient = v; })},
      {"--download-burst",
       Number(1, 1'000'000,
              [](auto& o, long long v) { o.DownloadLimit.Burst = static_cast<double>(v); })},
      {"--download-refill-ms",
       Number(1, 86'400'000,
              [](auto& o, long long v) { o.DownloadLimit.Refill = std::chrono::milliseconds(v); })},
      {"--downloads-at-once", Number(1, 4096, [](auto& o, long long v) { o.DownloadsAtOnce = v; })},
      {"--verifier",
       [](const std::string& value, ServerOptions& options) {
         options.Verifier.Program = value;
         return !value.empty();
       }},
      {"--verifier-data",
       [](const std::string& value, ServerOptions& options) {
         options.Verifier.DataFolder = value;
         return !value.empty();
       }},
      {"--verify-cpu-seconds",
       Number(1, 3600, [](auto& o, long long v) { o.Verifier.CpuTime = std::chrono::seconds(v); })},
      {"--verify-wall-seconds",
       Number(1, 3600,
              [](auto& o, long long v) { o.Verifier.WallTime = std::chrono::seconds(v); })},
      {"--verify-jobs", Number(1, 64, [](auto& o, long long v) { o.Verifier.Running = v; })},
      {"--verify-queue", Number(0, 1024, [](auto& o, long long v) { o.Verifier.Waiting = v; })},
      {"--max-upload-bytes",
       Number(1024, 1 << 20, [](auto& o, long long v) { o.Http.MaxUploadBytes = v; })},
      {"--uploads-at-once",
       Number(1, 4096, [](auto& o, long long v) { o.Http.MaxUploadsAtOnce = v; })},
      {"--upload-burst",
       Number(1, 1'000'000,
              [](auto& o, long long v) { o.UploadLimit.Burst = static_cast<double>(v); })},
      {"--upload-refill-ms",
       Number(1, 86'400'000,
              [](auto& o, long long v) { o.UploadLimit.Refill = std::chrono::milliseconds(v); })},
      {"--request-timeout",
       Number(1, 3600, [](auto& o, long long v) { o.Http.ReadTimeoutSeconds = v; })},
      {"--write-timeout",
       Number(1, 3600, [](auto& o, long long v) { o.Http.WriteTimeoutSeconds = v; })},
      {"--max-header-bytes",
       Number(1024, 16384, [](auto& o, long long v) { o.Http.MaxHeaderBytes = v; })},
      {"--max-headers", Number(1, 1000, [](auto& o, long long v) { o.Http.MaxHeaderCount = v; })},
      // A connection's memory stays under 1 MiB whatever the limits: its read buffer (header,
      // body and 4 KiB), the body, and the parsed fields (up to about 80 bytes per 4-byte field).
      // Replay uploads are the exception, capped apart and few at a time (--uploads-at-once).
      {"--max-body-bytes",
       Number(0, 256LL * 1024, [](auto& o, long long v) { o.Http.MaxBodyBytes = v; })},
      {"--max-connections",
       Number(1, 1'000'000, [](auto& o, long long v) { o.Http.MaxConnections = v; })},
      {"--max-connections-per-client",
       Number(1, 1'000'000, [](auto& o, long long v) { o.Http.MaxConnectionsPerClient = v; })},
      {"--backlog",
       Number(1, 65535, [](auto& o, long long v) { o.Http.ListenBacklog = static_cast<int>(v); })},
      {"--threads", Number(1, 256, [](auto& o, long long v) { o.Http.WorkerThreads = v; })},
      {"--version-burst",
       Number(1, 1'000'000,
              [](auto& o, long long v) { o.VersionLimit.Burst = static_cast<double>(v); })},
      {"--version-refill-ms",
       Number(1, 86'400'000,
              [](auto& o, long long v) { o.VersionLimit.Refill = std::chrono::milliseconds(v); })},
      {"--report-burst",
       Number(1, 1'000'000,
              [](auto& o, long long v) { o.ReportLimit.Burst = static_cast<double>(v); })},
      {"--report-refill-ms",
       Number(1, 86'400'000,
              [](auto& o, long long v) { o.ReportLimit.Refill = std::chrono::milliseconds(v); })},
      {"--rate-clients", Number(1, 10'000'000,
                                [](auto& o, long long v) {
                                  o.VersionLimit.MaxClients = v;
                                  o.ReportLimit.MaxClients = v;
                                  o.UploadLimit.MaxClients = v;
                                  o.DownloadLimit.MaxClients = v;
                                })},
      {"--token-lifetime",
       Number(1, 86'400,
              [](auto& o, long long v) { o.Tokens.Lifetime = std::chrono::seconds(v); })},
      {"--token-capacity",
       Number(1, 10'000'000, [](auto& o, long long v) { o.Tokens.Capacity = v; })},
      {"--tokens-per-client",
       Number(1, 1'000'000, [](auto& o, long long v) { o.Tokens.PerClient = v; })},
  };
  return kSetters;
}

}  // namespace

const char* const kServerUsage =
    "usage: rivoltra-scores [options]\n"
    "  --listen HOST:PORT     address to serve on (default 127.0.0.1:8642; port 0 picks a free "
    "one)\n"
    "  --db FILE|URL          SQLite file of the online table (default rivoltra-scores.db next "
    "to\n"
    "                         this program), or postgresql://... to share one table between\n"
    "                         several servers\n"
    "  --web DIR              serve the browser build in DIR under /play/\n"
    "  --trust-proxy ADDR     take the client from X-Forwarded-For when the peer is ADDR\n"
    "  --quiet                no access log on standard error\n"
    "  --access-log FORMAT    plain (default) or json: one JSON object a line\n"
    "  --name-filter FILE     names refused when reported and left off the pages\n"
    "  --metrics-from RANGES  addresses /metrics answers (default 127.0.0.0/8,::1; none)\n"
    "limits (defaults in brackets):\n"
    "  --request-timeout S [5]            whole request, first byte to last\n"
    "  --write-timeout S [5]              one reply\n"
    "  --max-header-bytes N [8192]        request line and header fields, at most 16384\n"
    "  --max-headers N [64]               header fields per request\n"
    "  --max-body-bytes N [1024]          request body, at most 262144\n"
    "  --max-connections N [4096]         open connections in all\n"
    "  --max-connections-per-client N [256]\n"
    "  --backlog N [1024]                 connections waiting to be accepted\n"
    "  --threads N [8]                    threads answering requests\n"
    "  --version-burst N [30]  --version-refill-ms MS [2000]   version requests per address\n"
    "  --report-burst N [5]    --report-refill-ms MS [60000]   score reports per address\n"
    "  --rate-clients N [4096]            addresses the rate limits remember\n"
    "  --token-lifetime S [600]  --token-capacity N [10000]  --tokens-per-client N [16]\n"
    "replays (POST /cgi/replay.pl?token=T after a report; defaults in brackets):\n"
    "  --verifier PATH        program run as PATH verify [--data DIR] FILE (default\n"
    "                         rivoltra-replay next to this program)\n"
    "  --verifier-data DIR    passed on to the verifier as --data DIR\n"
    "  --verify-cpu-seconds S [5]  --verify-wall-seconds S [6]   per verification; killed "
    "after\n"
    "  --verify-jobs N [1]    verifications at once\n"
    "  --verify-queue N [2]   uploads waiting for a verification; more are answered 503\n"
    "                         (jobs plus queue must stay below --threads)\n"
    "  --max-upload-bytes N [1048576]     upload body, at most 1048576\n"
    "  --uploads-at-once N [16]           upload bodies read or verified at once\n"
    "  --upload-burst N [5]    --upload-refill-ms MS [60000]   uploads per address\n"
    "  --uploads-per-client N [2]         upload bodies one address reads at once\n"
    "  --replay-bytes-per-client N [4194304]   replay bytes one address uploads per day\n"
    "  --verify-memory-mb N [512]         address space of one verification\n"
    "  --download-burst N [10] --download-refill-ms MS [6000]   replay downloads per address\n"
    "  --downloads-at-once N [32]         replay downloads sent at once\n"
    "race tickets (GET /cgi/ticket.pl; only a ticketed replay earns the verified mark):\n"
    "  --ticket-secret FILE   sign tickets with the secret in FILE (at least 16 bytes), the\n"
    "                         same file for every server of one table; without it the secret\n"
    "                         is made once and kept in the database\n"
    "  --ticket-slack S [5]   how much faster than real time (and than the issue time) a race\n"
    "                         may seem before it is refused; for tests with a fake clock\n"
    "operators: rivoltra-scores admin|backup|restore ... (rivoltra-scores admin --help)\n";

std::optional<std::string> ConflictIn(const ServerOptions& options) {
  // Each waiting upload holds a request thread; the table page needs at least one left.
  if (options.Verifier.Running + options.Verifier.Waiting >= options.Http.WorkerThreads) {
    return "--verify-jobs plus --verify-queue must stay below --threads";
  }
  return std::nullopt;
}

bool IsPostgresAddress(const std::string& database) {
  return database.rfind("postgresql://", 0) == 0 || database.rfind("postgres://", 0) == 0;
}

std::optional<ServerOptions> ParseServerOptions(const std::vector<std::string>& arguments,
                                                std::string defaultDatabase) {
  ServerOptions options;
  options.Database = std::move(defaultDatabase);
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--quiet") {
      options.Quiet = true;
      continue;
    }
    auto setter = ValueOptions().find(argument);
    if (setter == ValueOptions().end() || i + 1 >= arguments.size()) return std::nullopt;
    if (!setter->second(arguments[++i], options)) return std::nullopt;
  }
  return options;
}

}  // namespace rivoltra::scores
