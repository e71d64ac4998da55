// rivoltra-http-probe SERVER REPLAY: what the game does after a race worth sending, over the
// Windows transport: the version request and the score report of the replay's result (score,
// name, country), the replay's upload, then the server's table. One JSON line:
//   {"sent":true|false,"upload":"verified"|"not verified"|"not sent","listed":true|false}
// Exit status 0 when the report was sent, the upload verified and the table lists the name.
// For the Windows test against the real score server.
#include <cstdio>
#include <string>
#include <vector>

#include "formats/replay_file.h"
#include "persist/online.h"
#include "platform/desktop_http.h"
#include "system/file_names.h"
#include "system/program_process.h"

namespace {

const char* UploadText(rivoltra::UploadOutcome outcome) {
  switch (outcome) {
    case rivoltra::UploadOutcome::Verified:
      return "verified";
    case rivoltra::UploadOutcome::NotVerified:
      return "not verified";
    case rivoltra::UploadOutcome::NotSent:
      break;
  }
  return "not sent";
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = rivoltra::ProgramArguments(argc, argv);
  if (arguments.size() != 2) {
    std::fputs("usage: rivoltra-http-probe SERVER REPLAY\n", stderr);
    return 2;
  }
  rivoltra::OnlineConfig config = rivoltra::DefaultOnlineConfig();
  config.ServerBase = arguments[0];
  std::string bytes;
  rivoltra::Replay replay;
  try {
    bytes = rivoltra::ReadReplayFileBytes(rivoltra::PathFromUtf8(arguments[1]));
    replay = rivoltra::ReadReplay(bytes, arguments[1]);
  } catch (const rivoltra::ReplayError& error) {
    std::fprintf(stderr, "rivoltra-http-probe: %s\n", error.what());
    return 2;
  }
  const std::unique_ptr<rivoltra::HttpTransport> transport =
      rivoltra::OpenDesktopHttp(rivoltra::LimitsOf(config));
  const auto showMessage = [](std::string_view text) {
    std::fprintf(stderr, "message: %.*s\n", static_cast<int>(text.size()), text.data());
  };
  const rivoltra::SubmitResult sent =
      rivoltra::SendScore(*transport, config, showMessage, replay.Trailer.PlayerName,
                          replay.Trailer.Score, replay.Trailer.Country);
  const rivoltra::UploadOutcome upload =
      rivoltra::UploadReplay(*transport, config, sent.Token, bytes);
  const std::optional<std::string> table = transport->Get(rivoltra::OnlineTableAddress(config));
  const bool listed =
      table && table->find(">" + replay.Trailer.PlayerName + "<") != std::string::npos;
  const bool wasSent = sent.Outcome == rivoltra::SubmitOutcome::Sent;
  std::printf("{\"sent\":%s,\"upload\":\"%s\",\"listed\":%s}\n", wasSent ? "true" : "false",
              UploadText(upload), listed ? "true" : "false");
  return wasSent && upload == rivoltra::UploadOutcome::Verified && listed ? 0 : 1;
}
