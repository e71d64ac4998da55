#include "server_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rivoltra::scores {
namespace {

using namespace std::chrono_literals;

TEST(ServerOptions, DefaultsAreTheLimitsTheServerAlwaysHad) {
  auto options = ParseServerOptions({}, "default.db");
  ASSERT_TRUE(options.has_value());
  EXPECT_EQ(options->Host, "127.0.0.1");
  EXPECT_EQ(options->Port, 8642);
  EXPECT_EQ(options->Database, "default.db");
  EXPECT_EQ(options->VersionLimit.Burst, 30);
  EXPECT_EQ(options->VersionLimit.Refill, 2000ms);
  EXPECT_EQ(options->ReportLimit.Burst, 5);
  EXPECT_EQ(options->ReportLimit.Refill, 60000ms);
  EXPECT_EQ(options->Tokens.Lifetime, 600s);
  EXPECT_EQ(options->Tokens.Capacity, 10000u);
  EXPECT_EQ(options->Http.ReadTimeoutSeconds, 5);
  EXPECT_EQ(options->Http.MaxBodyBytes, 1024u);
  EXPECT_EQ(options->Http.MaxHeaderBytes, 8192u);
  EXPECT_TRUE(options->TrustedProxy.empty());
  EXPECT_TRUE(options->WebFolder.empty());
  EXPECT_EQ(options->Http.MaxUploadBytes, 1u << 20);
  EXPECT_EQ(options->Verifier.Running, 1u);
  EXPECT_EQ(options->Verifier.Waiting, 2u);
  EXPECT_EQ(options->Verifier.CpuTime, 5s);
  EXPECT_EQ(options->Verifier.WallTime, 6s);
  EXPECT_EQ(options->UploadLimit.Burst, 5);
  EXPECT_EQ(ConflictIn(*options), std::nullopt);
}

TEST(ServerOptions, VerifierOptionsAndTheirLimits) {
  auto options =
      ParseServerOptions({"--verifier",           "/opt/v", "--verifier-data",       "/opt/data",
                          "--verify-cpu-seconds", "3",      "--verify-wall-seconds", "6",
                          "--verify-jobs",        "2",      "--verify-queue",        "5",
                          "--max-upload-bytes",   "4096",   "--uploads-at-once",     "4",
                          "--upload-burst",       "9",      "--upload-refill-ms",    "100"},
                         "x.db");
  ASSERT_TRUE(options.has_value());
  EXPECT_EQ(options->Verifier.Program, "/opt/v");
  EXPECT_EQ(options->Verifier.DataFolder, "/opt/data");
  EXPECT_EQ(options->Verifier.CpuTime, 3s);
  EXPECT_EQ(options->Verifier.WallTime, 6s);
  EXPECT_EQ(options->Verifier.Running, 2u);
  EXPECT_EQ(options->Verifier.Waiting, 5u);
  EXPECT_EQ(options->Http.MaxUploadBytes, 4096u);
  EXPECT_EQ(options->Http.MaxUploadsAtOnce, 4u);
  EXPECT_EQ(options->UploadLimit.Burst, 9);
  EXPECT_EQ(options->UploadLimit.Refill, 100ms);
  // Two verifying and five waiting hold seven of the eight request threads: one is left.
  EXPECT_EQ(ConflictIn(*options), std::nullopt);
  options->Http.WorkerThreads = 7;
  EXPECT_NE(ConflictIn(*options), std::nullopt);

  for (const std::vector<std::string>& refused :
       std::vector<std::vector<std::string>>{{"--max-upload-bytes", "1048577"},
                                             {"--verify-jobs", "0"},
                                             {"--verifier", ""},
                                             {"--verify-wall-seconds", "0"}}) {
    EXPECT_FALSE(ParseServerOptions(refused, "x.db").has_value()) << refused[0];
  }
}

TEST(ServerOptions, TicketOptions) {
  auto defaults = ParseServerOptions({}, "x.db");
  ASSERT_TRUE(defaults.has_value());
  EXPECT_EQ(defaults->TicketSecretFile, "");
  EXPECT_EQ(defaults->TicketRules.Slack, 5s);
  auto options = ParseServerOptions(
      {"--ticket-secret", "/etc/rivoltra/secret", "--ticket-slack", "600"}, "x.db");
  ASSERT_TRUE(options.has_value());
  EXPECT_EQ(options->TicketSecretFile, "/etc/rivoltra/secret");
  EXPECT_EQ(options->TicketRules.Slack, 600s);
  for (const std::vector<std::string>& refused : std::vector<std::vector<std::string>>{
           {"--ticket-secret", ""}, {"--ticket-slack", "-1"}, {"--ticket-slack", "86401"}}) {
    EXPECT_FALSE(ParseServerOptions(refused, "x.db").has_value()) << refused[0];
  }
}

TEST(ServerOptions, EveryLimitCanBeSet) {
  auto options = ParseServerOptions({"--listen",
                                     "[::1]:9000",
                                     "--db",
                                     "postgresql://db/scores",
                                     "--trust-proxy",
                                     "10.0.0.2",
                                     "--web",
                                     "site",
                                     "--version-burst",
                                     "100",
                                     "--version-refill-ms",
                                     "250",
                                     "--report-burst",
                                     "7",
                                     "--report-refill-ms",
                                     "30000",
                                     "--max-headers",
                                     "20",
                                     "--max-body-bytes",
                                     "65536",
                                     "--max-connections",
                                     "500",
                                     "--max-connections-per-client",
                                     "8",
                                     "--backlog",
                                     "64",
                                     "--request-timeout",
                                     "9",
                                     "--tokens-per-client",
                                     "3",
                                     "--quiet"},
                                    "default.db");
  ASSERT_TRUE(options.has_value());
  EXPECT_EQ(options->Host, "::1");
  EXPECT_EQ(options->Port, 9000);
  EXPECT_TRUE(IsPostgresAddress(options->Database));
  EXPECT_EQ(options->TrustedProxy, "10.0.0.2");
  EXPECT_EQ(options->WebFolder, "site");
  EXPECT_EQ(options->VersionLimit.Burst, 100);
  EXPECT_EQ(options->VersionLimit.Refill, 250ms);
  EXPECT_EQ(options->ReportLimit.Burst, 7);
  EXPECT_EQ(options->ReportLimit.Refill, 30000ms);
  EXPECT_EQ(options->Http.MaxHeaderCount, 20u);
  EXPECT_EQ(options->Http.MaxBodyBytes, 65536u);
  EXPECT_EQ(options->Http.MaxConnections, 500u);
  EXPECT_EQ(options->Http.MaxConnectionsPerClient, 8u);
  EXPECT_EQ(options->Http.ListenBacklog, 64);
  EXPECT_EQ(options->Http.ReadTimeoutSeconds, 9);
  EXPECT_EQ(options->Tokens.PerClient, 3u);
  EXPECT_TRUE(options->Quiet);
}

TEST(ServerOptions, RefusesBadValues) {
  const std::vector<std::vector<std::string>> refused = {
      {"--listen", "8642"},
      {"--listen", ":8642"},
      {"--max-body-bytes", "2000000"},  // a connection must stay under 1 MiB
      {"--max-header-bytes", "65536"},
      {"--version-burst", "0"},
      {"--report-refill-ms", "-5"},
      {"--backlog", "lots"},
      {"--trust-proxy"},
      {"--web", ""},
      {"--threads", "99999999999999"},
      {"--unknown", "1"},
  };
  for (const auto& arguments : refused) {
    EXPECT_FALSE(ParseServerOptions(arguments, "x.db").has_value()) << arguments[0];
  }
}

}  // namespace
}  // namespace rivoltra::scores
