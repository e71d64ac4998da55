#include "mockups.h"

#include <cmath>
#include <string>

#include "ui/screen_layout.h"

namespace rivoltra::preview {

namespace {

// Draws a named item when the list has it, so a mock-up can be composed while pictures are
// still missing.
struct Composer {
  Screen& Target;
  const ImageSet& Images;

  void Put(const std::string& name, double x, double y, int pattern = 0) {
    if (!Images.Has(name)) return;
    Target.Draw(Images.Item(name), pattern, int(x), int(y));
  }
  int Width(const std::string& name) const {
    return Images.Has(name) ? Images.Item(name).PatternWidth : 0;
  }
  int Height(const std::string& name) const {
    return Images.Has(name) ? Images.Item(name).PatternHeight : 0;
  }
  // X of an object centred in lane 1..4
  double InLane(const std::string& name, int lane) const {
    const int left = layout::kLaneEdge[std::size_t(lane - 1)];
    const int right = layout::kLaneEdge[std::size_t(lane)];
    return left + (right - left - Width(name)) / 2.0;
  }
};

void FontSampler(const ImageSet& ui, const std::string& folder) {
  Screen screen;
  screen.Fill(0x203040);
  screen.WriteText(ui, FontKind::Big, "LEVEL COMPLETED", 20, 20);
  screen.WriteText(ui, FontKind::Big, "FINISH RACE? Y/N 0123456789", 20, 60);
  screen.WriteText(ui, FontKind::Big, "/:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ", 20, 100);
  screen.WriteText(ui, FontKind::Medium, "WINDOW / FULL SCREEN 0123456789", 20, 150);
  screen.WriteText(ui, FontKind::MediumActive, "WINDOW / FULL SCREEN 0123456789", 20, 190);
  screen.WriteText(ui, FontKind::Medium, "/:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ", 20, 230);
  screen.WriteText(ui, FontKind::MediumActive, "/:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ", 20, 270);
  screen.WriteText(ui, FontKind::Small, "/:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789", 20, 310);
  screen.WriteText(ui, FontKind::Small, "12345 01:59", 20, 340);
  screen.SavePng(folder + "/mockup-fonts.png");
}

// The race HUD texts and needle as the race tick draws them.
void RaceHud(Screen& screen, Composer& race, const ImageSet& ui, int level, int score, int timeLeft,
             int lives, double speed) {
  auto number = [&](int value, int y) {
    int x = 55;
    if (value > 99) x -= 10;
    if (value > 999) x -= 10;
    if (value > 9999) x -= 10;
    screen.WriteText(ui, FontKind::Small, std::to_string(value), x, y);
  };
  number(level, layout::kHudNumberRows[0]);
  number(score, layout::kHudNumberRows[1]);
  const int clockY = layout::kHudNumberRows[2];
  screen.WriteText(ui, FontKind::Small, std::to_string(timeLeft / 600), 35, clockY);
  screen.WriteText(ui, FontKind::Small, std::to_string((timeLeft / 60) % 10), 50, clockY);
  screen.WriteText(ui, FontKind::Small, ":", 65, clockY);
  screen.WriteText(ui, FontKind::Small, std::to_string((timeLeft % 60) / 10), 75, clockY);
  screen.WriteText(ui, FontKind::Small, std::to_string(timeLeft % 10), 90, clockY);
  number(lives, layout::kHudNumberRows[3]);
  if (race.Images.Has("Pointer")) {
    screen.DrawRotated(race.Images.Item("Pointer"), layout::kDialX, layout::kDialY,
                       layout::kPointerPivotX, layout::kPointerPivotY, int(std::trunc(speed * 10)));
  }
}

void RaceFrame(const ImageSet& ui, const ImageSet& images, const std::string& folder,
               const std::string& name, int variant) {
  Screen screen;
  screen.Fill(0);
  Composer race{screen, images};
  if (images.Has("GroundLeft"))
    screen.DrawEndless(images.Item("GroundLeft"), 124, 37 + variant * 200);
  const double speed =
      variant == 0 ? 125.0 / 7 : (variant == 1 ? 150.0 / 7 : (variant == 2 ? 7.0 : 0.0));
  // track objects, Z 2, traffic Z 3
  race.Put("SignLeftRed", layout::kLeftSignX, 40);
  race.Put("WallRight", layout::kRightSignX, 250);
  if (variant == 0) {
    race.Put("Wall10", race.InLane("Wall10", 2), 60);
    race.Put("Water05", race.InLane("Water05", 3), 150);
    race.Put("Bonus50", race.InLane("Bonus50", 4), 120, 3);
    race.Put("Spike10", race.InLane("Spike10", 4), 260);
    race.Put("Stone05", race.InLane("Stone05", 2), 300);
    race.Put("Rabbit", race.InLane("Rabbit", 3), 330, 1);
    race.Put("Crack", race.InLane("Crack", 2), 200);
    race.Put("BonusTurbo", race.InLane("BonusTurbo", 3), 20, 5);
  } else if (variant == 1) {
    race.Put("Car6_Inv", race.InLane("Car6_Inv", 2), 40);
    race.Put("Car10_Inv", race.InLane("Car10_Inv", 2), 250);
    race.Put("Car9", race.InLane("Car9", 4), 80);
    race.Put("Car7", race.InLane("Car7", 3), -20);
    race.Put("BonusGun", race.InLane("BonusGun", 3), 220, 2);
    race.Put("Bonus100", race.InLane("Bonus100", 4), 300, 6);
    race.Put("ExplosionBig", race.InLane("Car5", 3), 130, 5);
  } else if (variant == 3) {
    race.Put("SignRightBlue", layout::kRightSignX, 120);
    race.Put("Spike10", race.InLane("Spike10", 2), 180);
    race.Put("ExplosionBig", race.InLane("Car4", 3) - 10, 300, 9);
  } else {
    race.Put("FinishLine", layout::kLaneEdge[1], 200);
    race.Put("Wall05", race.InLane("Wall05", 3), 60);
    race.Put("StoneSmall05", race.InLane("StoneSmall05", 4), 120);
    race.Put("Water10", race.InLane("Water10", 2), 20);
    race.Put("BonusLive", race.InLane("BonusLive", 4), 10, 1);
    race.Put("Bonus10", race.InLane("Bonus10", 2), 330, 4);
    race.Put("Bonus20", race.InLane("Bonus20", 4), 330, 0);
    race.Put("ExplosionSmall", race.InLane("Wall05", 2), 100, 4);
  }
  // the player's car and its bonus sprites
  const int carNumber = variant + 1;
  const std::string car = "Car" + std::to_string(carNumber);
  // the fourth frame has its car off the road, on the dirt strip
  const double carX = variant == 3 ? 190 : race.InLane(car, 3);
  const double carY = layout::kPlayerCarBottom - race.Height(car);
  race.Put(car, carX, carY);
  if (variant == 1) {
    const std::string icon = carNumber == 2 ? "TurboBlue" : "TurboRed";
    const double iconX = carX + (race.Width(car) - race.Width(icon)) / 2.0;
    race.Put(icon, iconX, carY + race.Height(car) - race.Height(icon) * 0.9);
    race.Put("TurboFire", iconX + 2, carY + race.Height(car) + race.Height(icon) * 0.1, 2);
  }
  if (variant == 2) {
    const double iconX = carX + (race.Width(car) - race.Width("Gun")) / 2.0;
    const double iconY = carY + race.Height(car) * 0.3;
    race.Put("Gun", iconX, iconY);
    race.Put("GunFire", iconX - 5, iconY - race.Height("GunFire"), 1);
    race.Put("ExplosionMicro", carX + race.Width(car) / 2.0, 60);
  }
  // panels, Z 1 after the background
  race.Put("LeftPanel", 0, 0);
  race.Put("RightPanel", layout::kRightPanelX, 0);
  race.Put("CarSmall", layout::kProgressX - race.Width("CarSmall") / 2.0, 322 - 90 * (variant + 1));
  if (variant == 0) {
    race.Put("None", 692, 426);
  } else if (variant == 1) {
    race.Put("TurboSmall", layout::kBonusCentreX - race.Width("TurboSmall") / 2.0,
             layout::kBonusCentreY - race.Height("TurboSmall") / 2.0);
    screen.WriteText(ui, FontKind::Small, "7", layout::kBonusSecondsX, layout::kBonusSecondsY);
  } else if (variant == 3) {
    race.Put("Drifting", 689, 426);
    screen.WriteText(ui, FontKind::Small, "8", layout::kBonusSecondsX, layout::kBonusSecondsY);
  } else {
    race.Put("GunSmall", layout::kBonusCentreX - race.Width("GunSmall") / 2.0,
             layout::kBonusCentreY - race.Height("GunSmall") / 2.0);
    screen.WriteText(ui, FontKind::Small, "10", layout::kBonusSecondsX, layout::kBonusSecondsY);
  }
  static const int kTimeLeft[] = {59, 34, 9, 0};
  RaceHud(screen, race, ui, 3 * variant + 1, variant == 0 ? 850 : 12450, kTimeLeft[variant],
          3 - variant, speed);
  if (variant == 0) screen.WriteText(ui, FontKind::Big, "LEVEL 1", 392, 250);
  if (variant == 2) screen.WriteText(ui, FontKind::Big, "LEVEL COMPLETED", 282, 250);
  if (variant == 3) {
    race.Put("GameOverNB", layout::kBannerX, layout::kBannerY);
    screen.WriteText(ui, FontKind::Big, "PAUSE", 392, 250 - 120);
  }
  screen.SavePng(folder + "/" + name);
}

// The main menu at rest: panels in, buttons at x 555; `lit` is the main-menu button shown
// highlighted (the selected one, or the one a sub-screen belongs to).
void MenuFrame(Composer& menu, int lit, bool caption) {
  menu.Put("MainMenuBackground", 0, 0);
  static const char* const kCaptions[] = {"StartCaption", "OptionsCaption",  "HighScoresCaption",
                                          "HelpCaption",  "VisitWWWCaption", "ExitCaption"};
  if (caption) menu.Put(kCaptions[lit - 1], layout::kCaptionX, layout::kCaptionY);
  menu.Put("UpPanel", 0, 0);
  menu.Put("DownPanel", 800 - menu.Width("DownPanel"), 600 - menu.Height("DownPanel"));
  for (int slot = 1; slot <= 6; ++slot) {
    const bool active = slot == lit;
    const int y = layout::kMenuButtonY[std::size_t(slot - 1)];
    if (slot <= 5) {
      menu.Put(active ? "MainMenuButtons_Active" : "MainMenuButtons_Inactive", layout::kMenuButtonX,
               y, slot - 1);
    } else {
      menu.Put(active ? "MainMenu_ExitActive" : "MainMenu_ExitInactive", layout::kMenuButtonX, y);
    }
  }
}

void MainMenu(const ImageSet& ui, const std::string& folder, int selected) {
  Screen screen;
  Composer menu{screen, ui};
  MenuFrame(menu, selected, true);
  screen.SavePng(folder + "/mockup-main-menu-" + std::to_string(selected) + ".png");
}

void Options(const ImageSet& ui, const std::string& folder) {
  Screen screen;
  Composer menu{screen, ui};
  MenuFrame(menu, 2, false);
  menu.Put("OptionsBackground", layout::kSubPanelX, layout::kSubPanelY);
  for (int line = 0; line < 4; ++line) {
    menu.Put(line == 3 ? "OptionButton_Active" : "OptionButton_Inactive", layout::kOptionButtonX,
             layout::kOptionButtonY[std::size_t(line)]);
  }
  screen.WriteText(ui, FontKind::Big, "DISPLAY:", 35, 145);
  screen.WriteText(ui, FontKind::MediumActive, "WINDOW", 265, 145);
  screen.WriteText(ui, FontKind::Medium, "/", 367, 145);
  screen.WriteText(ui, FontKind::Medium, "FULL SCREEN", 379, 145);
  screen.WriteText(ui, FontKind::Big, "MUSIC:", 35, 193);
  screen.WriteText(ui, FontKind::MediumActive, "ON", 265, 193);
  screen.WriteText(ui, FontKind::Medium, "/", 299, 193);
  screen.WriteText(ui, FontKind::Medium, "OFF", 312, 193);
  screen.WriteText(ui, FontKind::Big, "SOUND:", 35, 241);
  screen.WriteText(ui, FontKind::Medium, "ON", 265, 241);
  screen.WriteText(ui, FontKind::Medium, "/", 299, 241);
  screen.WriteText(ui, FontKind::MediumActive, "OFF", 312, 241);
  screen.WriteText(ui, FontKind::Big, "YOUR COUNTRY:", 35, 289);
  const int end = screen.WriteText(ui, FontKind::Big, "ITALY", 265, 289);
  menu.Put("Cursor", end, 312);
  screen.SavePng(folder + "/mockup-options.png");
}

void HighScores(const ImageSet& ui, const std::string& folder) {
  Screen screen;
  Composer menu{screen, ui};
  MenuFrame(menu, 3, false);
  menu.Put("HighScoresBackground", layout::kSubPanelX, layout::kSubPanelY);
  static const char* const kNames[] = {"SPEEDY GONZO", "ANONYMOUS", "MARIA",     "ANONYMOUS",
                                       "JOE",          "ANONYMOUS", "ANONYMOUS", "WWWWWWWWWWW",
                                       "ANONYMOUS",    "ANONYMOUS"};
  const int scores[] = {124560, 1800, 1650, 1400, 1210, 1000, 800, 600, 400, 200};
  for (int rank = 1; rank <= 10; ++rank) {
    const int y = layout::HighScoreRowY(rank);
    screen.WriteText(ui, FontKind::MediumActive, std::to_string(rank), layout::kHighScoreRankX, y);
    screen.WriteText(ui, FontKind::MediumActive, kNames[rank - 1], layout::kHighScoreNameX, y);
    screen.WriteText(ui, FontKind::MediumActive, std::to_string(scores[rank - 1]),
                     layout::kHighScoreScoreX, y);
  }
  menu.Put("ClearHighScores", layout::kHighScoreButtonX[0], layout::kHighScoreButtonY, 0);
  menu.Put("ViewHighScores", layout::kHighScoreButtonX[1], layout::kHighScoreButtonY, 1);
  screen.SavePng(folder + "/mockup-high-scores.png");
}

void Help(const ImageSet& ui, const std::string& folder, int page) {
  Screen screen;
  Composer menu{screen, ui};
  MenuFrame(menu, 4, false);
  menu.Put("Help" + std::to_string(page), layout::kSubPanelX, layout::kSubPanelY);
  menu.Put("Previous", layout::kHelpButtonX[0], layout::kHelpButtonY, 0);
  menu.Put("Next", layout::kHelpButtonX[1], layout::kHelpButtonY, 1);
  screen.SavePng(folder + "/mockup-help-" + std::to_string(page) + ".png");
}

void CarChoice(const ImageSet& ui, const std::string& folder) {
  Screen screen;
  Composer menu{screen, ui};
  MenuFrame(menu, 1, false);
  menu.Put("StartGameBackground", layout::kSubPanelX, layout::kSubPanelY);
  for (int car = 1; car <= 4; ++car) {
    const std::string name = "Car" + std::to_string(car) + (car == 2 ? "_Active" : "");
    menu.Put(name, layout::kCarButtonX[std::size_t(car - 1)], layout::kCarButtonY);
  }
  screen.SavePng(folder + "/mockup-car-choice.png");
}

void NameEntry(const ImageSet& ui, const std::string& folder) {
  Screen screen;
  Composer menu{screen, ui};
  menu.Put("MainMenuBackground", 0, 0);
  menu.Put("EnterYourName", layout::kDialogX, layout::kDialogY);
  const int end = screen.WriteText(ui, FontKind::Big, "NONAME", layout::kNameX, layout::kNameY);
  menu.Put("Cursor", end, 265);
  screen.SavePng(folder + "/mockup-name-entry.png");
  Screen full;
  Composer wide{full, ui};
  wide.Put("MainMenuBackground", 0, 0);
  wide.Put("EnterYourName", layout::kDialogX, layout::kDialogY);
  const int longest = full.WriteText(ui, FontKind::Big, "WWWWWWW", layout::kNameX, layout::kNameY);
  wide.Put("Cursor", longest, 265);
  full.SavePng(folder + "/mockup-name-entry-full.png");
}

void SendResults(const ImageSet& ui, const std::string& folder) {
  Screen screen;
  Composer menu{screen, ui};
  menu.Put("MainMenuBackground", 0, 0);
  menu.Put("SendResults", layout::kDialogX, layout::kDialogY);
  menu.Put("OkButton2", layout::kSendButtonX[0], layout::kSendButtonY, 1);
  menu.Put("CancelButton2", layout::kSendButtonX[1], layout::kSendButtonY, 0);
  screen.SavePng(folder + "/mockup-send-results.png");
}

}  // namespace

void WriteMockups(const ImageSet& interfaceImages, const ImageSet& raceImages,
                  const std::string& folder) {
  FontSampler(interfaceImages, folder);
  for (int selected = 1; selected <= 6; ++selected) MainMenu(interfaceImages, folder, selected);
  Options(interfaceImages, folder);
  HighScores(interfaceImages, folder);
  for (int page = 1; page <= 4; ++page) Help(interfaceImages, folder, page);
  CarChoice(interfaceImages, folder);
  NameEntry(interfaceImages, folder);
  SendResults(interfaceImages, folder);
  for (int variant = 0; variant < 4; ++variant) {
    RaceFrame(interfaceImages, raceImages, folder,
              "mockup-race-" + std::to_string(variant + 1) + ".png", variant);
  }
}

}  // namespace rivoltra::preview
