#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "score_page.h"
#include "score_store.h"

namespace rivoltra::scores {
namespace {

std::filesystem::path FreshPath(const std::string& name) {
  auto path = std::filesystem::temp_directory_path() /
              ("rivoltra-" + name + "-" + std::to_string(::getpid()) + ".db");
  for (const char* suffix : {"", "-wal", "-shm"}) {
    std::filesystem::remove(path.string() + suffix);
  }
  return path;
}

TEST(ScoreStore, RanksBestFirstWithEarlierEntriesAheadOnTies) {
  ScoreStore store(":memory:");
  store.Add({"LATE TIE", "", 500, 300});
  store.Add({"LOW", "X", 100, 100});
  store.Add({"EARLY TIE", "Y", 500, 200});
  store.Add({"TOP", "Z", 900, 400});

  std::vector<ScoreEntry> best = store.Best(3);
  ASSERT_EQ(best.size(), 3u);
  EXPECT_EQ(best[0].Name, "TOP");
  EXPECT_EQ(best[1].Name, "EARLY TIE");
  EXPECT_EQ(best[1].Country, "Y");
  EXPECT_EQ(best[1].Score, 500);
  EXPECT_EQ(best[1].SubmittedAt, 200);
  EXPECT_EQ(best[2].Name, "LATE TIE");
  EXPECT_EQ(store.Count(), 4u);
}

TEST(ScoreStore, KeepsEntriesAcrossReopeningAndRefusesNewerSchemas) {
  auto path = FreshPath("store");
  {
    ScoreStore store(path.string());
    store.Add({"KEPT", "NORWAY", 4200, 1700000000});
  }
  {
    ScoreStore again(path.string());
    ASSERT_EQ(again.Count(), 1u);
    EXPECT_EQ(again.Best(10)[0].Country, "NORWAY");
  }
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  sqlite3_exec(raw, "PRAGMA user_version = 7", nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  EXPECT_THROW(ScoreStore{path.string()}, StorageError);

  EXPECT_THROW(ScoreStore{"/nonexistent-folder/x/scores.db"}, StorageError);
  std::filesystem::remove(path);
}

TEST(ScorePage, EscapesMarkupAndControlCharacters) {
  const struct {
    const char* Text;
    const char* Escaped;
  } cases[] = {
      {"PLAIN NAME", "PLAIN NAME"},
      {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
      {"a&b \"q\" 'r'", "a&amp;b &quot;q&quot; &#39;r&#39;"},
      {"line\nbreak\x7F",
       "line\xEF\xBF\xBD"
       "break\xEF\xBF\xBD"},
      {"caf\xC3\xA9", "caf\xC3\xA9"},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeHtml(c.Text), c.Escaped) << c.Text;
}

TEST(ScorePage, FormatsDatesInUtcAndDropsImpossibleOnes) {
  EXPECT_EQ(FormatDate(0), "1970-01-01");
  EXPECT_EQ(FormatDate(1700000000), "2023-11-14");
  EXPECT_EQ(FormatDate(951782399), "2000-02-28");
  EXPECT_EQ(FormatDate(951868800), "2000-03-01");
  EXPECT_EQ(FormatDate(INT64_MAX), "");
  EXPECT_EQ(FormatDate(INT64_MIN), "");
}

TEST(ScoreStore, DamagedFilesAreRefusedWithAMessageNamingThem) {
  auto good = FreshPath("intact");
  { ScoreStore create(good.string()); }
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(good.c_str(), &raw), SQLITE_OK);
  // Enough rows for well over 41 pages of 4 KiB.
  ASSERT_EQ(sqlite3_exec(raw,
                         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                         "WHERE i < 20000) INSERT INTO scores (name, country, score, "
                         "submitted_at) SELECT 'NAME ' || i, 'COUNTRY', i, 1700000000 + i FROM n",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);
  std::string content;
  {
    std::ifstream input(good, std::ios::binary);
    content.assign(std::istreambuf_iterator<char>(input), {});
  }
  ASSERT_GT(content.size(), 60u * 4096);
  std::string garbage(4096, '\0');
  for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 7919 % 251);

  const struct {
    const char* Name;
    std::string Bytes;
    const char* Expected;
  } cases[] = {
      {"random", garbage + garbage, "not a database"},
      {"short", "SQLite", "not a database"},
      {"truncated", content.substr(0, content.size() / 2), "damaged: "},
      {"page41",
       content.substr(0, std::size_t{40} * 4096) + garbage + content.substr(std::size_t{41} * 4096),
       "damaged: "},
  };
  for (const auto& c : cases) {
    auto path = FreshPath(c.Name);
    std::ofstream(path, std::ios::binary) << c.Bytes;
    try {
      ScoreStore store(path.string());
      ADD_FAILURE() << c.Name << " was opened";
    } catch (const StorageError& error) {
      std::string message = error.what();
      EXPECT_EQ(message.rfind(path.string() + ": ", 0), 0u) << message;
      EXPECT_NE(message.find(c.Expected), std::string::npos) << message;
      EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
    std::filesystem::remove(path);
  }
  // An empty file is a new database, as a missing one is.
  auto empty = FreshPath("empty");
  std::ofstream(empty, std::ios::binary).flush();
  EXPECT_NO_THROW(ScoreStore{empty.string()});
  std::filesystem::remove(empty);
  std::filesystem::remove(good);
}

TEST(ScorePage, HostileNameStoredDirectlyIsShownAsText) {
  auto path = FreshPath("hostile");
  sqlite3* raw = nullptr;
  { ScoreStore create(path.string()); }
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  // Written past the server's checks, as an edited database or an older server might hold it.
  ASSERT_EQ(sqlite3_exec(raw,
                         "INSERT INTO scores (name, country, score, submitted_at) VALUES "
                         "('<img src=x onerror=alert(1)>', '\"><script>x()</script>', "
                         "99999999999, 1700000000), (NULL, NULL, 5, -99999999999999)",
                         nullptr, nullptr, nullptr),
            SQLITE_CONSTRAINT);
  ASSERT_EQ(sqlite3_exec(raw,
                         "INSERT INTO scores (name, country, score, submitted_at) VALUES "
                         "('<img src=x onerror=alert(1)>', '\"><script>x()</script>', "
                         "99999999999, 1700000000), ('', '', 5, -99999999999999)",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);

  ScoreStore store(path.string());
  std::string page = RenderScorePage(store.Best(10));
  EXPECT_EQ(page.find("<img"), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_NE(page.find("&lt;img src=x onerror=alert(1)&gt;"), std::string::npos);
  EXPECT_NE(page.find("&quot;&gt;&lt;script&gt;x()&lt;/script&gt;"), std::string::npos);
  EXPECT_NE(page.find(">2147483647<"), std::string::npos);  // clamped, not wrapped
  EXPECT_NE(page.find("<meta name=\"viewport\""), std::string::npos);
  EXPECT_EQ(page.find("http"), std::string::npos);  // nothing loaded from elsewhere
  std::filesystem::remove(path);
}

TEST(ScorePage, RanksRowsAndSaysSoWhenEmpty) {
  std::string empty = RenderScorePage({});
  EXPECT_NE(empty.find("No scores yet"), std::string::npos);

  std::string page =
      RenderScorePage({{"ANNA", "SWEDEN", 9100, 1700000000}, {"BO", "", 8000, 1700086400}});
  std::size_t anna = page.find(
      "<td class=\"rank\"><b>1</b></td><td class=\"name\">ANNA</td>"
      "<td class=\"country\">SWEDEN</td><td class=\"score\">9100</td>");
  std::size_t bo = page.find("<b>2</b></td><td class=\"name\">BO</td>");
  ASSERT_NE(anna, std::string::npos);
  ASSERT_NE(bo, std::string::npos);
  EXPECT_LT(anna, bo);
  EXPECT_NE(page.find("2023-11-15"), std::string::npos);
  EXPECT_EQ(page.find("No scores yet"), std::string::npos);
}

}  // namespace
}  // namespace rivoltra::scores
