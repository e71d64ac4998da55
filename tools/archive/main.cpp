// rivoltra-archive: inspects ".gfx" image archives.
//   rivoltra-archive list FILE          one line per item: name, picture size, PatternWidth,
//                                       PatternHeight, PatternCount, Transparent, TransparentColor
//   rivoltra-archive extract FILE DIR   DIR/<name>.png per item and DIR/contact-sheet.png
// Exit status: 0 done, 1 the archive (or an output file) is bad, 2 bad arguments.
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "engine/image_archive.h"
#include "engine/pattern_layout.h"
#include "picture_export.h"

namespace {

using rivoltra::ImageItemData;

constexpr char kUsage[] =
    "usage: rivoltra-archive list FILE\n"
    "       rivoltra-archive extract FILE DIR\n"
    "  list     prints one line per item of the image archive FILE: name, picture size,\n"
    "           PatternWidth, PatternHeight, PatternCount (before the display is built),\n"
    "           Transparent and TransparentColor (0x00BBGGRR)\n"
    "  extract  writes DIR/<item name>.png for every item with a picture (the colour key\n"
    "           transparent) and DIR/contact-sheet.png showing all items\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "rivoltra-archive: %s\n%s", problem, kUsage);
  return 2;
}

void List(const std::vector<ImageItemData>& items) {
  for (const auto& item : items) {
    const auto layout = rivoltra::PatternLayoutOf(item);
    std::printf(
        "%s\t%dx%d\tPatternWidth=%d\tPatternHeight=%d\tPatternCount=%d\tTransparent=%s\t"
        "TransparentColor=0x%08X\n",
        item.Name.c_str(), item.Image.Width, item.Image.Height, item.PatternWidth,
        item.PatternHeight, layout.PatternCountBeforeDisplay(), item.Transparent ? "true" : "false",
        static_cast<unsigned>(item.TransparentColor));
  }
}

// A file name from the item name: letters, digits, '-' and '_' kept, the rest '_'; made
// unique with the item's index when two names map to the same file (or a name is empty).
std::string PngName(const ImageItemData& item, std::size_t index, std::set<std::string>& used) {
  std::string base;
  for (unsigned char c : item.Name)
    base += std::isalnum(c) || c == '-' || c == '_' ? static_cast<char>(c) : '_';
  if (base.size() > 100) base.resize(100);
  std::string name = base.empty() ? "item" : base;
  if (base.empty() || base == "contact-sheet" || used.count(name + ".png"))
    name += "-" + std::to_string(index);
  name += ".png";
  used.insert(name);
  return name;
}

void Extract(const std::vector<ImageItemData>& items, const std::string& archiveName,
             const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  std::set<std::string> used;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].Image.IsEmpty()) {
      std::printf("%s: no picture, skipped\n", items[i].Name.c_str());
      continue;
    }
    const auto path = folder / PngName(items[i], i, used);
    rivoltra::archive_tool::WriteItemPng(items[i], path.string());
    std::printf("%s\n", path.string().c_str());
  }
  const auto sheet = folder / "contact-sheet.png";
  rivoltra::archive_tool::WriteContactSheet(
      items, std::filesystem::path(archiveName).filename().string(), sheet.string());
  std::printf("%s\n", sheet.string().c_str());
  rivoltra::archive_tool::ReleaseDrawingCaches();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("no command given");
  const std::string command = argv[1];
  if (command == "-h" || command == "--help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "list" && argc != 3) return Usage("list takes one archive file");
  if (command == "extract" && argc != 4) return Usage("extract takes an archive file and a folder");
  if (command != "list" && command != "extract")
    return Usage(("unknown command '" + command + "'").c_str());

  const std::string fileName = argv[2];
  try {
    const std::vector<ImageItemData> items = rivoltra::ReadImageArchive(fileName);
    if (command == "list")
      List(items);
    else
      Extract(items, fileName, argv[3]);
  } catch (const std::exception& e) {
    // ArchiveError, std::system_error (file not found), and output files that cannot be written.
    std::fprintf(stderr, "rivoltra-archive: %s\n", e.what());
    return 1;
  }
  return 0;
}
