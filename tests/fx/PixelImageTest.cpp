#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "fx/ImageScaler.h"
#include "fx/PixelImage.h"

namespace {

using fx::PixelImage;

TEST(PixelImage, NullDataAndZeroWidthAllocatesNothing) {
  PixelImage img(0, 5, 4, 1, 0, nullptr);
  EXPECT_TRUE(img.ownsData);
  EXPECT_EQ(img.data, nullptr);
  EXPECT_EQ(img.rowBytes, 0);
  EXPECT_EQ(img.bytesPerPixel, 4);
}

TEST(PixelImage, FullConstructorSetsEveryField) {
  PixelImage img(7, 3, 4, 2, 0, nullptr);
  EXPECT_EQ(img.reserved, 0);
  EXPECT_EQ(img.width, 7);
  EXPECT_EQ(img.height, 3);
  EXPECT_EQ(img.bytesPerPixel, 8);
  EXPECT_EQ(img.rowBytes, 56);
  EXPECT_TRUE(img.hasAlpha);
  EXPECT_TRUE(img.ownsData);
  ASSERT_NE(img.data, nullptr);
  EXPECT_EQ(img.bounds.top, 0);
  EXPECT_EQ(img.bounds.left, 0);
  EXPECT_EQ(img.bounds.bottom, 3);
  EXPECT_EQ(img.bounds.right, 7);
  std::memset(img.data, 0xAB, size_t(img.rowBytes) * img.height);  // the whole block is ours
  EXPECT_EQ(img.pixel(6, 2)[7], 0xAB);
}

TEST(PixelImage, LargerRowBytesAreKept) {
  std::vector<uint8_t> mem(100);
  PixelImage img(5, 2, 3, 1, 40, mem.data());
  EXPECT_EQ(img.rowBytes, 40);
  EXPECT_EQ(img.bytesPerPixel, 3);
  EXPECT_FALSE(img.ownsData);
  EXPECT_EQ(img.data, mem.data());
  EXPECT_EQ(img.pixel(2, 1), mem.data() + 46);
}

TEST(PixelImage, AlphaFollowsChannelCount) {
  const bool expected[] = {false, false, true, false, true};
  for (int ch = 1; ch <= 4; ++ch) {
    PixelImage img(1, 1, ch, 1);
    EXPECT_EQ(img.hasAlpha, expected[ch]) << ch;
  }
}

TEST(PixelImage, ReinitialisationBorrowsAndNeverFreesBorrowedMemory) {
  std::vector<uint8_t> host(64, 7);
  {
    PixelImage img(4, 4, 1, 1);  // owning
    uint8_t* own = img.data;
    img.init(8, 2, 4, 1, 32, host.data());
    EXPECT_EQ(img.data, host.data());
    EXPECT_FALSE(img.ownsData);
    EXPECT_EQ(img.bounds.right, 8);
    // Null data only marks the record owning and keeps the pointer; the record still frees only
    // what it allocated itself (ASan would report a bad free of host memory otherwise).
    img.init(8, 2, 4, 1, 32, nullptr);
    EXPECT_TRUE(img.ownsData);
    EXPECT_EQ(img.data, host.data());
    EXPECT_NE(own, host.data());
  }
  EXPECT_EQ(host[0], 7);
}

TEST(PixelImage, RejectsSizesThatOverflow) {
  EXPECT_THROW(PixelImage(1 << 30, 1, 4, 2), std::invalid_argument);
  EXPECT_THROW(PixelImage(-1, 1, 1, 1), std::invalid_argument);
  PixelImage img;
  EXPECT_THROW(img.init(2, 2, 1 << 20, 1 << 20, 0, nullptr), std::invalid_argument);
  EXPECT_EQ(img.width, 0);  // unchanged after a rejected init
}

TEST(ImageAdaptors, CopyRowsAndIgnoreTheOtherDirection) {
  std::vector<uint8_t> mem(3 * 16);
  for (size_t i = 0; i < mem.size(); ++i) mem[i] = uint8_t(i);
  PixelImage img(3, 3, 4, 1, 16, mem.data());  // 4 spare bytes per row
  fx::ImageScaler::ImageReadInterface reader(&img);
  fx::ImageScaler::ImageWriteInterface writer(&img);

  int32_t w = 0, h = 0;
  reader.getSize(w, h);
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 3);
  EXPECT_EQ(reader.channelCount(), 4);
  EXPECT_EQ(writer.bytesPerChannel(), 1);

  uint8_t row[8];
  EXPECT_EQ(reader.readRow(1, 1, 2, row), 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(row[i], 16 + 4 + i);

  const std::vector<uint8_t> before = mem;
  uint8_t junk[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  EXPECT_EQ(reader.writeRow(0, 0, 2, junk), 0);
  EXPECT_EQ(mem, before);
  uint8_t untouched[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(writer.readRow(0, 0, 2, untouched), 0);
  EXPECT_EQ(untouched[0], 1);
  EXPECT_EQ(untouched[7], 8);

  EXPECT_EQ(writer.writeRow(2, 0, 2, junk), 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(mem[32 + i], 9);
  EXPECT_EQ(mem[40], 40);  // the third pixel and the spare bytes are untouched
  EXPECT_EQ(mem[47], 47);
}

}  // namespace
