// Host pixel access: buffer layout, counted references and the offsets of
// rectangle writes, on the real host's buffer and channel-port suites.
#include <gtest/gtest.h>

#include "host/Errors.h"
#include "host/HostDocument.h"
#include "host/Rect.h"
#include "support/AppTestSupport.h"

namespace veyra {
namespace {

using app::ColorMode;
using app::PortAccess;
using test::HostedDocument;
using test::makeDocument;

// A host whose filter record is ready for pixel access.
struct PixelHost {
  explicit PixelHost(ColorMode mode, int width = 20, int height = 20)
      : d(makeDocument(mode, width, height)), module(test::inProcessPlugin()) {
    EXPECT_EQ(d.host.call(module, filterSelectorParameters), 0);
  }
  FilterRecord* record() { return &d.host.filterRecord(); }
  HostedDocument d;
  app::PluginModule module;
};

TEST(HostBufferTest, ThreePlanesTakeFourInterleavedSlots) {
  PixelHost h(ColorMode::RGB);
  HostDocument doc(h.record());
  HostBufferRef b = doc.makeBuffer(10, 10, 3, 1, plugInModeRGBColor);
  EXPECT_EQ(b->slots(), 4);
  EXPECT_EQ(b->bytesPerPixel(), 4);
  EXPECT_EQ(b->rowBytes(), 40);
  EXPECT_EQ(b->byteSize(), 400u);
  EXPECT_EQ(b->planes()[2].memory.data, b->data() + 2);
  EXPECT_EQ(b->planes()[2].memory.rowBits, 320);
  EXPECT_EQ(b->planes()[2].memory.colBits, 32);
  EXPECT_EQ(b->planes()[2].memory.depth, 8);
  EXPECT_EQ(b->imageMode(), plugInModeRGBColor);
}

TEST(HostBufferTest, OnePlaneHasByteColumnsAndWidthRows) {
  PixelHost h(ColorMode::Gray);
  HostDocument doc(h.record());
  HostBufferRef b = doc.makeBuffer(7, 3, 1, 1, plugInModeGrayScale);
  ASSERT_EQ(b->planes().size(), 1u);
  EXPECT_EQ(b->planes()[0].memory.colBits, 8);
  EXPECT_EQ(b->planes()[0].memory.rowBits, 56);
  EXPECT_EQ(b->planes()[0].memory.bitOffset, 0);
}

TEST(HostBufferTest, LastReferenceDisposesExactlyOnce) {
  PixelHost h(ColorMode::RGB);
  HostDocument doc(h.record());
  const long disposedBefore = h.d.host.calls().bufferDisposals;
  {
    HostBufferRef a = doc.makeBuffer(4, 4, 1, 1, plugInModeGrayScale);
    {
      HostBufferRef b = a;
      EXPECT_EQ(a->referenceCount(), 2);
    }
    EXPECT_EQ(a->referenceCount(), 1);
    EXPECT_EQ(h.d.host.calls().bufferDisposals, disposedBefore);
    HostBufferRef c;
    c = a;
    c = a;  // the same buffer again: no drop
    EXPECT_EQ(a->referenceCount(), 2);
  }
  EXPECT_EQ(h.d.host.calls().bufferDisposals, disposedBefore + 1);
}

TEST(HostBufferTest, AssigningAnotherBufferDropsTheOldOne) {
  PixelHost h(ColorMode::RGB);
  HostDocument doc(h.record());
  const long disposedBefore = h.d.host.calls().bufferDisposals;
  HostBufferRef a = doc.makeBuffer(4, 4, 1, 1, plugInModeGrayScale);
  HostBufferRef b = doc.makeBuffer(4, 4, 1, 1, plugInModeGrayScale);
  a = b;
  EXPECT_EQ(h.d.host.calls().bufferDisposals, disposedBefore + 1);
  EXPECT_EQ(b->referenceCount(), 2);
}

TEST(HostBufferTest, HostWithoutMemoryRaisesOutOfMemory) {
  PixelHost h(ColorMode::RGB);
  HostDocument doc(h.record());
  h.d.host.faults().failBufferAllocation = h.d.host.calls().bufferAllocations + 1;
  try {
    doc.makeBuffer(4, 4, 3, 1, plugInModeRGBColor);
    FAIL() << "expected a result-code failure";
  } catch (const HostResultError& e) {
    EXPECT_EQ(e.code(), memFullErr);
  }
}

TEST(HostBufferTest, ImpossibleSizesAreOutOfMemoryBeforeAnyRequest) {
  PixelHost h(ColorMode::RGB);
  HostDocument doc(h.record());
  const long before = h.d.host.calls().bufferAllocations;
  EXPECT_THROW(doc.makeBuffer(70000, 70000, 3, 1, plugInModeRGBColor), HostResultError);
  EXPECT_THROW(doc.makeBuffer(-5, 10, 1, 1, plugInModeGrayScale), HostResultError);
  EXPECT_EQ(h.d.host.calls().bufferAllocations, before);
}

TEST(HostBufferTest, MakeLikeKeepsLayoutAndCopyFromCopiesTheData) {
  PixelHost h(ColorMode::CMYK);
  HostDocument doc(h.record());
  HostBufferRef a = doc.makeBuffer(5, 3, 4, 1, plugInModeCMYKColor);
  for (size_t i = 0; i < a->byteSize(); ++i) a->data()[i] = static_cast<uint8_t>(i * 7);
  HostBufferRef b = a.makeLike(5, 3);
  EXPECT_EQ(b->slots(), 4);
  EXPECT_EQ(b->imageMode(), plugInModeCMYKColor);
  b->copyFrom(*a);
  for (size_t i = 0; i < a->byteSize(); ++i) ASSERT_EQ(b->data()[i], a->data()[i]);
  b->clear();
  for (size_t i = 0; i < b->byteSize(); ++i) ASSERT_EQ(b->data()[i], 0);
}

TEST(HostDocumentTest, ReadThenWriteWithOffsetMovesTheRightPixels) {
  PixelHost h(ColorMode::RGB, 20, 20);
  HostDocument doc(h.record());
  EXPECT_EQ(doc.channelCount(), 3);
  HostBufferRef b = doc.makeBuffer(10, 10, 3, 1, plugInModeRGBColor);
  doc.readRect(*b, VRect{0, 0, 10, 10});
  EXPECT_EQ(b->planes()[0].channelType, ctRed);
  EXPECT_EQ(b->planes()[2].channelType, ctBlue);
  // Pixel (row 3, column 5) of the buffer sits at byte 3 x 40 + 5 x 4 = 140.
  EXPECT_EQ(b->data()[140], h.d.doc.at(0, 5, 3));
  EXPECT_EQ(b->data()[141], h.d.doc.at(1, 5, 3));
  b->data()[140] = static_cast<uint8_t>(h.d.doc.at(0, 5, 3) ^ 0xFF);
  doc.writeRect(*b, VRect{12, 12, 13, 13}, 3, 5);
  EXPECT_EQ(h.d.doc.at(0, 12, 12), b->data()[140]);
  EXPECT_EQ(h.d.doc.at(1, 12, 12), b->data()[141]);
}

TEST(HostDocumentTest, RectanglesComeFromTheFilterRecord) {
  PixelHost h(ColorMode::Gray, 30, 20);
  HostDocument doc(h.record());
  EXPECT_EQ(doc.imageRect(), (VRect{0, 0, 20, 30}));
  EXPECT_EQ(doc.filterRect(), (VRect{0, 0, 20, 30}));
}

TEST(HostDocumentTest, ScaledReadClearsAMismatchedBufferFirst) {
  PixelHost h(ColorMode::Gray, 8, 8);
  HostDocument doc(h.record());
  HostBufferRef b = doc.makeBuffer(VRect{0, 0, 6, 6}, 1, 1, plugInModeGrayScale);
  for (size_t i = 0; i < b->byteSize(); ++i) b->data()[i] = 0xAB;
  doc.readScaled(*b, VRect{0, 0, 8, 8}, VRect{0, 0, 4, 4});
  // The 4 x 4 result fills the top-left; the rest was cleared.
  EXPECT_EQ(b->data()[5], 0);
  EXPECT_EQ(b->data()[6 * 5 + 5], 0);
  auto scaled = h.d.host.calls().rects(PortAccess::ReadScaled, 0);
  ASSERT_EQ(scaled.size(), 1u);
}

}  // namespace
}  // namespace veyra
