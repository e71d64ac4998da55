#include "persist/online_config_file.h"

#include <gtest/gtest.h>

#include <string>

namespace rivoltra {
namespace {

TEST(OnlineConfigFile, KeysReplaceTheDefaultsAndBadLinesAreReportedBySkipping) {
  OnlineConfig config{"http://default:1", "http://default/"};
  const std::vector<std::string> problems = ParseOnlineConfigFile(
      "# packaged addresses\r\n"
      "\n"
      "  server =  https://scores.example.org:8642  \r\n"
      "website=ftp://nope\n"
      "colour = red\n"
      "just words\n"
      "server = http://has space\n",
      config);
  EXPECT_EQ(config.ServerBase, "https://scores.example.org:8642");
  EXPECT_EQ(config.WebSite, "http://default/");
  ASSERT_EQ(problems.size(), 4u);
  EXPECT_EQ(problems[0].rfind("line 4:", 0), 0u) << problems[0];
  EXPECT_EQ(problems[1].rfind("line 5:", 0), 0u) << problems[1];
  EXPECT_EQ(problems[2].rfind("line 6:", 0), 0u) << problems[2];
  EXPECT_EQ(problems[3].rfind("line 7:", 0), 0u) << problems[3];
}

TEST(OnlineConfigFile, AddressesMustBeWebAddresses) {
  const struct {
    const char* Address;
    bool Accepted;
  } cases[] = {
      {"http://127.0.0.1:8642", true},
      {"https://a.example/", true},
      {"http://", false},
      {"file:///etc/passwd", false},
      {"javascript:x", false},
      {"http://a\tb", false},
      {"http://a\x7f", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsWebAddress(c.Address), c.Accepted) << c.Address;
  EXPECT_FALSE(IsWebAddress("http://" + std::string(3000, 'a')));
}

TEST(OnlineConfigFile, AMissingFileChangesNothing) {
  OnlineConfig config{"http://default:1", "http://default/"};
  EXPECT_TRUE(LoadOnlineConfigFile("/nonexistent/online.conf", config).empty());
  EXPECT_EQ(config.ServerBase, "http://default:1");
}

}  // namespace
}  // namespace rivoltra
