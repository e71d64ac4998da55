#include "engine/image_archive.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "engine/component_stream.h"
#include "engine/dib.h"

namespace rivoltra {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

Picture Gradient(int width, int height) {
  Picture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      p.Pixels.push_back(static_cast<std::uint32_t>((x * 37) & 0xFF) << 16 |
                         static_cast<std::uint32_t>((y * 91) & 0xFF) << 8 |
                         static_cast<std::uint32_t>((x * y + 5) & 0xFF));
  return p;
}

ImageItemData Item(std::string name, Picture picture) {
  ImageItemData item;
  item.Name = std::move(name);
  item.Image = std::move(picture);
  return item;
}

std::string ErrorOf(std::span<const std::uint8_t> bytes, const std::string& fileName = "Res1.gfx") {
  try {
    ReadImageArchiveBytes(bytes, fileName);
  } catch (const ArchiveError& e) {
    return e.what();
  }
  return "(no error)";
}

// An archive with one item whose properties are written by `writeProperties`.
std::vector<std::uint8_t> ArchiveWithItem(
    const std::function<void(ComponentWriter&)>& writeProperties) {
  ComponentWriter w;
  w.BeginResource("TImageArchiveRoot");
  w.WriteSignature();
  w.BeginComponent("TImageArchiveRoot");
  w.BeginCollection("List");
  w.BeginItem();
  writeProperties(w);
  w.EndItem();
  w.EndCollection();
  w.EndComponent();
  return w.Finish();
}

std::vector<std::uint8_t> PictureData(const std::string& className,
                                      std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> payload;
  AppendShortString(payload, className);
  payload.insert(payload.end(), data.begin(), data.end());
  return payload;
}

// ---------------------------------------------------------------------------------------------
// Round trip

TEST(ImageArchive, RoundTripKeepsEveryProperty) {
  std::vector<ImageItemData> items;
  for (int width : {1, 2, 3, 5, 7, 13}) {  // every row padding of 24-bit rows
    ImageItemData item = Item("Item" + std::to_string(width), Gradient(width, width % 4 + 1));
    item.PatternWidth = width;
    item.PatternHeight = -width;
    item.SkipWidth = 300 * width;
    item.SkipHeight = -70000 * width;
    item.SystemMemory = width % 2 == 1;
    item.Transparent = width % 3 == 0;
    item.TransparentColor = 0x00C0FFEEu + static_cast<std::uint32_t>(width);
    items.push_back(item);
  }
  items.push_back(Item("Empty", Picture{}));
  items.push_back(Item(std::string(300, 'L'), Gradient(2, 2)));  // a long string name
  items.push_back(Item("FewColours", Picture{40, 2, std::vector<std::uint32_t>(80, 0x00FF00FF)}));
  for (const PictureStorage storage : {PictureStorage::TrueColor, PictureStorage::Compact}) {
    SCOPED_TRACE(storage == PictureStorage::Compact ? "compact" : "true colour");
    const auto bytes = WriteImageArchiveBytes(items, storage);
    EXPECT_EQ(ReadImageArchiveBytes(bytes, "round.gfx"), items);
  }
}

TEST(ImageArchive, CompactStorageIsSmallerForFewColours) {
  const std::vector<ImageItemData> items = {Item(
      "Flat", Picture{256, 256, std::vector<std::uint32_t>(std::size_t{256} * 256, 0x123456)})};
  EXPECT_LT(WriteImageArchiveBytes(items, PictureStorage::Compact).size() * 20,
            WriteImageArchiveBytes(items).size());
}

TEST(ImageArchive, RoundTripThroughAFile) {
  const auto path = std::filesystem::temp_directory_path() / "rivoltra_archive_test.gfx";
  const std::vector<ImageItemData> items = {Item("Car", Gradient(33, 17))};
  WriteImageArchive(path.string(), items);
  EXPECT_EQ(ReadImageArchive(path.string()), items);
  std::filesystem::remove(path);
}

TEST(ImageArchive, MissingFileIsASystemError) {
  EXPECT_THROW(ReadImageArchive("/nonexistent/Res9.gfx"), std::system_error);
}

TEST(ImageArchive, ColorTableRoundTrip) {
  ImageArchiveContents contents;
  for (std::size_t i = 0; i < contents.ColorTable.size(); ++i)
    contents.ColorTable[i] = static_cast<std::uint8_t>(i * 7);
  contents.Items.push_back(Item("A", Gradient(4, 4)));
  EXPECT_EQ(ReadImageArchiveContents(WriteImageArchiveContentsBytes(contents), "x.gfx"), contents);
}

TEST(ImageArchive, WriterStores24BitBottomUpBitmaps) {
  const auto bytes = WriteImageArchiveBytes({Item("A", Picture{1, 2, {0x112233, 0x445566}})});
  const std::vector<std::uint8_t> expected =
      {40, 0, 0, 0, 1, 0, 0,    0,    2,    0, 0,    0,    1,    0, 24, 0, 0,
       0,  0, 0, 8, 0, 0, 0,    0,    0,    0, 0,    0,    0,    0, 0,  0, 0,
       0,  0, 0, 0, 0, 0, 0x66, 0x55, 0x44, 0, 0x33, 0x22, 0x11, 0};  // bottom row first, padded to
                                                                      // 4 bytes
  const auto payload = PictureData("TBitmapData", expected);
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), payload.begin(), payload.end()), bytes.end());
}

