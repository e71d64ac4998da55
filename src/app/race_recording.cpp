// Every game is recorded: the start state when the car is chosen, the race's input each tick,
// the result at the end, the name after the name entry.
#include "app/race_recording.h"

#include <cstdio>

#include "app/game.h"
#include "app/race_scene/race_sprites.h"
#include "persist/entry_replays.h"
#include "persist/replay_actions.h"
#include "race/core/race_data.h"
#include "race/race_data_images.h"
#include "system/save_file.h"

namespace rivoltra {

namespace {

// A recording that cannot go on costs the replay, never the game.
void Complain(const std::exception& error) { std::fprintf(stderr, "Rivoltra: %s\n", error.what()); }

void SaveLastReplay(Game& game) {
  const std::string bytes = CurrentReplayBytes(game);
  if (bytes.empty()) return;
  try {
    SaveReplayFile(game.Paths.SaveFile(kLastReplayFileName), bytes);
  } catch (const SaveFileError& error) {
    Complain(error);
  }
}

ReplayTrailer TrailerOfRaceNow(const Game& game) {
  ReplayTrailer trailer;
  trailer.Score = game.Race.State.Score;
  trailer.Level = static_cast<std::uint16_t>(game.Race.State.Level);
  trailer.TicksPlayed = game.Replay.Recorder.TickCount();
  return trailer;
}

}  // namespace

std::string GameVersion() { return RIVOLTRA_VERSION; }

std::uint64_t RaceDataFingerprintOf(const Game& game) {
  return RaceDataFingerprint(RaceDataFromImages(game.RaceImages, RaceInterval(game)));
}

ReplayHeader ReplayHeaderNow(const Game& game, std::int32_t car,
                             const std::optional<RaceTicket>& ticket) {
  ReplayHeader header;
  header.GameVersion = GameVersion();
  header.DataFingerprint = RaceDataFingerprintOf(game);
  header.RandomState = game.Random.State();
  header.Car = static_cast<std::uint8_t>(car);
  header.Ticket = ticket;
  return header;
}

void BeginRaceRecording(Game& game, std::int32_t car, const std::optional<RaceTicket>& ticket) {
  ReplaySession& session = game.Replay;
  if (session.Playing) {
    // The menus before the race may have drawn numbers; the race starts from the recorded state.
    game.Random.Seed(session.StartRandomState);
    return;
  }
  // The server's seed replaces the local one: the replay proves the race was the one the
  // ticket was issued for.
  if (ticket) game.Random.Seed(ticket->Seed);
  session.Recorder.Begin(ReplayHeaderNow(game, car, ticket));
  session.Recording = true;
  session.Finished = false;
  session.Trailer = {};
}

std::optional<RaceTickInput> TakeRaceInput(Game& game, const RaceTickInput& fromDevices) {
  ReplaySession& session = game.Replay;
  if (session.Playing) {
    if (session.NextTick >= session.Ticks.size()) {
      session.RanOut = true;
      return std::nullopt;
    }
    const ReplayTick& tick = session.Ticks[session.NextTick++];
    return RaceTickInput{ActionStatesOf(tick.ActionBits), static_cast<std::int32_t>(tick.LagCount)};
  }
  if (session.Recording && !session.Finished) {
    try {
      session.Recorder.AddTick(ReplayBitsOf(fromDevices.Actions),
                               static_cast<std::uint32_t>(fromDevices.LagCount));
    } catch (const ReplayError& error) {
      Complain(error);
      session.Recording = false;
    }
  }
  return fromDevices;
}

void EndRaceRecording(Game& game) {
  ReplaySession& session = game.Replay;
  if (session.Playing || !session.Recording || session.Finished) return;
  session.Trailer = TrailerOfRaceNow(game);
  session.Finished = true;
  SaveLastReplay(game);
}

void NameLastRecording(Game& game, std::string_view playerName, std::string_view country) {
  ReplaySession& session = game.Replay;
  if (!session.Recording || !session.Finished) return;
  session.Trailer.PlayerName = std::string(playerName);
  session.Trailer.Country = std::string(country);
  SaveLastReplay(game);
  const std::string bytes = CurrentReplayBytes(game);
  if (bytes.empty()) return;
  try {
    KeepEntryReplay(game.Paths.SaveFile(kEntryReplayFolderName), game.HighScores,
                    session.Trailer.PlayerName, session.Trailer.Score, bytes);
  } catch (const SaveFileError& error) {
    Complain(error);
  }
}

std::string CurrentReplayBytes(const Game& game) {
  const ReplaySession& session = game.Replay;
  if (!session.Recording) return {};
  const ReplayTrailer trailer = session.Finished ? session.Trailer : TrailerOfRaceNow(game);
  try {
    return session.Recorder.Finish(trailer);
  } catch (const ReplayError& error) {
    Complain(error);
    return {};
  }
}

}  // namespace rivoltra
