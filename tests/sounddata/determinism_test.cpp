// The generator writes the same bytes on every run: no clock, no unseeded randomness, no
// uninitialised memory reaches the files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "generated_data.h"

namespace rivoltra::sounddata {
namespace {

namespace fs = std::filesystem;

std::vector<char> ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SoundDataGenerator, WritesTheSameBytesAgain) {
  const fs::path generator = BuildFolder() / "rivoltra-datagen";
  ASSERT_TRUE(fs::exists(generator)) << generator;
  const fs::path again = fs::temp_directory_path() / "rivoltra_sounddata_again";
  fs::remove_all(again);
  const std::string command =
      "\"" + generator.string() + "\" \"" + again.string() + "\" sounds music > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* file : {"Res/Sounds.sfx", "Music/Menu.xm", "Music/Race.xm"}) {
    const std::vector<char> built = ReadAll(DataFolder() / file);
    EXPECT_FALSE(built.empty()) << file;
    EXPECT_TRUE(ReadAll(again / file) == built) << file << " differs between runs";
  }
  fs::remove_all(again);
}

}  // namespace
}  // namespace rivoltra::sounddata
