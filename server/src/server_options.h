#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "http_front_end.h"
#include "race_tickets.h"
#include "rate_limiter.h"
#include "token_store.h"
#include "verifier_runner.h"

namespace rivoltra::scores {

// Everything the command line sets, with today's behaviour as the defaults.
struct ServerOptions {
  std::string Host = "127.0.0.1";
  int Port = 8642;
  std::string Database;  // a SQLite file, or a postgresql:// connection string
  bool Quiet = false;
  std::string WebFolder;
  std::string TrustedProxy;
  // The operator's ticket secret; empty keeps the secret in the database.
  std::string TicketSecretFile;
  scores::TicketRules TicketRules;
  HttpFrontEnd::Limits Http;
  RateLimiter::Limits VersionLimit{30, std::chrono::seconds(2), 4096};
  RateLimiter::Limits ReportLimit{5, std::chrono::seconds(60), 4096};
  RateLimiter::Limits UploadLimit{5, std::chrono::seconds(60), 4096};
  RateLimiter::Limits DownloadLimit{10, std::chrono::seconds(6), 4096};
  std::size_t DownloadsAtOnce = 32;
  // Replay bytes one address may upload per day.
  std::size_t ReplayBytesPerClient = std::size_t{4} << 20;
  std::string NameFilterFile;
  // Who /metrics answers: addresses or CIDR ranges.
  std::vector<std::string> MetricsFrom{"127.0.0.0/8", "::1"};
  bool JsonAccessLog = false;
  TokenStore::Limits Tokens;
  // The program is empty until main puts in the default, rivoltra-replay beside the server.
  ProcessVerifier::Limits Verifier;
};

// Why the options cannot work together, or nullopt when they can.
std::optional<std::string> ConflictIn(const ServerOptions& options);

extern const char* const kServerUsage;

// nullopt for an unknown option, a missing value or a value out of range.
std::optional<ServerOptions> ParseServerOptions(const std::vector<std::string>& arguments,
                                                std::string defaultDatabase);

bool IsPostgresAddress(const std::string& database);

}  // namespace rivoltra::scores
