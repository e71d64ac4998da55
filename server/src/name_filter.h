#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rivoltra::scores {

// A name as the filters compare it: lower case, common look-alike characters taken for the
// letters they imitate (0 o, 1 i, 3 e, 4 a, 5 s, 7 t, 8 b, @ a, $ s, ...), everything else that
// is not a letter (spaces, dots, dashes) left out, so "B.4 D" compares as "bad".
std::string FoldName(std::string_view name);

// The operator's name filter (--name-filter FILE). One entry a line: a pattern refuses every
// name whose folded form contains the folded pattern; `allow WORD` names an innocent word that
// contains a pattern, and a pattern found only inside such a word does not refuse the name.
// Blank lines and lines starting with # are skipped. No list ships with the server.
class NameFilter {
 public:
  NameFilter() = default;
  NameFilter(std::vector<std::string> patterns, std::vector<std::string> allowed);
  // Throws std::runtime_error naming the file (and line) when it cannot be read or used.
  static NameFilter Load(const std::string& path);

  bool Refuses(std::string_view name) const;
  bool Empty() const { return patterns_.empty(); }

 private:
  std::vector<std::string> patterns_;  // folded
  std::vector<std::string> allowed_;   // folded
};

// A name ban's pattern against a name, both folded: `*` stands for any run of letters, `?` for
// one, and the pattern must match the whole folded name ("*cheat*" bans any name holding it).
bool NamePatternMatches(std::string_view pattern, std::string_view name);

}  // namespace rivoltra::scores