TEST(ImageArchive, EmptyCollectionLoadsToAnEmptyList) {
  EXPECT_TRUE(ReadImageArchiveBytes(WriteImageArchiveBytes({}), "empty.gfx").empty());
}

TEST(ImageArchive, OrderNumbersBeforeItemsAreIgnored) {
  ComponentWriter w;
  w.BeginResource("TImageArchiveRoot");
  w.WriteSignature();
  w.BeginComponent("TImageArchiveRoot");
  w.BeginCollection("List");
  const std::int32_t orders[] = {0, 1000, 100000};  // 8-, 16- and 32-bit order numbers
  for (std::int32_t order : orders) {
    w.BeginItem(order);
    w.WriteProperty("Name", ComponentValue::String("N" + std::to_string(order)));
    w.EndItem();
  }
  w.EndCollection();
  w.EndComponent();
  const auto items = ReadImageArchiveBytes(w.Finish(), "order.gfx");
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].Name, "N0");
  EXPECT_EQ(items[1].Name, "N1000");
  EXPECT_EQ(items[2].Name, "N100000");
}

TEST(ImageArchive, ANonEmptySecondCollectionReplacesTheFirst) {
  auto write = [](std::vector<std::string> second) {
    ComponentWriter w;
    w.BeginResource("TImageArchiveRoot");
    w.WriteSignature();
    w.BeginComponent("TImageArchiveRoot");
    for (const auto& names : {std::vector<std::string>{"A", "B"}, second}) {
      w.BeginCollection("List");
      for (const auto& name : names) {
        w.BeginItem();
        w.WriteProperty("Name", ComponentValue::String(name));
        w.EndItem();
      }
      w.EndCollection();
    }
    w.EndComponent();
    return w.Finish();
  };
  EXPECT_EQ(ReadImageArchiveBytes(write({"C"}), "x").size(), 1u);
  EXPECT_EQ(ReadImageArchiveBytes(write({}), "x").size(), 2u);
}

TEST(ImageArchive, DefaultsOfAnItemWithNoProperties) {
  const auto items = ReadImageArchiveBytes(ArchiveWithItem([](ComponentWriter&) {}), "x.gfx");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0], ImageItemData{});
  EXPECT_TRUE(items[0].Transparent);
}

