#include "gimp/DrawableDocument.h"

#include <libgimp/gimp.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace veyra::gimp {

namespace {

struct BufferUnref {
  void operator()(GeglBuffer* b) const { g_object_unref(b); }
};
using BufferPtr = std::unique_ptr<GeglBuffer, BufferUnref>;

// How the drawable's pixels are exchanged with the filter.
struct PixelLayout {
  int colors = 0;       // 1 gray, 3 RGB
  bool alpha = false;
  bool native = false;  // 8 bits per sample in the drawable itself
  const Babl* bytes = nullptr;   // 8-bit exchange format
  const Babl* floats = nullptr;  // the same components as floats (higher precisions)
};

PixelLayout layoutOf(gint32 drawable) {
  const Babl* format = gimp_drawable_get_format(drawable);
  if (format == nullptr || babl_format_is_palette(format)) throw std::runtime_error("indexed drawables cannot be filtered");
  PixelLayout l;
  l.alpha = babl_format_has_alpha(format) != 0;
  const int components = babl_format_get_n_components(format);
  l.colors = components - (l.alpha ? 1 : 0);
  if (l.colors != 1 && l.colors != 3)
    throw std::runtime_error("drawables with " + std::to_string(components) + " components cannot be filtered");
  l.native = babl_format_get_type(format, 0) == babl_type("u8");
  const bool gray = l.colors == 1;
  // Higher precisions go through the perceptual (gamma) encoding, as 8-bit
  // images hold their pixels, in the drawable's own colour space.
  const char* const perceptual8 = gray ? (l.alpha ? "Y'A u8" : "Y' u8") : (l.alpha ? "R'G'B'A u8" : "R'G'B' u8");
  const char* const perceptualF =
      gray ? (l.alpha ? "Y'A float" : "Y' float") : (l.alpha ? "R'G'B'A float" : "R'G'B' float");
  l.bytes = l.native ? format : babl_format_with_space(perceptual8, format);
  l.floats = babl_format_with_space(perceptualF, format);
  return l;
}

}  // namespace

std::optional<VRect> filterArea(gint32 drawable) {
  gint x = 0, y = 0, w = 0, h = 0;
  if (!gimp_drawable_mask_intersect(drawable, &x, &y, &w, &h) || w <= 0 || h <= 0) return std::nullopt;
  return VRect{y, x, y + h, x + w};
}

app::Document readDrawable(gint32 drawable) {
  const PixelLayout l = layoutOf(drawable);
  const int width = gimp_drawable_width(drawable);
  const int height = gimp_drawable_height(drawable);
  if (width > app::kMaxDocumentSide || height > app::kMaxDocumentSide)
    throw std::runtime_error("the drawable is " + std::to_string(width) + " x " + std::to_string(height) +
                             " pixels; the filter takes at most " + std::to_string(app::kMaxDocumentSide) +
                             " on a side");
  app::Document doc(width, height, l.colors == 1 ? app::ColorMode::Gray : app::ColorMode::RGB, l.alpha);
  const int stride = l.colors + (l.alpha ? 1 : 0);
  BufferPtr buffer(gimp_drawable_get_buffer(drawable));
  // Row by row, so that no interleaved copy of the whole drawable is needed.
  std::vector<guint8> row(static_cast<size_t>(width) * static_cast<size_t>(stride));
  for (int y = 0; y < height; ++y) {
    const GeglRectangle r{0, y, width, 1};
    gegl_buffer_get(buffer.get(), &r, 1.0, l.bytes, row.data(), GEGL_AUTO_ROWSTRIDE, GEGL_ABYSS_NONE);
    for (int c = 0; c < l.colors; ++c) {
      guint8* plane = doc.channel(c) + static_cast<size_t>(y) * width;
      for (int x = 0; x < width; ++x) plane[x] = row[static_cast<size_t>(x) * stride + c];
    }
    if (l.alpha) {
      guint8* plane = doc.alpha() + static_cast<size_t>(y) * width;
      for (int x = 0; x < width; ++x) plane[x] = row[static_cast<size_t>(x) * stride + l.colors];
    }
  }
  return doc;
}

bool drawableIsEightBit(gint32 drawable) { return layoutOf(drawable).native; }

void writeDrawable(gint32 drawable, const app::Document& doc, const app::Document* original, const VRect& area) {
  const PixelLayout l = layoutOf(drawable);
  if (!l.native && original == nullptr) throw std::logic_error("writeDrawable needs the original pixels");
  const int stride = l.colors + (l.alpha ? 1 : 0);
  const int w = area.right - area.left;
  BufferPtr shadow(gimp_drawable_get_shadow_buffer(drawable));
  BufferPtr source(l.native ? nullptr : gimp_drawable_get_buffer(drawable));
  std::vector<guint8> bytes(static_cast<size_t>(w) * stride);
  std::vector<float> floats(l.native ? 0 : bytes.size());
  for (int y = area.top; y < area.bottom; ++y) {
    const GeglRectangle r{area.left, y, w, 1};
    const size_t rowStart = static_cast<size_t>(y) * doc.width() + area.left;
    if (l.native) {
      for (int x = 0; x < w; ++x) {
        for (int c = 0; c < l.colors; ++c) bytes[static_cast<size_t>(x) * stride + c] = doc.channel(c)[rowStart + x];
        if (l.alpha) bytes[static_cast<size_t>(x) * stride + l.colors] = doc.alpha()[rowStart + x];
      }
      gegl_buffer_set(shadow.get(), &r, 0, l.bytes, bytes.data(), GEGL_AUTO_ROWSTRIDE);
      continue;
    }
    // Keep the full-precision sample wherever the filter left its 8-bit
    // value alone; alpha is always the original.
    gegl_buffer_get(source.get(), &r, 1.0, l.floats, floats.data(), GEGL_AUTO_ROWSTRIDE, GEGL_ABYSS_NONE);
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < l.colors; ++c) {
        const guint8 now = doc.channel(c)[rowStart + x];
        if (now != original->channel(c)[rowStart + x]) floats[static_cast<size_t>(x) * stride + c] = now / 255.0f;
      }
    gegl_buffer_set(shadow.get(), &r, 0, l.floats, floats.data(), GEGL_AUTO_ROWSTRIDE);
  }
  gegl_buffer_flush(shadow.get());
  shadow.reset();
  gimp_drawable_merge_shadow(drawable, TRUE);
  gimp_drawable_update(drawable, area.left, area.top, w, area.bottom - area.top);
}

}  // namespace veyra::gimp
