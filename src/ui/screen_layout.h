#pragma once
// The screen's positions and sizes, shared by the game, the picture generator and the tests:
// the race's lane table and panels, the menus' button columns and sub-screen panels. The sizes
// are chosen so that every screen fits together.
#include <array>

namespace rivoltra::layout {

inline constexpr int kScreenWidth = 800;
// Objects more than a screen height above or below the top edge are gone.
inline constexpr int kScreenHeight = 600;

// ---- race screen ----
inline constexpr std::array<int, 5> kLaneEdge = {170, 283, 392, 502, 615};
inline constexpr int kGroundX = 124;  // the race background's x
inline constexpr int kGroundWidth = 676;
inline constexpr int kGroundHeight = 512;  // the background jumps back by 512 px
inline constexpr int kLeftSignX = 140;
inline constexpr int kRightSignX = 630;
inline constexpr int kLeftPanelWidth = 136;
inline constexpr int kRightPanelWidth = 130;
inline constexpr int kRightPanelEdge = 799;  // the right panel's last column
inline constexpr int kRightPanelX = kRightPanelEdge - kRightPanelWidth;
inline constexpr int kRoadsideWidth = 28;  // signs and side walls
inline constexpr int kPlayerCarBottom = 565;
// the car's left edge stops here, a little into the ground strip left of the first lane
inline constexpr int kPlayerCarMinX = 166;
// where the hidden explosions wait until they are first shown
inline constexpr int kExplosionStartX = 400;
inline constexpr int kExplosionStartY = 300;

// heads-up display
inline constexpr std::array<int, 4> kHudNumberRows = {90, 180, 270, 360};  // level..lives
inline constexpr int kProgressX = 734;
inline constexpr int kProgressTop = 41;
inline constexpr int kProgressBottom = 322;
inline constexpr int kDialX = 736;
inline constexpr int kDialY = 537;
inline constexpr int kBonusCentreX = 715;
inline constexpr int kBonusCentreY = 440;
inline constexpr int kBonusSecondsX = 764;
inline constexpr int kBonusSecondsY = 430;
inline constexpr int kPointerWidth = 39;
inline constexpr int kPointerHeight = 23;
// the pivot the race turns the needle about, as fractions of the needle picture
inline constexpr double kPointerPivotX = 0.10256410256410256;
inline constexpr double kPointerPivotY = 0.8695652173913043;
// needle angle in 1/256 turn per px/tick of speed; speed x 14 is shown as km/h
inline constexpr double kNeedleUnitsPerSpeed = 10;
inline constexpr double kKmhPerSpeed = 14;
inline constexpr int kHudNumberX = 55;  // right-aligned by digit count, 10 px a digit
// the clock m:ss, as tens of minutes, minutes, colon, tens of seconds, seconds
inline constexpr std::array<int, 5> kClockX = {35, 50, 65, 75, 90};
inline constexpr int kNoBonusX = 692;
inline constexpr int kPunctureX = 689;
inline constexpr int kBonusIndicatorY = 426;
inline constexpr int kBannerX = 200;
inline constexpr int kBannerY = 220;
// texts written over the road in the big font: "PAUSE" and "LEVEL n" at one x, the prompt and
// "LEVEL COMPLETED" at the other
inline constexpr int kBannerTextY = 250;
inline constexpr int kShortBannerTextX = 392;
inline constexpr int kLongBannerTextX = 282;

// ---- menus ----
inline constexpr int kUpPanelHeight = 105;   // slides 3 px a tick: a multiple of 3 stops at 0
inline constexpr int kDownPanelHeight = 96;  // slides 2 px a tick: even stops at 600 - height
inline constexpr int kMenuButtonX = 555;
inline constexpr int kMenuButtonWidth = 245;
inline constexpr int kMenuButtonHeight = 50;
// seven buttons between the panels, 4 px apart: the last ends 18 px above the bottom panel
inline constexpr std::array<int, 7> kMenuButtonY = {112, 166, 220, 274, 328, 382, 436};
inline constexpr int kCaptionX = 30;
inline constexpr int kCaptionY = 190;
inline constexpr int kCaptionWidth = 500;
inline constexpr int kCaptionHeight = 270;
inline constexpr int kSubPanelX = 14;
inline constexpr int kSubPanelY = 115;
inline constexpr int kSubPanelWidth = 536;  // ends 5 px before the button column
inline constexpr int kSubPanelHeight = 365;

inline constexpr int kOptionButtonX = 22;
// display, music, sound, country, then the controls and the further settings
inline constexpr std::array<int, 6> kOptionButtonY = {140, 188, 236, 284, 332, 380};
inline constexpr int kOptionButtonWidth = 520;
inline constexpr int kOptionButtonHeight = 44;
// the texts on the option lines: the label, then the choices ("WINDOW / FULL SCREEN", "ON / OFF")
// or the country
inline constexpr int kOptionLabelX = 35;
inline constexpr std::array<int, 6> kOptionTextY = {145, 193, 241, 289, 337, 385};
inline constexpr int kOptionChoiceX = 265;
inline constexpr int kDisplaySlashX = 367;
inline constexpr int kFullScreenX = 379;
inline constexpr int kOnOffSlashX = 299;
inline constexpr int kOffX = 312;
// a volume: the percentage (or OFF), then its bar of ten steps, which a click sets; the bar
// keeps clear of the line's middle, where a click switches the volume off and on
inline constexpr int kVolumeNumberX = kOptionChoiceX;
inline constexpr int kVolumeBarX = 330;
inline constexpr int kVolumeBarWidth = 154;
inline constexpr int kVolumeBarHeight = 24;
inline constexpr int kVolumeBarY = 3;  // below the line's text y
// the further settings: a panel like the options', its lines at the options' first four rows
inline constexpr int kMoreChoiceX = 300;

// the controls: a dialog over the whole width between the menu's panels, one row per action
// with two keys and two controller inputs, and the button that restores the factory controls
inline constexpr int kControlsX = 14;
inline constexpr int kControlsY = 108;
inline constexpr int kControlsWidth = 772;
inline constexpr int kControlsHeight = 392;
inline constexpr int kControlRowX = 24;
inline constexpr int kControlRowWidth = 752;
inline constexpr int kControlRowHeight = 28;
inline constexpr int kControlFirstRowY = 168;
inline constexpr int kControlRowPitch = 30;
inline constexpr int kControlTextDy = 1;  // medium text within a row
inline constexpr int kControlLabelX = 36;
// the four cells: key 1, key 2, controller 1, controller 2
inline constexpr std::array<int, 4> kControlCellX = {212, 350, 490, 630};
inline constexpr int kControlCellWidth = 136;
inline constexpr int kControlTextInset = 5;
inline constexpr int kControlHeadingY = 140;  // the column headings' baseline area
inline constexpr int kControlDefaultsX = 24;
inline constexpr int kControlDefaultsY = 448;
inline constexpr int kControlDefaultsWidth = 180;
inline constexpr int kControlDefaultsHeight = 40;
inline constexpr int kControlMessageX = 220;
inline constexpr int kControlMessageY = 456;

inline constexpr int kHighScoreButtonY = 412;
inline constexpr std::array<int, 2> kHighScoreButtonX = {27, 283};
inline constexpr int kHighScoreButtonWidth = 240;
inline constexpr int kHighScoreButtonHeight = 48;
inline constexpr int kHighScoreRankX = 53;
inline constexpr int kHighScoreNameX = 126;
inline constexpr int kHighScoreScoreX = 377;
// the text line of rank 1..10
constexpr int HighScoreRowY(int rank) { return 26 * rank + 126; }

inline constexpr int kHelpButtonY = 428;
inline constexpr std::array<int, 2> kHelpButtonX = {36, 462};
inline constexpr int kHelpButtonWidth = 84;
inline constexpr int kHelpButtonHeight = 40;

inline constexpr int kCarButtonY = 161;
inline constexpr std::array<int, 4> kCarButtonX = {41, 162, 282, 406};
inline constexpr int kCarButtonWidth = 112;
inline constexpr int kCarButtonHeight = 232;

// the daily run: the day's car in a bay on the left, the day's top ten on the right, the
// player's own best of the day below it and the button that starts the run
inline constexpr int kDailyCarX = 34;
inline constexpr int kDailyCarY = 168;
inline constexpr int kDailyDateX = 300;
inline constexpr int kDailyDateY = 133;
inline constexpr int kDailyRankX = 166;
inline constexpr int kDailyNameX = 204;
inline constexpr int kDailyScoreX = 430;
inline constexpr int kDailyOwnBestY = 398;
inline constexpr int kDailyButtonX = 290;
inline constexpr int kDailyButtonY = 428;
inline constexpr int kDailyButtonWidth = 240;
inline constexpr int kDailyButtonHeight = 44;
// the text line of rank 1..10
constexpr int DailyRowY(int rank) { return 21 * rank + 154; }

inline constexpr int kDialogX = 200;  // name entry and send results titles
inline constexpr int kDialogY = 160;
inline constexpr int kDialogWidth = 400;
inline constexpr int kNameEntryHeight = 160;
inline constexpr int kSendResultsHeight = 220;
inline constexpr int kNameX = 400;
inline constexpr int kNameY = 243;
inline constexpr int kNameRightEdge = 579;
inline constexpr int kNameCursorY = 265;
inline constexpr std::array<int, 2> kSendButtonX = {235, 405};
inline constexpr int kSendButtonY = 305;
inline constexpr int kSendButtonWidth = 160;
inline constexpr int kSendButtonHeight = 48;

inline constexpr int kCursorWidth = 16;
inline constexpr int kCursorHeight = 4;

}  // namespace rivoltra::layout