TEST(ImageArchive, IntegersFromAnyIntegerTag) {
  const auto bytes = ArchiveWithItem([](ComponentWriter& w) {
    w.WriteShortString("PatternWidth");
    w.WriteU8(0x04);
    w.WriteU32(7);  // 32-bit tag for a small value
    w.WriteShortString("PatternHeight");
    w.WriteU8(0x03);
    w.WriteU16(static_cast<std::uint16_t>(-2));
  });
  const auto items = ReadImageArchiveBytes(bytes, "x.gfx");
  EXPECT_EQ(items[0].PatternWidth, 7);
  EXPECT_EQ(items[0].PatternHeight, -2);
}

// ---------------------------------------------------------------------------------------------
// Colours

struct ColorCase {
  ComponentValue Value;
  std::uint32_t Expected;
};

TEST(ImageArchive, TransparentColorFromIntegersAndIdentifiers) {
  const ColorCase cases[] = {
      {ComponentValue::Integer(0x00FF00FF), 0x00FF00FF},
      {ComponentValue::Identifier("clBtnFace"), 0x00C0C0C0},
      {ComponentValue::Identifier("clbtnface"), 0x00C0C0C0},
      {ComponentValue::Identifier("clRed"), 0x000000FF},
      {ComponentValue::Identifier("clBlue"), 0x00FF0000},
      {ComponentValue::Identifier("clFuchsia"), 0x00FF00FF},
      {ComponentValue::Identifier("clWindow"), 0x00FFFFFF},
      {ComponentValue::Identifier("clInfoBk"), 0x00E1FFFF},
      {ComponentValue::Integer(static_cast<std::int32_t>(0x8000000Fu)), 0x00C0C0C0},  // clBtnFace
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Value.Text);
    const auto bytes =
        ArchiveWithItem([&](ComponentWriter& w) { w.WriteProperty("TransparentColor", c.Value); });
    EXPECT_EQ(ReadImageArchiveBytes(bytes, "x.gfx")[0].TransparentColor, c.Expected);
  }
}

TEST(ImageArchive, UnknownColorIdentifierIsNamed) {
  const auto bytes = ArchiveWithItem([](ComponentWriter& w) {
    w.WriteProperty("TransparentColor", ComponentValue::Identifier("clPuce"));
  });
  EXPECT_EQ(ErrorOf(bytes),
            "Res1.gfx: Error reading TImageItem.TransparentColor: Invalid property value (unknown "
            "colour clPuce)");
}

// ---------------------------------------------------------------------------------------------
// Error messages

TEST(ImageArchive, ErrorMessages) {
  const auto valid = WriteImageArchiveBytes({Item("A", Gradient(2, 2))});
  auto changed = [&](std::size_t offset, std::uint8_t value) {
    auto bytes = valid;
    bytes[offset] = value;
    return bytes;
  };
  EXPECT_EQ(ErrorOf(changed(0, 0xFE), "Data/Res/Res1.gfx"),
            "Data/Res/Res1.gfx: Invalid stream format");
  EXPECT_EQ(ErrorOf(changed(1, 11)), "Res1.gfx: Invalid stream format");
  EXPECT_EQ(ErrorOf(changed(27, 'X')), "Res1.gfx: Invalid stream format");  // "TPF0"
  EXPECT_EQ(ErrorOf(changed(32, 'X')), "Res1.gfx: Class XImageArchiveRoot not found");
  EXPECT_EQ(ErrorOf(std::vector<std::uint8_t>{}), "Res1.gfx: Invalid stream format");

  const auto unknown = ArchiveWithItem(
      [](ComponentWriter& w) { w.WriteProperty("Colour", ComponentValue::Integer(1)); });
  EXPECT_EQ(ErrorOf(unknown),
            "Res1.gfx: Error reading TImageItem.Colour: Property Colour does not exist");

  const auto wrongType = ArchiveWithItem(
      [](ComponentWriter& w) { w.WriteProperty("Name", ComponentValue::Integer(1)); });
  EXPECT_EQ(ErrorOf(wrongType), "Res1.gfx: Error reading TImageItem.Name: Invalid property value");

  const std::vector<std::uint8_t> badHeader = {41, 0, 0, 0};
  const auto badDib = ArchiveWithItem([&](ComponentWriter& w) {
    w.WriteProperty("Picture.Data", ComponentValue::Binary(PictureData("TBitmapData", badHeader)));
  });
  EXPECT_EQ(ErrorOf(badDib),
            "Res1.gfx: Error reading TImageItem.Picture.Data: DIB is invalid (header size 41)");
}

