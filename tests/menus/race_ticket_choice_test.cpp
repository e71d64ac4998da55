// The car choice asks the score server for a race ticket and the chosen car's race starts from
// it; with online play off, or with no ticket in, the race starts from its own seed as before.
#include <optional>

#include "app/race_recording.h"
#include "menu_fixture.h"
#include "persist/online.h"

namespace rivoltra {
namespace {

class RaceTicketChoice : public MenuScenario {
 protected:
  // From the main menu to the car choice and car 1; returns the race's replay header.
  ReplayHeader ChooseACar() {
    FinishSlideIn();
    PointAt(1);
    Run("click\ntick");
    EXPECT_EQ(Game().ScreenState, GameScreen::CarChoice);
    Run("type \\r");
    EXPECT_EQ(Game().ScreenState, GameScreen::Race);
    return ReadReplay(CurrentReplayBytes(Game()), "race").Header;
  }

  RaceTicket ServerTicket() const {
    RaceTicket ticket{TicketKind::Race, 1796918443, 0xC0FFEE, 0, 42, {}};
    ticket.Signature.fill(7);
    return ticket;
  }
};

TEST_F(RaceTicketChoice, TheRaceStartsFromTheTicketTheCarChoiceFetched) {
  const struct {
    const char* What;
    std::optional<std::string> Reply;
    bool OnlinePlay;
    bool Ticketed;
  } cases[] = {
      {"a ticket", "OK|ticket|" + TicketText(ServerTicket()) + "|", true, true},
      {"online play off", "OK|ticket|" + TicketText(ServerTicket()) + "|", false, false},
      {"no answer", std::nullopt, true, false},
      {"a refusal", "ERROR|too many requests\n", true, false},
      {"a daily ticket for a race",
       "OK|ticket|" + TicketText(RaceTicket{TicketKind::Daily, 1, 2, 3, 4, {}}) + "|", true, false},
  };
  // Every race without a ticket starts from the same local state: the seeded game's own.
  std::optional<std::uint32_t> localState;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    Start();
    Game().Preferences.OnlinePlay = c.OnlinePlay;
    FakeHttp& http = runner_->Platform().Http();
    http.SetReply(TicketRequestAddress(Game().Online), c.Reply);
    const ReplayHeader header = ChooseACar();
    EXPECT_EQ(http.TakeRequests().size(), c.OnlinePlay ? 1u : 0u);
    if (c.Ticketed) {
      EXPECT_EQ(header.Ticket, ServerTicket());
      EXPECT_EQ(header.RandomState, ServerTicket().Seed);
    } else {
      EXPECT_EQ(header.Ticket, std::nullopt);
      if (!localState) localState = header.RandomState;
      EXPECT_EQ(header.RandomState, *localState) << "the local seed, as without a server";
    }
  }
}

}  // namespace
}  // namespace rivoltra
