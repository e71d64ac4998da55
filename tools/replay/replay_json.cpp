#include "replay_json.h"

#include <initializer_list>
#include <optional>
#include <string_view>

#include "formats/daily_course.h"

namespace rivoltra::replay_tool {

namespace {

// Names and versions are printable ASCII (the reader refuses anything else), so only the quote
// and the backslash need escaping.
std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::string Field(std::string_view name, const std::string& value) {
  return Quoted(name) + ":" + value;
}

std::string Object(std::initializer_list<std::string> fields) {
  std::string json = "{";
  for (const std::string& field : fields) {
    if (json.size() > 1) json += ',';
    json += field;
  }
  return json + "}";
}

// The ticket's fields, with its date for a daily one; null for a race started offline.
std::string TicketJson(const std::optional<RaceTicket>& ticket) {
  if (!ticket) return "null";
  const bool daily = ticket->Kind == TicketKind::Daily;
  return Object({
      Field("kind", Quoted(daily ? "daily" : "race")),
      Field("issuedAt", std::to_string(ticket->IssuedAt)),
      Field("seed", std::to_string(ticket->Seed)),
      Field("date", daily ? Quoted(DateTextOf(ticket->Day)) : "null"),
      Field("id", Quoted(TicketId(*ticket))),
      Field("text", Quoted(TicketText(*ticket))),
  });
}

}  // namespace

std::string VerdictJson(const Verdict& verdict) {
  return Object(
      {Field("valid", verdict.Valid ? "true" : "false"),
       Field("score", std::to_string(verdict.Score)), Field("level", std::to_string(verdict.Level)),
       Field("ticks", std::to_string(verdict.Ticks)), Field("reason", Quoted(verdict.Reason))});
}

std::string InfoJson(const Replay& replay, std::size_t fileBytes) {
  return Object({
      Field("formatVersion", std::to_string(FormatVersionOf(replay.Header))),
      Field("gameVersion", Quoted(replay.Header.GameVersion)),
      Field("dataFingerprint", Quoted(FingerprintText(replay.Header.DataFingerprint))),
      Field("car", std::to_string(replay.Header.Car)),
      Field("randomState", std::to_string(replay.Header.RandomState)),
      Field("ticket", TicketJson(replay.Header.Ticket)),
      Field("ticks", std::to_string(replay.TickCount)),
      Field("runs", std::to_string(replay.Runs.size())),
      Field("bytes", std::to_string(fileBytes)),
      Field("score", std::to_string(replay.Trailer.Score)),
      Field("level", std::to_string(replay.Trailer.Level)),
      Field("ticksPlayed", std::to_string(replay.Trailer.TicksPlayed)),
      Field("playerName", Quoted(replay.Trailer.PlayerName)),
      Field("country", Quoted(replay.Trailer.Country)),
  });
}

}  // namespace rivoltra::replay_tool
