#pragma once

#include <array>
#include <functional>
#include <string>

#include "engine/sprite_image.h"

namespace rivoltra {

class ImageCollection;

// A picture with a normal and a highlighted look, selected with the mouse or the keyboard. Its
// images always come from the interface list.
class MenuButton : public ImageSprite {
 public:
  MenuButton(Sprite* parent, const ImageCollection& images, std::string activeImageName,
             std::string inactiveImageName, int activePattern, int inactivePattern, double x,
             double y);

  // Shows the highlighted look; leaves Highlighted, Width and Height alone.
  void Highlight();
  void Unhighlight();

  std::string ActiveImageName;
  std::string InactiveImageName;
  int ActivePattern = 0;
  int InactivePattern = 0;
  bool Highlighted = false;

 private:
  const ImageCollection& images_;
};

// The button slots of the current screen: slots 1 to kMaxButtonSlot (index 0 unused), how many
// are in use from slot 1, and the selected slot (0 = none).
inline constexpr int kMaxButtonSlot = 20;
struct MenuButtonGroup {
  std::array<MenuButton*, kMaxButtonSlot + 1> MenuButtons{};
  int ButtonCount = 0;
  int SelectedButton = 0;

  MenuButton* Slot(int slot) const {
    return slot >= 1 && slot <= kMaxButtonSlot ? MenuButtons[static_cast<std::size_t>(slot)]
                                               : nullptr;
  }
};

// Unhighlights every slot but the selected one; highlights the selected one if it was not, and
// then plays the activation sound once (so once per change of selection, not every tick).
void UpdateButtonHighlight(MenuButtonGroup& group, const std::function<void()>& playActivated);
// The first slot whose rectangle holds the point (edges included) becomes selected; when none
// does, the selection stays.
void HitTestButtons(MenuButtonGroup& group, int mouseX, int mouseY);
// Frees slots 1 to ButtonCount; ButtonCount becomes 0.
void FreeMenuButtons(MenuButtonGroup& group);
// Frees one slot's button and empties the slot.
void FreeButtonSlot(MenuButtonGroup& group, int slot);

}  // namespace rivoltra
