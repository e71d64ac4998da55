#include "ui/menu_button.h"

#include "engine/image_list.h"

namespace rivoltra {

MenuButton::MenuButton(Sprite* parent, const ImageCollection& images, std::string activeImageName,
                       std::string inactiveImageName, int activePattern, int inactivePattern,
                       double x, double y)
    : ImageSprite(parent),
      ActiveImageName(std::move(activeImageName)),
      InactiveImageName(std::move(inactiveImageName)),
      ActivePattern(activePattern),
      InactivePattern(inactivePattern),
      images_(images) {
  ImageItem& image = images_.ItemByName(InactiveImageName);
  Image = &image;
  Width = image.Width();
  Height = image.Height();
  FrameCount = image.PatternCount();
  FrameLooped = true;
  FrameSpeed = 0;
  FramePos = InactivePattern;
  X = x;
  Y = y;
  SetZ(4);
  Highlighted = false;
}

void MenuButton::Highlight() {
  Image = &images_.ItemByName(ActiveImageName);
  FramePos = ActivePattern;
}

void MenuButton::Unhighlight() {
  Image = &images_.ItemByName(InactiveImageName);
  FramePos = InactivePattern;
}

void UpdateButtonHighlight(MenuButtonGroup& group, const std::function<void()>& playActivated) {
  for (int slot = 1; slot <= group.ButtonCount; ++slot) {
    if (slot == group.SelectedButton) continue;
    if (MenuButton* button = group.Slot(slot)) {
      button->Unhighlight();
      button->Highlighted = false;
    }
  }
  MenuButton* selected = group.Slot(group.SelectedButton);
  if (selected == nullptr || selected->Highlighted) return;
  selected->Highlight();
  selected->Highlighted = true;
  if (playActivated) playActivated();
}

void HitTestButtons(MenuButtonGroup& group, int mouseX, int mouseY) {
  for (int slot = 1; slot <= group.ButtonCount; ++slot) {
    const MenuButton* button = group.Slot(slot);
    // A hidden button (the main menu's under a full-width dialog) cannot be pointed at.
    if (button == nullptr || !button->Visible) continue;
    if (button->Y <= mouseY && mouseY <= button->Y + button->Height && button->X <= mouseX &&
        mouseX <= button->X + button->Width) {
      group.SelectedButton = slot;
      return;
    }
  }
}

void FreeButtonSlot(MenuButtonGroup& group, int slot) {
  if (slot < 1 || slot > kMaxButtonSlot) return;
  delete group.MenuButtons[static_cast<std::size_t>(slot)];
  group.MenuButtons[static_cast<std::size_t>(slot)] = nullptr;
}

void FreeMenuButtons(MenuButtonGroup& group) {
  for (int slot = 1; slot <= group.ButtonCount; ++slot) FreeButtonSlot(group, slot);
  group.ButtonCount = 0;
}

}  // namespace rivoltra
