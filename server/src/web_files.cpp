#include "web_files.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace rivoltra::scores {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTextTypes[] = {"text/",
                                           "application/manifest+json",
                                           "application/javascript",
                                           "application/json",
                                           "application/wasm",
                                           "application/octet-stream",
                                           "image/svg+xml"};

bool WorthCompressing(std::string_view contentType) {
  for (std::string_view type : kTextTypes) {
    if (contentType.substr(0, type.size()) == type) return true;
  }
  return false;
}

std::string EntityTag(std::string_view data) {
  // FNV-1a over the bytes: a changed file gets a new tag, which is all a tag must do.
  std::uint64_t hash = 1469598103934665603ull;
  for (char c : data) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  char text[24];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return std::string("\"") + text + "-" + std::to_string(data.size()) + "\"";
}

bool AcceptsGzip(const std::string* acceptEncoding) {
  if (acceptEncoding == nullptr) return false;
  std::string lower = *acceptEncoding;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::size_t at = lower.find("gzip");
  if (at == std::string::npos) return false;
  // "gzip;q=0" refuses it.
  std::size_t end = lower.find(',', at);
  std::string entry = lower.substr(at, end == std::string::npos ? std::string::npos : end - at);
  entry.erase(std::remove(entry.begin(), entry.end(), ' '), entry.end());
  return entry.find(";q=0") == std::string::npos || entry.find(";q=0.") != std::string::npos;
}

bool MatchesTag(const std::string& header, const std::string& tag) {
  if (header == "*") return true;
  std::string bare = tag.substr(1, tag.size() - 2);
  std::size_t at = 0;
  while ((at = header.find(bare, at)) != std::string::npos) {
    bool quotedBefore = at > 0 && header[at - 1] == '"';
    bool quotedAfter = at + bare.size() < header.size() && header[at + bare.size()] == '"';
    if (quotedBefore && quotedAfter) return true;
    at += bare.size();
  }
  return false;
}

ServerResponse Refusal(int status, std::string_view reason) {
  ServerResponse response;
  response.Status = status;
  response.Body = "ERROR|" + std::string(reason) + "\n";
  response.Headers.emplace_back("Cache-Control", "no-store");
  response.Headers.emplace_back("X-Content-Type-Options", "nosniff");
  return response;
}

}  // namespace

std::string ContentTypeFor(std::string_view name) {
  static const std::pair<std::string_view, std::string_view> kTypes[] = {
      {".html", "text/html; charset=utf-8"},
      {".js", "text/javascript; charset=utf-8"},
      {".mjs", "text/javascript; charset=utf-8"},
      {".wasm", "application/wasm"},
      {".data", "application/octet-stream"},
      {".css", "text/css; charset=utf-8"},
      {".json", "application/json"},
      {".webmanifest", "application/manifest+json"},
      {".png", "image/png"},
      {".svg", "image/svg+xml"},
      {".ico", "image/x-icon"},
      {".txt", "text/plain; charset=utf-8"},
  };
  for (const auto& [extension, type] : kTypes) {
    if (name.size() >= extension.size() &&
        name.substr(name.size() - extension.size()) == extension) {
      return std::string(type);
    }
  }
  return "application/octet-stream";
}

std::string CacheControlFor(std::string_view name) {
  if (ContentTypeFor(name).rfind("text/html", 0) == 0) return "no-cache";
  // The service worker and the app's manifest: a new build must be seen at the next start.
  if (name == "sw.js" || ContentTypeFor(name) == "application/manifest+json") return "no-cache";
  static const std::regex kHashed(R"([.-][0-9a-f]{8,}\.)");
  if (std::regex_search(name.begin(), name.end(), kHashed)) {
    return "public, max-age=31536000, immutable";
  }
  return "public, max-age=86400";
}

std::string Gzip(std::string_view data) {
  z_stream stream{};
  // 15 window bits plus 16 asks for the gzip wrapper.
  if (deflateInit2(&stream, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("gzip: cannot start");
  }
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  int result = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw std::runtime_error("gzip: cannot compress");
  return out;
}

std::string HttpDate(std::int64_t secondsSince1970) {
  std::time_t time = static_cast<std::time_t>(secondsSince1970);
  std::tm parts{};
  gmtime_r(&time, &parts);
  char text[40];
  std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &parts);
  return text;
}

std::optional<std::int64_t> ParseHttpDate(std::string_view text) {
  std::tm parts{};
  std::istringstream input{std::string(text)};
  input.imbue(std::locale::classic());
  input >> std::get_time(&parts, "%a, %d %b %Y %H:%M:%S GMT");
  if (input.fail()) return std::nullopt;
  return static_cast<std::int64_t>(timegm(&parts));
}

