#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "score_service.h"

namespace rivoltra::scores {

// The browser build served under a path prefix. Every regular file under the folder is read
// once at start, with a gzip copy where that is smaller, so a request is a lookup by exact
// name: a path that is not one of those files cannot reach the disk, whatever its dots,
// escapes or links.
class WebFiles {
 public:
  // Throws std::runtime_error naming the folder when it cannot be read or holds no index.html.
  WebFiles(const std::filesystem::path& folder, std::string prefix = "/play/");

  // True for the prefix's requests, including the prefix without its slash.
  bool Serves(std::string_view path) const;
  ServerResponse Handle(const ServerRequest& request) const;
  const std::string& Prefix() const { return prefix_; }
  std::size_t FileCount() const { return files_.size(); }

 private:
  struct File {
    std::string ContentType;
    std::string CacheControl;
    std::shared_ptr<const std::string> Body;
    std::shared_ptr<const std::string> Gzipped;  // null when compressing does not pay
    std::string EntityTag;
    std::string LastModified;  // an HTTP date
    std::int64_t ModifiedSeconds = 0;
  };

  void Load(const std::filesystem::path& folder, const std::filesystem::path& file);

  std::string prefix_;
  std::map<std::string, File, std::less<>> files_;
};

// The type sent for a file name, by its extension.
std::string ContentTypeFor(std::string_view name);
// "no-cache" for pages, the service worker (sw.js) and the web app manifest (always
// revalidated), a year for names carrying a content hash, a day with revalidation for the rest.
std::string CacheControlFor(std::string_view name);
// The gzip form of data (RFC 1952).
std::string Gzip(std::string_view data);
// "Sun, 06 Nov 1994 08:49:37 GMT"
std::string HttpDate(std::int64_t secondsSince1970);
// Seconds since 1970 of an HTTP date, nullopt when it is not one.
std::optional<std::int64_t> ParseHttpDate(std::string_view text);

}  // namespace rivoltra::scores
