// Hostile ".sfx" bytes, and the same bytes as a bare RIFF wave image: the readers must fail with
// ArchiveError or FormatError, or return what the writers store and the readers read back
// unchanged. Any other exception, crash or sanitizer report is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "audio/sound_archive.h"
#include "audio/sound_list.h"
#include "audio/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rivoltra;
  const std::span<const std::uint8_t> bytes(data, size);

  try {
    const WaveData wave = ParseWave(bytes);
    if (ParseWave(MakeWaveImage(wave)) != wave) std::abort();
    if (auto format = ReadPcmFormat(wave.FormatBlock); format && format->BytesPerFrame() <= 0)
      std::abort();
  } catch (const FormatError&) {
  }

  std::vector<SoundItemData> items;
  try {
    items = ReadSoundArchiveBytes(bytes, "fuzz.sfx");
  } catch (const ArchiveError&) {
    return 0;
  }
  if (ReadSoundArchiveBytes(WriteSoundArchiveBytes(items), "rewritten.sfx") != items) std::abort();

  // The index must agree with a plain search: the last item of that name, ignoring case, wins.
  SoundList list;
  list.Items().Assign(items);
  for (const SoundItemData& item : items) {
    std::size_t newest = 0;
    for (std::size_t i = 0; i < items.size(); ++i)
      if (SameNameIgnoringCase(items[i].Name, item.Name)) newest = i;
    SoundItem& found = list.ItemByName(item.Name);
    if (&found != &list.Items().Items(static_cast<int>(newest))) std::abort();
    found.Play(false);  // not bound to an output: must do nothing
  }
  return 0;
}
