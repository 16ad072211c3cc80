// Rectangle overlap: several rectangles, each with an offset, brought to the
// area they share.
#include <gtest/gtest.h>

#include "host/Rect.h"

namespace veyra {
namespace {

TEST(RectOverlapTest, SecondRectangleMovedIntoTheFirst) {
  VRect a = makeRect(0, 0, 10, 10);
  VRect b = makeRect(0, 0, 4, 4);
  OverlapRect rects[2] = {{&a, 0, 0}, {&b, 5, 5}};
  overlapRects(rects, 2);
  EXPECT_EQ(b, makeRect(0, 0, 4, 4));
  EXPECT_EQ(a, makeRect(5, 5, 9, 9));
}

TEST(RectOverlapTest, PartialOverlapKeepsTheInnerSides) {
  VRect canvas = makeRect(0, 0, 100, 100);
  VRect shape = makeRect(0, 0, 50, 80);
  // Shape placed with its top-left at (x -20, y 70) on the canvas.
  OverlapRect rects[2] = {{&canvas, 0, 0}, {&shape, -20, 70}};
  overlapRects(rects, 2);
  EXPECT_EQ(canvas, makeRect(70, 0, 100, 60));
  EXPECT_EQ(shape, makeRect(0, 20, 30, 80));
}

TEST(RectOverlapTest, DisjointRectanglesBothBecomeEmpty) {
  VRect a = makeRect(0, 0, 10, 10);
  VRect b = makeRect(0, 0, 10, 10);
  OverlapRect rects[2] = {{&a, 0, 0}, {&b, 100, 0}};
  overlapRects(rects, 2);
  EXPECT_TRUE(rectIsEmpty(a));
  EXPECT_TRUE(rectIsEmpty(b));
}

TEST(RectOverlapTest, ThreeRectanglesShareOneArea) {
  VRect a = makeRect(0, 0, 10, 10);
  VRect b = makeRect(2, 2, 20, 20);
  VRect c = makeRect(0, 0, 5, 5);
  OverlapRect rects[3] = {{&a, 0, 0}, {&b, 0, 0}, {&c, 1, 1}};
  overlapRects(rects, 3);
  EXPECT_EQ(a, makeRect(2, 2, 6, 6));
  EXPECT_EQ(b, makeRect(2, 2, 6, 6));
  EXPECT_EQ(c, makeRect(1, 1, 5, 5));
}

}  // namespace
}  // namespace veyra
