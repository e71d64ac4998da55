#pragma once

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>
#include <vector>

namespace rivoltra {

// The case-insensitive name index of the image and sound lists: 256 buckets, each a chain whose
// head is the item created or renamed most recently, so with duplicate names the newest wins.

inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// (length x 16 + first char + second-to-last char) and 255 on the lower-cased name; names of
// length 0 or 1 add no characters.
inline int NameHash(std::string_view name) {
  std::size_t hash = name.size() * 16;
  if (name.size() >= 2) {
    hash += static_cast<unsigned char>(LowerAscii(name[0]));
    hash += static_cast<unsigned char>(LowerAscii(name[name.size() - 2]));
  }
  return static_cast<int>(hash & 255);
}

inline bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

// Items must offer Name() returning something convertible to std::string_view. The index holds
// pointers only: an item must be removed (under its current name) before it is renamed or
// destroyed.
template <class Item>
class NameIndex {
 public:
  void Add(Item& item) { Bucket(item.Name()).push_back(&item); }

  void Remove(Item& item) {
    auto& chain = Bucket(item.Name());
    auto found = std::find(chain.rbegin(), chain.rend(), &item);
    if (found != chain.rend()) chain.erase(std::next(found).base());
  }

  void Clear() {
    for (auto& chain : buckets_) chain.clear();
  }

  Item* Find(std::string_view name) const {
    const auto& chain = buckets_[static_cast<std::size_t>(NameHash(name))];
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
      if (SameNameIgnoringCase((*it)->Name(), name)) return *it;
    return nullptr;
  }

 private:
  // The back of each vector is the head of its chain.
  std::vector<Item*>& Bucket(std::string_view name) {
    return buckets_[static_cast<std::size_t>(NameHash(name))];
  }

  std::array<std::vector<Item*>, 256> buckets_;
};

}  // namespace rivoltra
