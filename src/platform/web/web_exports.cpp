// The functions the page calls (page.js, touch.js, name_field.js, offline_scores.js).
#include <emscripten.h>

#include "engine/keyboard_codes.h"
#include "platform/web/web_program.h"

namespace rivoltra {

namespace {

bool Running() { return program != nullptr && !program->App->Finished(); }

}  // namespace

// The page saves when it is hidden or closed, the last moment it is sure to run.
extern "C" EMSCRIPTEN_KEEPALIVE void rivoltra_save_now() {
  if (Running()) program->App->SaveIfChanged();
}

// The page's full-screen button, and the page's correction when the browser left or refused full
// screen: the game's own Alt+Enter, so its option follows.
extern "C" EMSCRIPTEN_KEEPALIVE void rivoltra_toggle_full_screen() {
  if (!Running()) return;
  program->App->HandleEvent(
      InputEvent::Key(InputKind::KeyDown, virtual_key::kEnter, ShiftState{false, true, false}));
}

// Lets a game held by the page's tick hook go on.
extern "C" EMSCRIPTEN_KEEPALIVE void rivoltra_resume() { emscripten_resume_main_loop(); }

// The browser test's way to a score worth a table entry, which a player who only holds Up never
// reaches: sets the running race's score. The score server trusts a page no more than any other
// client, so this gives nobody more than the page's console already could.
extern "C" EMSCRIPTEN_KEEPALIVE void rivoltra_test_set_race_score(int score) {
  if (Running()) program->App->SetRaceScore(score);
}

// The ghost car's recorded ticks driven so far, -1 without one: the browser test's way to know
// the race it sees has its ghost.
extern "C" EMSCRIPTEN_KEEPALIVE int rivoltra_test_ghost_ticks() {
  return Running() ? static_cast<int>(program->App->GhostTicks()) : -1;
}

// Whether the game's option is full screen, for the page to compare with the browser's state.
extern "C" EMSCRIPTEN_KEEPALIVE int rivoltra_full_screen_option() {
  return Running() && program->App->View().FullScreen ? 1 : 0;
}

// What the page shows around the game (see PageViewBits).
extern "C" EMSCRIPTEN_KEEPALIVE int rivoltra_view() {
  return Running() ? PageViewBits(program->App->View()) : -1;
}

// The race actions the touch buttons hold now, one bit per action in the game's order
// (accelerate, brake, left, right, pause, finish, yes, no, fire). Read by the next tick.
extern "C" EMSCRIPTEN_KEEPALIVE void rivoltra_touch_hold(int actions) {
  if (Running()) program->Touch.Hold(ActionStates(static_cast<std::uint16_t>(actions & 0x1FF)));
}

// A tap on the canvas at a point of the game's 800 x 600 picture: the mouse moves there and
// clicks, at the next frame.
extern "C" EMSCRIPTEN_KEEPALIVE void rivoltra_tap(int x, int y) {
  if (!Running()) return;
  program->PageEvents.push_back(InputEvent::Mouse(x, y));
  program->PageEvents.push_back(InputEvent::Of(InputKind::Click));
}

// A character of the phone's keyboard (the page's name field): text, '\b' for backspace and
// '\r' for Done, at the next frame.
extern "C" EMSCRIPTEN_KEEPALIVE void rivoltra_type(int character) {
  if (!Running() || character <= 0 || character >= 0x80) return;
  program->PageEvents.push_back(InputEvent::Typed(static_cast<char>(character)));
}

// The page came online (or started): the results kept while offline go out at the next frame
// outside a race.
extern "C" EMSCRIPTEN_KEEPALIVE void rivoltra_send_unsent() {
  if (Running()) program->SendUnsentAsked = true;
}

}  // namespace rivoltra
