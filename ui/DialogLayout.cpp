#include "ui/DialogLayout.h"

#include <algorithm>

namespace veyra {

namespace {

ADMRect rect(int l, int t, int r, int b) { return ADMRect{l, t, r, b}; }

// The inside of a frame: inset 7 at the sides, starting 14 below its top.
struct Content {
  int left, right, top;
};
Content contentOf(const ADMRect& frame) { return Content{frame.left + 7, frame.right - 7, frame.top + 14}; }

}  // namespace

LightDialogLayout LightDialogLayout::compute(int w) {
  constexpr int m = kMargin;
  LightDialogLayout L{};
  const int leftCol = m, leftEnd = m + w;
  const int rightCol = leftEnd + m, rightEnd = rightCol + w;
  L.dialogWidth = 2 * w + 3 * m;
  L.preview = rect(leftCol, m, leftEnd, m + kPreviewHeight);

  // Zoom and view row under the preview, built from the right.
  const int h = 16;
  const int rowTop = L.preview.bottom + m, rowBottom = rowTop + h;
  L.zoomIn = rect(leftEnd - h, rowTop, leftEnd, rowBottom);
  L.zoomLabel = rect(L.zoomIn.left - 2 * h, rowTop, L.zoomIn.left, rowBottom);
  L.zoomOut = rect(L.zoomLabel.left - h, rowTop, L.zoomLabel.left, rowBottom);
  const int buttonWidth = (L.zoomOut.left - leftCol) / 4;
  for (int i = 0; i < 4; ++i)
    L.viewButtons[i] = rect(leftCol + i * buttonWidth, rowTop, leftCol + (i + 1) * buttonWidth, rowBottom);

  // Light group.
  const int lightTop = rowBottom + m;
  Content c = contentOf(rect(leftCol, lightTop, leftEnd, 0));
  const int half = (c.right - c.left) / 2;
  L.lightBlend = rect(c.left, c.top, c.left + half, c.top + 20);
  L.lightSource = rect(c.left + half, c.top, c.left + 2 * half, c.top + 20);
  int y = c.top + 20;
  for (ADMRect& r : L.lightSliders) {
    r = rect(c.left, y, c.right, y + kRowHeight);
    y += kRowHeight;
  }
  L.lightFrame = rect(leftCol, lightTop, leftEnd, y + m);

  // Colour row: a block of its own below the light frame.
  const int colorTop = L.lightFrame.bottom + m;
  L.colorLabel = rect(c.left, colorTop + 2, c.left + 50, colorTop + 18);
  L.colorSwatch = rect(L.colorLabel.right, colorTop, L.colorLabel.right + 40, colorTop + 20);
  L.eyeDropper = rect(L.colorSwatch.right + m, colorTop, L.colorSwatch.right + m + 26, colorTop + 20);

  // Button row at the top of the right column, flush right.
  L.ok = rect(rightEnd - 100, m, rightEnd, m + 26);
  L.cancel = rect(L.ok.left - m - 100, m, L.ok.left - m, m + 26);
  L.reset = rect(L.cancel.left - 2 * m - 100, m, L.cancel.left - 2 * m, m + 26);

  // Matte group.
  const int matteTop = L.ok.bottom + m;
  c = contentOf(rect(rightCol, matteTop, rightEnd, 0));
  L.matteChannel = rect(c.left, c.top, c.left + (c.right - c.left) / 2, c.top + 20);
  y = c.top + 20;
  for (ADMRect& r : L.matteSliders) {
    r = rect(c.left, y, c.right, y + kRowHeight);
    y += kRowHeight;
  }
  L.matteFrame = rect(rightCol, matteTop, rightEnd, y + m);

  // Shape group: the file row, the blend popup, eight slider rows.
  const int shapeTop = L.matteFrame.bottom + m;
  c = contentOf(rect(rightCol, shapeTop, rightEnd, 0));
  L.selectButton = rect(c.right - 66, c.top, c.right, c.top + 26);
  L.shapeFileLabel = rect(c.left, c.top + (26 - 16) / 2, L.selectButton.left - m, L.selectButton.bottom);
  L.shapeBlend =
      rect(c.left, L.selectButton.bottom, c.left + (c.right - c.left) / 2, L.selectButton.bottom + 20);
  y = L.shapeBlend.bottom;
  for (ADMRect& r : L.shapeSliders) {
    r = rect(c.left, y, c.right, y + kRowHeight);
    y += kRowHeight;
  }
  L.shapeFrame = rect(rightCol, shapeTop, rightEnd, y + m);

  L.dialogHeight = std::max(L.lightFrame.bottom, L.shapeFrame.bottom) + m;
  return L;
}

}  // namespace veyra
