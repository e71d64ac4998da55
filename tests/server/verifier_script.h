#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "server/test_support.h"

namespace rivoltra::scores {

// An executable script in a folder of its own, removed with the object.
class Script {
 public:
  explicit Script(const std::string& body) {
    static int made = 0;
    folder_ = testing::FreshTempPath("verifier-" + std::to_string(++made));
    std::filesystem::create_directories(folder_);
    std::ofstream(Path()) << "#!/bin/sh\n" << body << "\n";
    ::chmod(Path().c_str(), 0755);
  }
  ~Script() { std::filesystem::remove_all(folder_); }
  std::string Path() const { return (folder_ / "verify.sh").string(); }
  std::filesystem::path Folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
};

// A verifier that reproduces `score`, as the real one does for an honest replay of it.
inline std::string Reproduces(std::int32_t score) {
  return "echo '{\"valid\": true, \"score\": " + std::to_string(score) +
         ", \"level\": 2, \"ticks\": 200, \"reason\": \"\"}'";
}

}  // namespace rivoltra::scores
