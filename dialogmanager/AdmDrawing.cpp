// The drawer suite (drawing with FLTK or into a record), the icon suite
// (bitmaps from a module's resource table) and the pixel display service.
#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cstring>
#include <limits>

#include "dialogmanager/AdmModel.h"

namespace veyra::dialogmanager {

namespace {

void setFlColor(const ADMDrawer& d) { fl_color(d.color.red >> 8, d.color.green >> 8, d.color.blue >> 8); }

void record(ADMDrawer& d, DrawOp op) {
  op.color = d.color;
  if (d.record) d.record->push_back(std::move(op));
}

ADMPortRef drawerGetPortRef(ADMDrawerRef d) { return d; }
void drawerGetBoundsRect(ADMDrawerRef d, ADMRect* r) { if (d && r) *r = d->bounds; }
void drawerSetADMColor(ADMDrawerRef d, ADMColor c) { if (d) d->color = standardColor(c); }
void drawerSetRGBColor(ADMDrawerRef d, const ADMRGBColor* c) { if (d && c) d->color = *c; }
void drawerGetRGBColor(ADMDrawerRef d, ADMRGBColor* c) { if (d && c) *c = d->color; }

void drawerFrameRect(ADMDrawerRef d, const ADMRect* r) {
  if (!d || !r) return;
  if (d->mode == ADMDrawer::Mode::Record) return record(*d, DrawOp{DrawOp::FrameRect, {}, *r, {}, {}, {}});
  int w = r->right - r->left, h = r->bottom - r->top;
  if (w <= 0 || h <= 0) return;
  setFlColor(*d);
  fl_rect(d->originX + r->left, d->originY + r->top, w, h);
}

void drawerFillRect(ADMDrawerRef d, const ADMRect* r) {
  if (!d || !r) return;
  if (d->mode == ADMDrawer::Mode::Record) return record(*d, DrawOp{DrawOp::FillRect, {}, *r, {}, {}, {}});
  int w = r->right - r->left, h = r->bottom - r->top;
  if (w <= 0 || h <= 0) return;
  setFlColor(*d);
  fl_rectf(d->originX + r->left, d->originY + r->top, w, h);
}

void drawerDrawLine(ADMDrawerRef d, const ADMPoint* a, const ADMPoint* b) {
  if (!d || !a || !b) return;
  if (d->mode == ADMDrawer::Mode::Record)
    return record(*d, DrawOp{DrawOp::Line, {}, {}, {*a, *b}, {}, {}});
  setFlColor(*d);
  fl_line(d->originX + a->h, d->originY + a->v, d->originX + b->h, d->originY + b->v);
}

void drawerFramePolygon(ADMDrawerRef d, const ADMPoint* p, int32 n) {
  if (!d || !p || n <= 0) return;
  if (d->mode == ADMDrawer::Mode::Record)
    return record(*d, DrawOp{DrawOp::FramePolygon, {}, {}, std::vector<ADMPoint>(p, p + n), {}, {}});
  setFlColor(*d);
  for (int32 i = 0; i + 1 < n; ++i)
    fl_line(d->originX + p[i].h, d->originY + p[i].v, d->originX + p[i + 1].h, d->originY + p[i + 1].v);
}

void drawerFillPolygon(ADMDrawerRef d, const ADMPoint* p, int32 n) {
  if (!d || !p || n <= 0) return;
  if (d->mode == ADMDrawer::Mode::Record)
    return record(*d, DrawOp{DrawOp::FillPolygon, {}, {}, std::vector<ADMPoint>(p, p + n), {}, {}});
  setFlColor(*d);
  fl_begin_complex_polygon();
  for (int32 i = 0; i < n; ++i) fl_vertex(d->originX + p[i].h, d->originY + p[i].v);
  fl_end_complex_polygon();
}

void drawerDrawText(ADMDrawerRef d, const char* text, const ADMPoint* p) {
  if (!d || !text || !p) return;
  if (d->mode == ADMDrawer::Mode::Record)
    return record(*d, DrawOp{DrawOp::Text, {}, {p->h, p->v, p->h, p->v}, {}, text, {}});
  setFlColor(*d);
  fl_font(FL_HELVETICA, 12);
  fl_draw(text, d->originX + p->h, d->originY + p->v);
}

void drawRGB(ADMDrawer& d, const unsigned char* rgb, int x, int y, int w, int h, DrawOp::Kind kind) {
  if (w <= 0 || h <= 0) return;
  if (d.mode == ADMDrawer::Mode::Record) {
    DrawOp op{kind, {}, ADMRect{x, y, x + w, y + h}, {}, {}, {}};
    op.rgb.assign(rgb, rgb + static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    return record(d, std::move(op));
  }
  fl_draw_image(rgb, d.originX + x, d.originY + y, w, h, 3);
}

void drawerDrawIcon(ADMDrawerRef d, ADMIconRef icon, const ADMPoint* p) {
  if (!d || !icon || !p) return;
  drawRGB(*d, icon->rgb.data(), p->h, p->v, icon->width, icon->height, DrawOp::Icon);
}

void drawerDrawIconCentered(ADMDrawerRef d, ADMIconRef icon, const ADMRect* r) {
  if (!d || !icon || !r) return;
  int x = r->left + ((r->right - r->left) - icon->width) / 2;
  int y = r->top + ((r->bottom - r->top) - icon->height) / 2;
  drawRGB(*d, icon->rgb.data(), x, y, icon->width, icon->height, DrawOp::Icon);
}

const ADMDrawerSuite3 kDrawer = {drawerGetPortRef,   drawerGetBoundsRect, drawerSetADMColor,
                                 drawerSetRGBColor,  drawerGetRGBColor,   drawerFrameRect,
                                 drawerFillRect,     drawerDrawLine,      drawerFramePolygon,
                                 drawerFillPolygon,  drawerDrawText,      drawerDrawIcon,
                                 drawerDrawIconCentered};

// ---- icons ------------------------------------------------------------------------

unsigned readU16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t readU32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

// Decodes the bytes of a bitmap resource: a BITMAPINFOHEADER, a colour table
// for 1, 4 and 8 bits per pixel, then rows padded to 4 bytes, bottom-up (or
// top-down for a negative height). 24-bit rows are BGR, 32-bit BGRx.
bool decodeDib(const unsigned char* data, std::size_t size, int32& width, int32& height,
               std::vector<unsigned char>& rgb) {
  if (!data || size < 40) return false;
  uint32_t headerSize = readU32(data);
  if (headerSize < 40 || headerSize > size) return false;
  int32_t w = static_cast<int32_t>(readU32(data + 4));
  int32_t h = static_cast<int32_t>(readU32(data + 8));
  unsigned bits = readU16(data + 14);
  uint32_t compression = readU32(data + 16);
  uint32_t colorsUsed = readU32(data + 32);
  if (compression != 0 || w <= 0 || h == 0 || h == std::numeric_limits<int32_t>::min()) return false;
  bool topDown = h < 0;
  if (topDown) h = -h;
  if (w > 16384 || h > 16384) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  std::size_t paletteCount = bits <= 8 ? (colorsUsed ? colorsUsed : (1u << bits)) : 0;
  if (paletteCount > 256) return false;
  std::size_t paletteOffset = headerSize;
  std::size_t pixelOffset = paletteOffset + paletteCount * 4;
  std::size_t rowBytes = ((static_cast<std::size_t>(w) * bits + 31) / 32) * 4;
  if (pixelOffset > size || rowBytes * static_cast<std::size_t>(h) > size - pixelOffset) return false;
  rgb.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3, 0);
  for (int32_t y = 0; y < h; ++y) {
    const unsigned char* row = data + pixelOffset + rowBytes * static_cast<std::size_t>(topDown ? y : h - 1 - y);
    unsigned char* out = rgb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 3;
    for (int32_t x = 0; x < w; ++x) {
      unsigned char b, g, r;
      if (bits >= 24) {
        const unsigned char* px = row + static_cast<std::size_t>(x) * (bits / 8);
        b = px[0];
        g = px[1];
        r = px[2];
      } else {
        std::size_t bitIndex = static_cast<std::size_t>(x) * bits;
        unsigned v = (row[bitIndex / 8] >> (8 - bits - bitIndex % 8)) & ((1u << bits) - 1);
        if (v >= paletteCount) v = 0;
        const unsigned char* c = data + paletteOffset + v * 4;
        b = c[0];
        g = c[1];
        r = c[2];
      }
      out[x * 3] = r;
      out[x * 3 + 1] = g;
      out[x * 3 + 2] = b;
    }
  }
  width = w;
  height = h;
  return true;
}

namespace {

ADMIconRef iconGetFromResource(SPPluginRef plugin, const char* name, int32 iconID, int32) {
  auto& resolver = hostState().resources;
  if (!resolver) return nullptr;
  const PIResourceEntry* table = resolver(plugin);
  if (!table) return nullptr;
  const PIResourceEntry* found = nullptr;
  for (const PIResourceEntry* e = table; e->type != 0; ++e)
    if (e->type == kBitmapResourceType && name && e->name && std::strcmp(e->name, name) == 0) {
      found = e;
      break;
    }
  for (const PIResourceEntry* e = table; !found && e->type != 0; ++e)
    if (e->type == kBitmapResourceType && e->id == iconID) found = e;
  if (!found) return nullptr;
  try {
    auto icon = std::make_unique<ADMIcon>();
    if (!decodeDib(found->data, found->size, icon->width, icon->height, icon->rgb)) return nullptr;
    icon->fromResource = true;
    return icon.release();
  } catch (...) {
    return nullptr;
  }
}

void iconDestroy(ADMIconRef icon) { std::unique_ptr<ADMIcon> owned(icon); }
int32 iconGetWidth(ADMIconRef icon) { return icon ? icon->width : 0; }
int32 iconGetHeight(ADMIconRef icon) { return icon ? icon->height : 0; }
ADMBoolean iconIsFromResource(ADMIconRef icon) { return icon && icon->fromResource ? 1 : 0; }

const ADMIconSuite2 kIcon = {iconGetFromResource, iconDestroy, iconGetWidth, iconGetHeight,
                             iconIsFromResource};

}  // namespace

const ADMDrawerSuite3* drawerSuite() { return &kDrawer; }
const ADMIconSuite2* iconSuite() { return &kIcon; }

void setResourceResolver(std::function<const PIResourceEntry*(SPPluginRef)> resolver) {
  hostState().resources = std::move(resolver);
}

// ---- pixel display ----------------------------------------------------------------

OSErr displayPixels(const PSPixelMap* source, const VRect* srcRect, int32 dstRow, int32 dstCol,
                    void* platformContext) {
  constexpr OSErr kParamErr = -50;
  if (!source || !srcRect || !platformContext || !source->baseAddr) return kParamErr;
  ADMDrawer& drawer = *static_cast<ADMDrawer*>(platformContext);
  int planes;
  switch (source->imageMode) {
    case plugInModeGrayScale: planes = 1; break;
    case plugInModeRGBColor: planes = 3; break;
    case plugInModeCMYKColor: planes = 4; break;
    default: return kParamErr;
  }
  // Only the part of the source rectangle inside the map's bounds is shown.
  VRect r;
  r.top = std::max(srcRect->top, source->bounds.top);
  r.left = std::max(srcRect->left, source->bounds.left);
  r.bottom = std::min(srcRect->bottom, source->bounds.bottom);
  r.right = std::min(srcRect->right, source->bounds.right);
  if (r.bottom <= r.top || r.right <= r.left) return noErr;
  int64_t w64 = static_cast<int64_t>(r.right) - r.left, h64 = static_cast<int64_t>(r.bottom) - r.top;
  if (w64 > 16384 || h64 > 16384) return kParamErr;
  int w = static_cast<int>(w64), h = static_cast<int>(h64);
  std::vector<unsigned char> rgb;
  try {
    rgb.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
  } catch (...) {
    return memFullErr;
  }
  const unsigned char* base = static_cast<const unsigned char*>(source->baseAddr);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const unsigned char* px = base + static_cast<std::ptrdiff_t>(r.top - source->bounds.top + y) * source->rowBytes +
                                static_cast<std::ptrdiff_t>(r.left - source->bounds.left + x) * source->colBytes;
      unsigned char* out = rgb.data() + (static_cast<std::size_t>(y) * w + x) * 3;
      if (planes == 1) {
        out[0] = out[1] = out[2] = px[0];
      } else if (planes == 3) {
        out[0] = px[0];
        out[1] = px[source->planeBytes];
        out[2] = px[2 * source->planeBytes];
      } else {
        // 255 means no ink: the remaining light of C (M, Y) times that of K.
        unsigned k = px[3 * source->planeBytes];
        for (int c = 0; c < 3; ++c) out[c] = static_cast<unsigned char>(px[c * source->planeBytes] * k / 255);
      }
    }
  }
  drawRGB(drawer, rgb.data(), dstCol, dstRow, w, h, DrawOp::Pixels);
  return noErr;
}

}  // namespace veyra::dialogmanager
