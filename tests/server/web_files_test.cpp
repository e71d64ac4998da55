#include "web_files.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "server/test_support.h"

namespace rivoltra::scores {
namespace {

namespace fs = std::filesystem;

fs::path FixtureFolder() {
  return fs::path(RIVOLTRA_TEST_SOURCE_DIR) / "tests/server/fixtures/web";
}

std::string FileText(const fs::path& path) {
  std::ifstream input(path, std::ios::binary);
  std::ostringstream content;
  content << input.rdbuf();
  return content.str();
}

std::string Gunzip(const std::string& packed) {
  z_stream stream{};
  EXPECT_EQ(inflateInit2(&stream, 15 + 16), Z_OK);
  std::string out(1 << 20, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  stream.avail_in = static_cast<uInt>(packed.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(inflate(&stream, Z_FINISH), Z_STREAM_END);
  out.resize(stream.total_out);
  inflateEnd(&stream);
  return out;
}

std::string HeaderOf(const ServerResponse& response, std::string_view name) {
  for (const auto& [header, value] : response.Headers) {
    if (header == name) return value;
  }
  return {};
}

std::string BodyOf(const ServerResponse& response) {
  return response.SharedBody ? *response.SharedBody : response.Body;
}

ServerRequest Get(std::string target,
                  std::vector<std::pair<std::string, std::string>> headers = {}) {
  ServerRequest request{"GET", std::move(target), "127.0.0.1"};
  request.Headers = std::move(headers);
  return request;
}

TEST(WebFiles, ServesEachFileWithItsTypeCachePolicyAndGzipWhenItPays) {
  WebFiles web(FixtureFolder());
  const struct {
    std::string target;
    std::string file;
    std::string type;
    std::string cache;
    bool gzipped;
  } cases[] = {
      {"/play/", "index.html", "text/html; charset=utf-8", "no-cache", true},
      {"/play/index.html", "index.html", "text/html; charset=utf-8", "no-cache", true},
      {"/play/rivoltra.js", "rivoltra.js", "text/javascript; charset=utf-8",
       "public, max-age=86400", true},
      {"/play/rivoltra.wasm?v=2", "rivoltra.wasm", "application/wasm", "public, max-age=86400",
       true},
      {"/play/rivoltra.data", "rivoltra.data", "application/octet-stream", "public, max-age=86400",
       false},
      {"/play/assets/track.3f9a2c1b.js", "assets/track.3f9a2c1b.js",
       "text/javascript; charset=utf-8", "public, max-age=31536000, immutable", true},
      // The service worker and the app manifest are revalidated like the page.
      {"/play/sw.js", "sw.js", "text/javascript; charset=utf-8", "no-cache", true},
      {"/play/manifest.webmanifest", "manifest.webmanifest", "application/manifest+json",
       "no-cache", true},
  };
  for (const auto& c : cases) {
    std::string original = FileText(FixtureFolder() / c.file);
    ServerResponse plain = web.Handle(Get(c.target));
    EXPECT_EQ(plain.Status, 200) << c.target;
    EXPECT_EQ(plain.ContentType, c.type) << c.target;
    EXPECT_EQ(HeaderOf(plain, "Cache-Control"), c.cache) << c.target;
    EXPECT_EQ(HeaderOf(plain, "Content-Encoding"), "") << c.target;
    EXPECT_EQ(BodyOf(plain), original) << c.target;

    ServerResponse packed = web.Handle(Get(c.target, {{"accept-encoding", "br, gzip, deflate"}}));
    EXPECT_EQ(packed.Status, 200) << c.target;
    if (c.gzipped) {
      EXPECT_EQ(HeaderOf(packed, "Content-Encoding"), "gzip") << c.target;
      EXPECT_LT(BodyOf(packed).size(), original.size()) << c.target;
      EXPECT_EQ(Gunzip(BodyOf(packed)), original) << c.target;
      EXPECT_NE(HeaderOf(packed, "ETag"), HeaderOf(plain, "ETag")) << c.target;
    } else {
      EXPECT_EQ(BodyOf(packed), original) << c.target;  // random bytes: gzip would only grow
    }
  }
  // A refusal of gzip is honoured.
  ServerResponse refused = web.Handle(Get("/play/rivoltra.js", {{"accept-encoding", "gzip;q=0"}}));
  EXPECT_EQ(HeaderOf(refused, "Content-Encoding"), "");
}

TEST(WebFiles, RevalidationAnswersNotModified) {
  WebFiles web(FixtureFolder());
  ServerResponse first = web.Handle(Get("/play/index.html", {{"accept-encoding", "gzip"}}));
  std::string tag = HeaderOf(first, "ETag");
  std::string modified = HeaderOf(first, "Last-Modified");
  ASSERT_FALSE(tag.empty());
  ASSERT_FALSE(modified.empty());

  const struct {
    std::vector<std::pair<std::string, std::string>> headers;
    int status;
  } cases[] = {
      {{{"accept-encoding", "gzip"}, {"if-none-match", tag}}, 304},
      {{{"accept-encoding", "gzip"}, {"if-none-match", "\"other\", " + tag}}, 304},
      {{{"if-none-match", tag}}, 200},  // the plain form has another tag
      {{{"accept-encoding", "gzip"}, {"if-none-match", "\"stale\""}}, 200},
      {{{"if-modified-since", modified}}, 304},
      {{{"if-modified-since", "Thu, 01 Jan 1970 00:00:00 GMT"}}, 200},
      {{{"if-modified-since", "yesterday"}}, 200},
  };
  for (const auto& c : cases) {
    ServerResponse response = web.Handle(Get("/play/index.html", c.headers));
    EXPECT_EQ(response.Status, c.status) << c.headers.back().second;
    if (c.status == 304) {
      EXPECT_EQ(BodyOf(response), "");
    }
  }
}

TEST(WebFiles, HostilePathsNeverLeaveTheFolder) {
  // A copy of the fixture with a link inside pointing out of it.
  fs::path folder = testing::FreshTempPath("web");
  fs::create_directories(folder);
  fs::copy(FixtureFolder(), folder / "play", fs::copy_options::recursive);
  std::ofstream(folder / "secret.txt") << "outside";
  fs::create_symlink(folder / "secret.txt", folder / "play" / "link.txt");
  fs::create_directory_symlink(folder, folder / "play" / "up");
  WebFiles web(folder / "play");

  const char* hostile[] = {
      "/play/../secret.txt",
      "/play/%2e%2e/secret.txt",
      "/play/..%2fsecret.txt",
      "/play/link.txt",
      "/play/up/secret.txt",
      "/play//etc/passwd",
      "/play/assets/../../secret.txt",
      "/play/index.html%00.js",
      "/play/\\..\\secret.txt",
      "/play/./index.html",
      "/play/INDEX.HTML",
      "/play/assets",
  };
  for (const char* target : hostile) {
    ServerResponse response = web.Handle(Get(target));
    EXPECT_EQ(response.Status, 404) << target;
    EXPECT_EQ(BodyOf(response).find("outside"), std::string::npos) << target;
  }
  EXPECT_EQ(web.Handle(Get("/play")).Status, 301);
  EXPECT_EQ(web.Handle({"POST", "/play/", "127.0.0.1"}).Status, 405);
  EXPECT_EQ(web.Handle({"HEAD", "/play/", "127.0.0.1"}).Status, 200);
  EXPECT_TRUE(web.Serves("/play/x"));
  EXPECT_TRUE(web.Serves("/play?x"));
  EXPECT_FALSE(web.Serves("/playground"));
  EXPECT_FALSE(web.Serves("/"));
  fs::remove_all(folder);
}

TEST(WebFiles, RefusesAFolderWithoutAPage) {
  fs::path folder = testing::FreshTempPath("web-empty");
  fs::create_directories(folder);
  EXPECT_THROW(WebFiles{folder}, std::runtime_error);
  EXPECT_THROW(WebFiles{folder / "missing"}, std::runtime_error);
  fs::remove_all(folder);
}

TEST(WebFiles, HttpDatesRoundTrip) {
  EXPECT_EQ(HttpDate(784111777), "Sun, 06 Nov 1994 08:49:37 GMT");
  EXPECT_EQ(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), 784111777);
  EXPECT_FALSE(ParseHttpDate("06/11/1994").has_value());
}

TEST(WebFiles, ProgramLinksThePlayPageOnlyWithWeb) {
  using namespace std::chrono_literals;
  for (bool withWeb : {false, true}) {
    std::vector<std::string> arguments = {
        RIVOLTRA_SCORES_BINARY, "--listen", "127.0.0.1:0", "--db", ":memory:", "--quiet"};
    if (withWeb) {
      arguments.push_back("--web");
      arguments.push_back(FixtureFolder().string());
    }
    testing::Child child = testing::Spawn(arguments);
    ASSERT_GT(child.pid, 0);
    std::string line = testing::ReadLine(child.output, 5000ms);
    std::size_t portAt = line.find("127.0.0.1:");
    ASSERT_NE(portAt, std::string::npos) << line;
    int port = std::stoi(line.substr(portAt + 10));
    auto home = testing::RawExchange(port, "GET / HTTP/1.1\r\nHost: x\r\n\r\n");
    auto game = testing::RawExchange(
        port, "GET /play/rivoltra.wasm HTTP/1.1\r\nHost: x\r\nAccept-Encoding: gzip\r\n\r\n");
    ::kill(child.pid, SIGTERM);
    testing::WaitForExit(child.pid, 5000ms);
    ::close(child.output);
    ASSERT_TRUE(home && game);
    EXPECT_EQ(home->find("Play in the browser") != std::string::npos, withWeb);
    EXPECT_EQ(home->find("href=\"/play/\"") != std::string::npos, withWeb);
    if (withWeb) {
      EXPECT_EQ(game->substr(0, 15), "HTTP/1.1 200 OK");
      EXPECT_NE(game->find("Content-Type: application/wasm\r\n"), std::string::npos);
      EXPECT_NE(game->find("Content-Encoding: gzip\r\n"), std::string::npos);
    } else {
      EXPECT_EQ(game->substr(0, 12), "HTTP/1.1 404");
    }
  }
}

}  // namespace
}  // namespace rivoltra::scores
