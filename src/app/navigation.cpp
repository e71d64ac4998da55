// Keyboard navigation between the buttons of a screen.
#include "app/game.h"
#include "app/screens.h"

namespace rivoltra {

namespace {

using SelectStep = void (*)(Game&, bool);

// The first state is tested first: when both of the pair are held only it acts, since its step
// disarms the second.
void Navigate(Game& game, InputState first, SelectStep firstStep, InputState second,
              SelectStep secondStep, bool wrap) {
  MenuState& menu = game.Menu;
  const InputStates& states = game.Input.MenuStates();
  if (states.Contains(first) && menu.NavigationArmed) firstStep(game, wrap);
  if (states.Contains(second) && menu.NavigationArmed) secondStep(game, wrap);
  if (!states.Contains(first) && !states.Contains(second)) menu.NavigationArmed = true;
}

}  // namespace

void NavigateVertical(Game& game, bool wrap) {
  Navigate(game, InputUp, SelectPrevious, InputDown, SelectNext, wrap);
}

void NavigateHorizontal(Game& game, bool wrap) {
  Navigate(game, InputRight, SelectNext, InputLeft, SelectPrevious, wrap);
}

void SelectNext(Game& game, bool wrap) {
  MenuState& menu = game.Menu;
  int& selected = menu.Buttons.SelectedButton;
  menu.EdgeReached = false;
  if (wrap) {
    // An equality test: a selection outside the range (a main-menu button picked with the mouse
    // on a sub-screen) just moves on by one, and the screen's tick decides what follows.
    selected = selected == menu.LastSelectable ? menu.FirstSelectable : selected + 1;
  } else if (selected < menu.LastSelectable) {
    ++selected;
  } else {
    menu.EdgeReached = true;
  }
  menu.NavigationArmed = false;
}

void SelectPrevious(Game& game, bool wrap) {
  MenuState& menu = game.Menu;
  int& selected = menu.Buttons.SelectedButton;
  menu.EdgeReached = false;
  if (wrap) {
    selected = selected == menu.FirstSelectable ? menu.LastSelectable : selected - 1;
  } else if (selected > menu.FirstSelectable) {
    --selected;
  } else {
    menu.EdgeReached = true;
  }
  menu.NavigationArmed = false;
}

}  // namespace rivoltra
