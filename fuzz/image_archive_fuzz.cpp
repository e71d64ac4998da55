// Hostile ".gfx" bytes: the reader must fail with ArchiveError or return items that the writer
// stores and the reader reads back unchanged. Any other exception, crash or sanitizer report
// is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "engine/image_archive.h"
#include "engine/pattern_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rivoltra;
  ImageArchiveContents contents;
  try {
    contents = ReadImageArchiveContents(std::span(data, size), "fuzz.gfx");
  } catch (const ArchiveError&) {
    return 0;
  }
  for (const auto& item : contents.Items) {
    const PatternLayout layout = PatternLayoutOf(item);
    const int count = layout.BuiltPatternCount();
    layout.PatternCountBeforeDisplay();
    for (int k : {0, count - 1, count}) {
      const Rect r = layout.PatternBounds(k);
      if (!r.IsEmpty() &&
          (r.Left < 0 || r.Top < 0 || r.Right > item.Image.Width || r.Bottom > item.Image.Height))
        std::abort();  // a pattern outside its picture
    }
  }
  const auto written = WriteImageArchiveContentsBytes(contents);
  if (ReadImageArchiveContents(written, "rewritten.gfx") != contents) std::abort();
  return 0;
}
