#pragma once
// The pictures of the settings beyond the options panel: the volume bar, the further settings'
// panel and the controls dialog with its rows, cells and the factory-controls button.
#include <vector>

#include "engine/image_archive.h"

namespace rivoltra::pictures {

// "VolumeBar" (11 patterns: 0 to 10 steps lit), "MoreSettingsBackground", "ControlsBackground",
// "ControlRow_Inactive", "ControlRow_Active", "ControlCell" (2 patterns: chosen, waiting for
// the new input), "ControlDefaults" (2 looks).
std::vector<ImageItemData> SettingsScreenItems();

}  // namespace rivoltra::pictures
