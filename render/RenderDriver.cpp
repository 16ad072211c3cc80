#include "render/RenderDriver.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/HostDocument.h"
#include "render/LightRenderer.h"

namespace veyra {

namespace {

// Copies rows [from, from + count) of one buffer to rows [to, to + count) of
// another of the same row layout.
void copyRows(const HostBuffer& source, int32_t from, HostBuffer& target, int32_t to, int32_t count) {
  if (count <= 0) return;
  std::memcpy(target.row(to), source.row(from),
              static_cast<size_t>(count) * static_cast<size_t>(source.rowBytes()));
}

int32_t ceilBlur(double blur, int32_t limit) {
  if (!(blur > 0)) return 0;  // negative and NaN blurs have no margin
  double c = std::ceil(blur);
  return c >= limit ? limit : static_cast<int32_t>(c);
}
}  // namespace

int32_t bandMargin(double lightBlur, double matteBlur, int32_t limit) {
  limit = std::max(limit, 0);
  return std::max(ceilBlur(lightBlur, limit), ceilBlur(matteBlur, limit));
}

void renderDocument(FilterCall& call) {
  FilterRecord* record = call.record();
  const LightParameters& params = *call.parameters();
  HostDocument document(record);
  LightRenderer renderer(document, *call.parameters(), false);

  const VRect f = document.filterRect();
  const int32_t w = record->imageSize.h;
  const int32_t h = record->imageSize.v;
  const int32_t m = bandMargin(params.lightBlur, params.matteBlur, std::max(w, h));
  const int32_t bandWidth = std::min(2 * m + (f.right - f.left), w);
  const int32_t bands = std::max(0, (f.bottom - f.top + kBandHeight - 1) / kBandHeight);

  // The band buffer holds the largest read rectangle: each margin only as
  // deep as can be read on its side (above up to the image's top, left up to
  // its left edge, below up to the filter rectangle's bottom, nothing to the
  // right, where the band ends at the rectangle's right edge).
  const int32_t lastTop = f.top + kBandHeight * std::max(bands - 1, 0);
  const int32_t above = std::min(m, lastTop);
  const int32_t below = std::min(m, std::max(0, f.bottom - f.top - kBandHeight));
  const int32_t bandRows = std::min(kBandHeight, std::max(0, f.bottom - f.top)) + above + below;
  const int32_t bandColumns = (f.right - f.left) + std::min(m, f.left);
  HostBufferRef band = document.makeBuffer(makeRect(0, 0, bandRows, bandColumns), document.channelCount(),
                                           record->depth / 8, document.pixelMode());
  // The rows above a band were lit when the bands before it were written
  // back, so a read returns them lit. Every band keeps the untouched rows the
  // next band's upper margin needs (up to m rows, which may span several
  // bands) and puts them back over its own upper margin after the read: each
  // band then sees only original pixels, as one band over the whole
  // rectangle would.
  HostBufferRef kept;
  if (above > 0 && bands > 1) kept = band.makeLike(bandColumns, above);
  int32_t keptTop = 0, keptRows = 0;  // the document rows `kept` holds
  renderer.prepareForSize(w, h);

  for (int32_t b = 0; b < bands; ++b) {
    VRect t;
    t.top = f.top + kBandHeight * b;
    t.left = f.left;
    t.bottom = std::min(t.top + kBandHeight, f.bottom);
    t.right = std::min(f.left + bandWidth, f.right);

    // The margin reaches outside the filter rectangle above and to the left,
    // up to the image edge, but never below or to its right.
    VRect r;
    r.top = std::max(t.top - m, 0);
    r.left = std::max(t.left - m, 0);
    r.bottom = std::min(t.bottom + m, f.bottom);
    r.right = std::min(t.right + m, f.right);

    document.readRect(*band, r);
    if (kept) {
      // Restore the original rows of this band's upper margin (all of them
      // lie in what the band before kept: r.top >= keptTop).
      const int32_t restored = std::min(t.top, keptTop + keptRows) - r.top;
      copyRows(*kept, r.top - keptTop, *band, 0, restored);
      // Keep what the next band's upper margin will need (at most `above`
      // rows: the next band starts no lower than the last one).
      if (b + 1 < bands) {
        keptTop = std::max(t.bottom - m, r.top);
        keptRows = t.bottom - keptTop;
        copyRows(*band, keptTop - r.top, *kept, 0, keptRows);
      }
    }
    renderer.renderTile(*band, r);
    document.writeRect(*band, t, t.top - r.top, t.left - r.left);

    if (record->progressProc != nullptr) record->progressProc(b + 1, bands);
    if (record->abortProc != nullptr && record->abortProc()) {
      call.setResult(userCanceledErr);
      break;
    }
  }
}

}  // namespace veyra
