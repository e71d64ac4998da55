#include "name_filter.h"

#include <fstream>
#include <stdexcept>

namespace rivoltra::scores {
namespace {

// The letter a look-alike stands for, the letter itself in lower case, or 0 to leave it out.
char FoldedLetter(char c, bool keepWildcards) {
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  if (c >= 'a' && c <= 'z') return c;
  if (keepWildcards && (c == '*' || c == '?')) return c;
  switch (c) {
    case '0':
      return 'o';
    case '1':
    case '!':
    case '|':
      return 'i';
    case '3':
      return 'e';
    case '4':
    case '@':
      return 'a';
    case '5':
    case '$':
      return 's';
    case '6':
    case '9':
      return 'g';
    case '7':
    case '+':
      return 't';
    case '8':
      return 'b';
    case '2':
      return 'z';
    default:
      return 0;
  }
}

std::string Fold(std::string_view text, bool keepWildcards) {
  std::string folded;
  for (char c : text) {
    if (char letter = FoldedLetter(c, keepWildcards)) folded += letter;
  }
  return folded;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

std::string FoldName(std::string_view name) { return Fold(name, false); }

NameFilter::NameFilter(std::vector<std::string> patterns, std::vector<std::string> allowed) {
  for (const auto& pattern : patterns) {
    std::string folded = FoldName(pattern);
    if (!folded.empty()) patterns_.push_back(std::move(folded));
  }
  for (const auto& word : allowed) {
    std::string folded = FoldName(word);
    if (!folded.empty()) allowed_.push_back(std::move(folded));
  }
}

NameFilter NameFilter::Load(const std::string& path) {
  std::ifstream file(path);
  if (!file) throw std::runtime_error(path + ": cannot read the name filter");
  std::vector<std::string> patterns;
  std::vector<std::string> allowed;
  std::string line;
  int number = 0;
  while (std::getline(file, line)) {
    ++number;
    std::string_view text = Trimmed(line);
    if (text.empty() || text.front() == '#') continue;
    bool allow = text.rfind("allow ", 0) == 0;
    if (allow) text = Trimmed(text.substr(6));
    if (FoldName(text).empty()) {
      throw std::runtime_error(path + ":" + std::to_string(number) +
                               ": an entry without a letter would match every name");
    }
    (allow ? allowed : patterns).emplace_back(text);
  }
  return NameFilter(std::move(patterns), std::move(allowed));
}

bool NameFilter::Refuses(std::string_view name) const {
  if (patterns_.empty()) return false;
  std::string folded = FoldName(name);
  // Where the allowed words lie in the name; a pattern found wholly inside one is innocent.
  std::vector<std::pair<std::size_t, std::size_t>> innocent;
  for (const auto& word : allowed_) {
    for (std::size_t at = folded.find(word); at != std::string::npos;
         at = folded.find(word, at + 1)) {
      innocent.emplace_back(at, at + word.size());
    }
  }
  for (const auto& pattern : patterns_) {
    for (std::size_t at = folded.find(pattern); at != std::string::npos;
         at = folded.find(pattern, at + 1)) {
      bool covered = false;
      for (const auto& [begin, end] : innocent) {
        if (begin <= at && at + pattern.size() <= end) covered = true;
      }
      if (!covered) return true;
    }
  }
  return false;
}

bool NamePatternMatches(std::string_view pattern, std::string_view name) {
  std::string folded = FoldName(name);
  std::string wanted = Fold(pattern, true);
  // Glob matching with one remembered star: linear in practice, no recursion on hostile input.
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t star = std::string::npos;
  std::size_t resume = 0;
  while (n < folded.size()) {
    if (p < wanted.size() && (wanted[p] == '?' || wanted[p] == folded[n])) {
      ++p;
      ++n;
    } else if (p < wanted.size() && wanted[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < wanted.size() && wanted[p] == '*') ++p;
  return p == wanted.size();
}

}  // namespace rivoltra::scores