WebFiles::WebFiles(const fs::path& folder, std::string prefix) : prefix_(std::move(prefix)) {
  std::error_code error;
  if (!fs::is_directory(folder, error)) {
    throw std::runtime_error(folder.string() + ": not a folder");
  }
  // Links are not followed, so nothing outside the folder is ever read.
  for (fs::recursive_directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    if (entry->is_regular_file(error) && !entry->is_symlink(error)) Load(folder, entry->path());
  }
  if (error) throw std::runtime_error(folder.string() + ": cannot list: " + error.message());
  if (files_.count("index.html") == 0) {
    throw std::runtime_error(folder.string() + ": no index.html");
  }
}

void WebFiles::Load(const fs::path& folder, const fs::path& path) {
  std::ifstream input(path, std::ios::binary);
  if (!input) throw std::runtime_error(path.string() + ": cannot read");
  std::ostringstream content;
  content << input.rdbuf();
  std::string name = fs::relative(path, folder).generic_string();
  File file;
  file.ContentType = ContentTypeFor(name);
  file.CacheControl = CacheControlFor(name);
  file.Body = std::make_shared<const std::string>(content.str());
  file.EntityTag = EntityTag(*file.Body);
  if (WorthCompressing(file.ContentType)) {
    std::string packed = Gzip(*file.Body);
    if (packed.size() < file.Body->size()) {
      file.Gzipped = std::make_shared<const std::string>(std::move(packed));
    }
  }
  auto written = fs::last_write_time(path);
  auto since1970 = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::file_clock::to_sys(written).time_since_epoch());
  file.ModifiedSeconds = since1970.count();
  file.LastModified = HttpDate(file.ModifiedSeconds);
  files_.emplace(std::move(name), std::move(file));
}

bool WebFiles::Serves(std::string_view path) const {
  std::string_view bare = std::string_view(prefix_).substr(0, prefix_.size() - 1);
  return path.substr(0, path.find('?')) == bare || path.substr(0, prefix_.size()) == prefix_;
}

ServerResponse WebFiles::Handle(const ServerRequest& request) const {
  std::string_view path = std::string_view(request.Target).substr(0, request.Target.find('?'));
  if (request.Method != "GET" && request.Method != "HEAD") {
    ServerResponse refused = Refusal(405, "only GET and HEAD are served");
    refused.Headers.emplace_back("Allow", "GET, HEAD");
    return refused;
  }
  if (path.size() < prefix_.size()) {
    ServerResponse moved = Refusal(301, "moved");
    moved.Headers.emplace_back("Location", prefix_);
    return moved;
  }
  std::string name(path.substr(prefix_.size()));
  if (name.empty()) name = "index.html";
  auto found = files_.find(name);
  if (found == files_.end()) return Refusal(404, "no such file");
  const File& file = found->second;

  bool gzip = file.Gzipped != nullptr && AcceptsGzip(request.Header("accept-encoding"));
  // The compressed form is another representation, so it carries a tag of its own.
  std::string tag =
      gzip ? file.EntityTag.substr(0, file.EntityTag.size() - 1) + "-gz\"" : file.EntityTag;
  ServerResponse response;
  response.ContentType = file.ContentType;
  response.Headers.emplace_back("Cache-Control", file.CacheControl);
  response.Headers.emplace_back("ETag", tag);
  response.Headers.emplace_back("Last-Modified", file.LastModified);
  response.Headers.emplace_back("X-Content-Type-Options", "nosniff");
  if (file.Gzipped) response.Headers.emplace_back("Vary", "Accept-Encoding");

  const std::string* ifNoneMatch = request.Header("if-none-match");
  const std::string* ifModifiedSince = request.Header("if-modified-since");
  bool unchanged = false;
  if (ifNoneMatch != nullptr) {
    unchanged = MatchesTag(*ifNoneMatch, tag);
  } else if (ifModifiedSince != nullptr) {
    auto since = ParseHttpDate(*ifModifiedSince);
    unchanged = since && *since >= file.ModifiedSeconds;
  }
  if (unchanged) {
    response.Status = 304;
    return response;
  }
  if (gzip) {
    response.Headers.emplace_back("Content-Encoding", "gzip");
    response.SharedBody = file.Gzipped;
  } else {
    response.SharedBody = file.Body;
  }
  return response;
}

}  // namespace rivoltra::scores
