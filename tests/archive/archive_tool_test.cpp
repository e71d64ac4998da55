// Runs the rivoltra-archive program built beside the tests (skipped when it is not built).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/image_archive.h"

namespace rivoltra {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

struct ToolRun {
  int Status = -1;
  std::string Output;  // standard output and error
};

class ArchiveTool : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* build = std::getenv("RIVOLTRA_BUILD_DIR");
    tool_ = fs::path(build ? build : ".") / "rivoltra-archive";
    if (!fs::exists(tool_)) GTEST_SKIP() << tool_ << " is not built";
    folder_ = fs::temp_directory_path() / ("rivoltra_archive_tool_" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    if (!folder_.empty()) fs::remove_all(folder_);
  }

  ToolRun Tool(const std::string& arguments) const {
    const std::string command = tool_.string() + " " + arguments + " 2>&1";
    ToolRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
      run.Output.append(buffer, count);
    const int status = ::pclose(pipe);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  fs::path tool_, folder_;
};

ImageItemData Item(std::string name, int width, int height, int patternWidth, int patternHeight) {
  ImageItemData item;
  item.Name = std::move(name);
  item.PatternWidth = patternWidth;
  item.PatternHeight = patternHeight;
  item.TransparentColor = 0x00FF00FF;  // magenta
  item.Image = Picture{width, height, {}};
  for (int i = 0; i < width * height; ++i) item.Image.Pixels.push_back(i % 3 ? 0xFF00FF : 0x3366CC);
  return item;
}

// Width and height from a PNG's IHDR chunk.
std::pair<int, int> PngSize(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {-1, -1};
  auto at = [&](std::size_t i) {
    return static_cast<int>(static_cast<unsigned char>(bytes[i])) << 24 |
           static_cast<unsigned char>(bytes[i + 1]) << 16 |
           static_cast<unsigned char>(bytes[i + 2]) << 8 | static_cast<unsigned char>(bytes[i + 3]);
  };
  return {at(16), at(20)};
}

TEST_F(ArchiveTool, ListPrintsOneLinePerItem) {
  ImageItemData font = Item("Font", 100, 20, 20, 20);
  font.Transparent = false;
  WriteImageArchive((folder_ / "a.gfx").string(),
                    {font, Item("Car", 64, 48, 16, 16), ImageItemData{}});
  const ToolRun run = Tool("list " + (folder_ / "a.gfx").string());
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Output,
            "Font\t100x20\tPatternWidth=20\tPatternHeight=20\tPatternCount=5\tTransparent=false\t"
            "TransparentColor=0x00FF00FF\n"
            "Car\t64x48\tPatternWidth=16\tPatternHeight=16\tPatternCount=12\tTransparent=true\t"
            "TransparentColor=0x00FF00FF\n"
            "\t0x0\tPatternWidth=0\tPatternHeight=0\tPatternCount=0\tTransparent=true\t"
            "TransparentColor=0x00000000\n");
}

TEST_F(ArchiveTool, ExtractWritesPngsAndAContactSheet) {
  WriteImageArchive(
      (folder_ / "a.gfx").string(),
      {Item("Car", 64, 48, 16, 16), Item("Car", 3, 5, 0, 0), Item("../evil name", 7, 7, 0, 0),
       Item("Background", 800, 600, 0, 0), ImageItemData{}});
  const ToolRun run =
      Tool("extract " + (folder_ / "a.gfx").string() + " " + (folder_ / "out").string());
  EXPECT_EQ(run.Status, 0) << run.Output;
  EXPECT_EQ(PngSize(folder_ / "out" / "Car.png"), std::make_pair(64, 48));
  EXPECT_EQ(PngSize(folder_ / "out" / "Car-1.png"), std::make_pair(3, 5));
  EXPECT_EQ(PngSize(folder_ / "out" / "___evil_name.png"), std::make_pair(7, 7));
  EXPECT_EQ(PngSize(folder_ / "out" / "Background.png"), std::make_pair(800, 600));
  EXPECT_GT(PngSize(folder_ / "out" / "contact-sheet.png").first, 0);
}

TEST_F(ArchiveTool, BadArgumentsExitWithTwo) {
  for (const char* arguments : {"", "list", "extract a.gfx", "list a b", "frobnicate a.gfx"}) {
    SCOPED_TRACE(arguments);
    const ToolRun run = Tool(arguments);
    EXPECT_EQ(run.Status, 2);
    EXPECT_THAT(run.Output, HasSubstr("usage: rivoltra-archive"));
  }
}

TEST_F(ArchiveTool, BadArchiveExitsWithOneAndTheError) {
  std::ofstream((folder_ / "bad.gfx").string(), std::ios::binary) << "not an archive";
  const ToolRun bad = Tool("list " + (folder_ / "bad.gfx").string());
  EXPECT_EQ(bad.Status, 1);
  EXPECT_THAT(bad.Output, HasSubstr((folder_ / "bad.gfx").string() + ": Invalid stream format"));
  const ToolRun missing =
      Tool("extract " + (folder_ / "missing.gfx").string() + " " + folder_.string());
  EXPECT_EQ(missing.Status, 1);
  EXPECT_THAT(missing.Output, HasSubstr("missing.gfx"));
}

}  // namespace
}  // namespace rivoltra
