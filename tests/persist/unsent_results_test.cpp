// Results kept while offline survive any name, country and replay bytes, keep their order, and
// a file that is not one of them is recognised as such instead of being sent wrong.
#include "persist/unsent_results.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace rivoltra {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& file) {
  std::ifstream input(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>()};
}

TEST(UnsentResults, AnyBytesRoundTrip) {
  const UnsentResult cases[] = {
      {"ZOE KAY", 4321, "NEW ZEALAND", std::string("RVR\0\n\r\xff tail", 12)},
      {"", 0, "", ""},
      {"A\nB|C\\D", -5, std::string("\0\n", 2), "\n\n\n"},
  };
  for (const UnsentResult& result : cases) {
    const std::optional<UnsentResult> back = ParseUnsentResult(UnsentResultFileText(result));
    ASSERT_TRUE(back.has_value()) << result.PlayerName;
    EXPECT_EQ(back->PlayerName, result.PlayerName);
    EXPECT_EQ(back->Score, result.Score);
    EXPECT_EQ(back->Country, result.Country);
    EXPECT_EQ(back->Replay, result.Replay);
  }
}

TEST(UnsentResults, TextsThatAreNotOneAreRefused) {
  const std::string good = UnsentResultFileText({"ANNA", 300, "FI", "replay"});
  const std::string cases[] = {
      "",
      "rivoltra unsent result 2\n300\n414e4e41\n4649\nreplay",    // another version
      "rivoltra unsent result 1\n300\n414e4e41\n",                // cut before the country
      "rivoltra unsent result 1\n3x0\n414e4e41\n4649\n",          // not a number
      "rivoltra unsent result 1\n\n414e4e41\n4649\n",             // no number
      "rivoltra unsent result 1\n99999999999\n414e4e41\n4649\n",  // beyond a score
      "rivoltra unsent result 1\n300\n414e4e4\n4649\n",           // odd hex
      "rivoltra unsent result 1\n300\n41zz\n4649\n",              // not hex
      "rivoltra unsent result 1\n300\n" + std::string(1024, 'a') + "\n4649\n",  // too long a name
      good.substr(0, 30),
  };
  for (const std::string& text : cases) {
    EXPECT_FALSE(ParseUnsentResult(text).has_value()) << text;
  }
  EXPECT_TRUE(ParseUnsentResult(good).has_value());
}

TEST(UnsentResults, KeptInOrderInAFolderMadeWhenMissing) {
  const fs::path folder =
      fs::temp_directory_path() / ("rivoltra-unsent-" + std::to_string(::getpid())) / "unsent";
  fs::remove_all(folder.parent_path());
  EXPECT_TRUE(UnsentResultFiles(folder).empty()) << "no folder, no results";
  const fs::path first = KeepUnsentResult(folder, {"ONE", 1, "", "r1"});
  const fs::path second = KeepUnsentResult(folder, {"TWO", 2, "", "r2"});
  fs::remove(first);
  const fs::path third = KeepUnsentResult(folder, {"THREE", 3, "", "r3"});
  std::ofstream(folder / "notes.txt") << "not a result";
  const std::vector<fs::path> files = UnsentResultFiles(folder);
  ASSERT_EQ(files, (std::vector<fs::path>{second, third}));
  EXPECT_EQ(ParseUnsentResult(ReadAll(files[0]))->PlayerName, "TWO");
  EXPECT_EQ(ParseUnsentResult(ReadAll(files[1]))->PlayerName, "THREE");
  fs::remove_all(folder.parent_path());
}

}  // namespace
}  // namespace rivoltra
