#include "audio/sound_archive.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>

#include "audio/wave.h"
#include "system/file_names.h"

namespace rivoltra {

namespace {

constexpr char kRootClass[] = "TSoundArchiveRoot";
constexpr char kItemClass[] = "TSoundItem";

std::vector<std::uint8_t> ReadWholeFile(const std::string& fileName) {
  std::ifstream file(PathFromUtf8(fileName), std::ios::binary);
  if (!file) throw std::system_error(errno, std::generic_category(), fileName);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
  if (file.bad()) throw std::system_error(errno, std::generic_category(), fileName);
  return bytes;
}

SoundItemData ReadItem(ComponentReader& reader) {
  SoundItemData item;
  reader.ReadProperties(kItemClass, [&](const std::string& property) {
    if (property == "Name") {
      item.Name = reader.ReadString();
    } else if (property == "Looped") {
      item.Looped = reader.ReadBoolean();
    } else if (property == "MaxPlayingCount") {
      item.MaxPlayingCount = std::max(0, reader.ReadInteger());
    } else if (property == "Wave.WAVE") {
      auto image = reader.ReadBinary();
      ParseWave(image);  // throws the RIFF's fault, which the reader names with file and property
      item.Wave.assign(image.begin(), image.end());
    } else {
      return false;
    }
    return true;
  });
  return item;
}

}  // namespace

std::vector<SoundItemData> ReadSoundArchive(const std::string& fileName) {
  const std::vector<std::uint8_t> bytes = ReadWholeFile(fileName);
  return ReadSoundArchiveBytes(bytes, fileName);
}

std::vector<SoundItemData> ReadSoundArchiveBytes(std::span<const std::uint8_t> bytes,
                                                 const std::string& fileName) {
  ComponentReader reader(bytes, fileName);
  reader.ReadResourceHeader();
  reader.ReadSignature();
  reader.ReadRootComponent(kRootClass);
  std::vector<SoundItemData> items;
  reader.ReadProperties(kRootClass, [&](const std::string& property) {
    if (property != "List") return false;
    // Like any collection read, an empty one in the stream leaves earlier items alone.
    bool firstItem = true;
    reader.ReadCollection([&] {
      if (firstItem) items.clear();
      firstItem = false;
      items.push_back(ReadItem(reader));
    });
    return true;
  });
  reader.ReadEndOfChildren();
  return items;
}

std::vector<std::uint8_t> WriteSoundArchiveBytes(const std::vector<SoundItemData>& items) {
  ComponentWriter writer;
  writer.BeginResource(kRootClass);
  writer.WriteSignature();
  writer.BeginComponent(kRootClass);
  writer.BeginCollection("List");
  for (const SoundItemData& item : items) {
    writer.BeginItem();
    writer.WriteProperty("Name", ComponentValue::String(item.Name));
    writer.WriteProperty("Looped", ComponentValue::Boolean(item.Looped));
    writer.WriteProperty("MaxPlayingCount", ComponentValue::Integer(item.MaxPlayingCount));
    // An item read without a wave has none; storing an empty image would make it unreadable.
    if (!item.Wave.empty()) writer.WriteProperty("Wave.WAVE", ComponentValue::Binary(item.Wave));
    writer.EndItem();
  }
  writer.EndCollection();
  writer.EndComponent();
  return writer.Finish();
}

void WriteSoundArchive(const std::string& fileName, const std::vector<SoundItemData>& items) {
  const std::vector<std::uint8_t> bytes = WriteSoundArchiveBytes(items);
  std::ofstream file(PathFromUtf8(fileName), std::ios::binary | std::ios::trunc);
  if (!file) throw std::system_error(errno, std::generic_category(), fileName);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::system_error(errno, std::generic_category(), fileName);
}

}  // namespace rivoltra
