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
  std::string host = "127.0.0.1";
  int port = 8642;
  std::string database;  // a SQLite file, or a postgresql:// connection string
  bool quiet = false;
  std::string webFolder;
  std::string trustedProxy;
  // The operator's ticket secret; empty keeps the secret in the database.
  std::string ticketSecretFile;
  TicketRules ticketRules;
  HttpFrontEnd::Limits http;
  RateLimiter::Limits versionLimit{30, std::chrono::seconds(2), 4096};
  RateLimiter::Limits reportLimit{5, std::chrono::seconds(60), 4096};
  RateLimiter::Limits uploadLimit{5, std::chrono::seconds(60), 4096};
  RateLimiter::Limits downloadLimit{10, std::chrono::seconds(6), 4096};
  std::size_t downloadsAtOnce = 32;
  // Replay bytes one address may upload per day.
  std::size_t replayBytesPerClient = std::size_t{4} << 20;
  std::string nameFilterFile;
  // Who /metrics answers: addresses or CIDR ranges.
  std::vector<std::string> metricsFrom{"127.0.0.0/8", "::1"};
  bool jsonAccessLog = false;
  TokenStore::Limits tokens;
  // The program is empty until main puts in the default, rivoltra-replay beside the server.
  ProcessVerifier::Limits verifier;
};

// Why the options cannot work together, or nullopt when they can.
std::optional<std::string> ConflictIn(const ServerOptions& options);

extern const char* const kServerUsage;

// nullopt for an unknown option, a missing value or a value out of range.
std::optional<ServerOptions> ParseServerOptions(const std::vector<std::string>& arguments,
                                                std::string defaultDatabase);

bool IsPostgresAddress(const std::string& database);

}  // namespace rivoltra::scores