TEST(ImageArchive, UnknownRootPropertyAndChildComponent) {
  ComponentWriter w;
  w.BeginResource("TImageArchiveRoot");
  w.WriteSignature();
  w.BeginComponent("TImageArchiveRoot");
  w.WriteProperty("Display", ComponentValue::Identifier("MDisplay"));
  w.EndComponent();
  EXPECT_EQ(ErrorOf(w.Finish()),
            "Res1.gfx: Error reading TImageArchiveRoot.Display: Property Display does not exist");

  ComponentWriter c;
  c.BeginResource("TImageArchiveRoot");
  c.WriteSignature();
  c.BeginComponent("TImageArchiveRoot");
  c.WriteU8(0);  // end of properties
  c.BeginComponent("TImageList", "Child");
  c.EndComponent();
  c.WriteU8(0);
  EXPECT_EQ(ErrorOf(c.Finish()), "Res1.gfx: Class TImageList not found");
}

TEST(ImageArchive, ColorTableMustHold1024Bytes) {
  ComponentWriter w;
  w.BeginResource("TImageArchiveRoot");
  w.WriteSignature();
  w.BeginComponent("TImageArchiveRoot");
  w.WriteProperty("List.ColorTable", ComponentValue::Binary(std::vector<std::uint8_t>(1000)));
  w.EndComponent();
  EXPECT_THAT(ErrorOf(w.Finish()),
              StartsWith("Res1.gfx: Error reading TImageArchiveRoot.List.ColorTable: "));
}

TEST(ImageArchive, UnknownPictureClassLeavesThePictureEmpty) {
  const std::vector<std::uint8_t> data = {1, 2, 3};
  for (const auto& payload : {PictureData("TIcon", data), PictureData("TMetafile", data),
                              std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{40, 'T'}}) {
    const auto bytes = ArchiveWithItem([&](ComponentWriter& w) {
      w.WriteProperty("Name", ComponentValue::String("Odd"));
      w.WriteProperty("Picture.Data", ComponentValue::Binary(payload));
    });
    const auto items = ReadImageArchiveBytes(bytes, "x.gfx");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_TRUE(items[0].Image.IsEmpty());
  }
}

TEST(ImageArchive, EmptyBitmapDataIsAnEmptyPicture) {
  const auto bytes = ArchiveWithItem([&](ComponentWriter& w) {
    w.WriteProperty("Picture.Data", ComponentValue::Binary(PictureData("TBitmapData", {})));
  });
  EXPECT_TRUE(ReadImageArchiveBytes(bytes, "x.gfx")[0].Image.IsEmpty());
}

TEST(ImageArchive, EveryTruncationFailsCleanly) {
  const auto valid = WriteImageArchiveBytes({Item("A", Gradient(3, 2)), Item("B", Picture{})});
  ASSERT_EQ(ReadImageArchiveBytes(valid, "t.gfx").size(), 2u);
  for (std::size_t length = 0; length < valid.size(); ++length) {
    SCOPED_TRACE(length);
    const std::vector<std::uint8_t> cut(valid.begin(),
                                        valid.begin() + static_cast<std::ptrdiff_t>(length));
    try {
      ReadImageArchiveBytes(cut, "t.gfx");
      ADD_FAILURE() << "no error";
    } catch (const ArchiveError& e) {
      EXPECT_THAT(e.what(), StartsWith("t.gfx: "));
    }
  }
}

}  // namespace
}  // namespace rivoltra
