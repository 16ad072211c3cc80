// Makes the bundled light shapes (patterns/) and the sample picture
// (samples/) procedurally, so that every bundled image is our own and can be
// rebuilt bit for bit:
//   make_patterns <source folder>
// Shapes are 8-bit gray, white where light passes; PNG for hard-edged
// shapes, JPEG for the soft and noisy ones.
#include <png.h>

#include <cstdio>
// libjpeg's header expects the standard definitions first.
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Image {
  int width;
  int height;
  int channels;
  std::vector<uint8_t> data;
  Image(int w, int h, int c) : width(w), height(h), channels(c), data(static_cast<size_t>(w) * h * c) {}
  uint8_t* pixel(int x, int y) { return data.data() + (static_cast<size_t>(y) * width + x) * channels; }
};

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File openForWriting(const std::string& path) {
  File f(std::fopen(path.c_str(), "wb"));
  if (!f) throw std::runtime_error("cannot write " + path);
  return f;
}

void writePng(const Image& image, const std::string& path) {
  File file = openForWriting(path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("PNG error writing " + path);
  }
  png_init_io(png, file.get());
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               image.channels == 1 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y)
    png_write_row(png, image.data.data() + static_cast<size_t>(y) * image.width * image.channels);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
}

void writeJpeg(const Image& image, const std::string& path, int quality) {
  File file = openForWriting(path);
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);  // the default error exit ends the program
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file.get());
  cinfo.image_width = static_cast<JDIMENSION>(image.width);
  cinfo.image_height = static_cast<JDIMENSION>(image.height);
  cinfo.input_components = image.channels;
  cinfo.in_color_space = image.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  cinfo.optimize_coding = TRUE;
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.data.data() + static_cast<size_t>(cinfo.next_scanline) *
                                                                image.width * image.channels);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
}

// --- procedural helpers ------------------------------------------------------

double clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }
double smoothstep(double a, double b, double v) {
  const double t = clamp01((v - a) / (b - a));
  return t * t * (3.0 - 2.0 * t);
}
uint8_t toByte(double v) { return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0)); }

// A fixed integer hash, so the images do not depend on a library's random
// number distributions.
uint32_t hash(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h =
      static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}
double hash01(int32_t x, int32_t y, uint32_t seed) { return (hash(x, y, seed) & 0xFFFFFF) / 16777215.0; }

// Smooth value noise on a unit lattice, 0..1.
double valueNoise(double x, double y, uint32_t seed) {
  const double fx = std::floor(x), fy = std::floor(y);
  const auto ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
  const double tx = smoothstep(0.0, 1.0, x - fx), ty = smoothstep(0.0, 1.0, y - fy);
  const double a = hash01(ix, iy, seed), b = hash01(ix + 1, iy, seed);
  const double c = hash01(ix, iy + 1, seed), d = hash01(ix + 1, iy + 1, seed);
  return (a + (b - a) * tx) * (1.0 - ty) + (c + (d - c) * tx) * ty;
}

double fbm(double x, double y, int octaves, uint32_t seed) {
  double sum = 0.0, amplitude = 0.5, norm = 0.0;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * valueNoise(x, y, seed + static_cast<uint32_t>(o) * 101u);
    norm += amplitude;
    x *= 2.03;
    y *= 2.03;
    amplitude *= 0.5;
  }
  return sum / norm;
}

// Renders a coverage function with 4 x 4 samples per pixel (anti-aliased
// hard edges).
Image renderCoverage(int width, int height, const std::function<double(double, double)>& inside) {
  Image image(width, height, 1);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      double sum = 0.0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) sum += inside(x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0);
      *image.pixel(x, y) = toByte(sum / 16.0);
    }
  return image;
}

// --- the shapes ---------------------------------------------------------------

// A two-leaf window: frame, a centre mullion, a transom and glazing bars
// dividing each leaf into three panes.
Image window() {
  const int w = 768, h = 1024;
  return renderCoverage(w, h, [=](double x, double y) -> double {
    const double left = 104, right = w - 104, top = 96, bottom = h - 96;
    if (x < left || x >= right || y < top || y >= bottom) return 0.0;
    const double cx = (left + right) / 2.0;
    if (std::abs(x - cx) < 16) return 0.0;  // mullion
    const double transom = top + (bottom - top) * 0.3;
    if (std::abs(y - transom) < 14) return 0.0;
    // Glazing bars: the upper lights are split in two, the lower in three.
    const double leafLeft = x < cx ? left : cx + 16, leafRight = x < cx ? cx - 16 : right;
    if (std::abs(x - (leafLeft + leafRight) / 2.0) < 6) return 0.0;
    if (y > transom) {
      const double pane = (bottom - transom) / 3.0;
      for (int i = 1; i < 3; ++i)
        if (std::abs(y - (transom + pane * i)) < 6) return 0.0;
    }
    return 1.0;
  });
}

// Light falling through venetian blinds: soft-edged horizontal slats inside
// a window opening, slightly brighter towards the middle.
Image blinds() {
  const int w = 800, h = 800;
  Image image(w, h, 1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double inX = smoothstep(60, 72, x) * (1.0 - smoothstep(w - 72, w - 60, x));
      const double inY = smoothstep(50, 60, y) * (1.0 - smoothstep(h - 60, h - 50, y));
      const double phase = std::fmod(y - 50.0, 36.0) / 36.0;  // one slat every 36 rows
      const double slat = smoothstep(0.08, 0.2, phase) * (1.0 - smoothstep(0.62, 0.74, phase));
      const double glow = 0.85 + 0.15 * std::cos((x - w / 2.0) / w * 3.14159);
      *image.pixel(x, y) = toByte(inX * inY * slat * glow);
    }
  return image;
}

// Dappled light through leaves: thresholded fractal noise with soft edges
// and a few larger dark branches.
Image foliage() {
  const int w = 1024, h = 1024;
  Image image(w, h, 1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double n = fbm(x / 90.0, y / 90.0, 6, 17u);
      const double leaves = smoothstep(0.50, 0.60, n);
      const double b = fbm(x / 300.0 + 7.0, y / 300.0, 3, 5u);
      const double branch = 1.0 - smoothstep(0.015, 0.035, std::abs(b - 0.5));
      *image.pixel(x, y) = toByte(leaves * (1.0 - 0.9 * branch));
    }
  return image;
}

// A round spot with a soft rim.
Image spot() {
  const int s = 512;
  Image image(s, s, 1);
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x) {
      const double r = std::hypot(x + 0.5 - s / 2.0, y + 0.5 - s / 2.0) / s;
      *image.pixel(x, y) = toByte(1.0 - smoothstep(0.30, 0.46, r));
    }
  return image;
}

// A gobo grid: square openings in rows and columns.
Image grid() {
  const int s = 640;
  return renderCoverage(s, s, [=](double x, double y) -> double {
    const double margin = 40, cell = (s - 2 * margin) / 6.0, bar = 14;
    if (x < margin || y < margin || x >= s - margin || y >= s - margin) return 0.0;
    const double u = std::fmod(x - margin, cell), v = std::fmod(y - margin, cell);
    return u >= bar / 2 && u < cell - bar / 2 && v >= bar / 2 && v < cell - bar / 2 ? 1.0 : 0.0;
  });
}

// An arched window: a tall opening with a round top and a cross of bars.
Image archedWindow() {
  const int w = 512, h = 768;
  return renderCoverage(w, h, [=](double x, double y) -> double {
    const double left = 96, right = w - 96, bottom = h - 64, cx = w / 2.0, radius = (right - left) / 2.0;
    const double springLine = 64 + radius;
    if (x < left || x >= right || y >= bottom) return 0.0;
    if (y < springLine && std::hypot(x - cx, y - springLine) > radius) return 0.0;
    if (std::abs(x - cx) < 8 || std::abs(y - (springLine + 40)) < 8) return 0.0;
    return 1.0;
  });
}

// --- the sample picture ---------------------------------------------------------

struct Rgb {
  double r, g, b;
};
Rgb mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb scale(Rgb a, double k) { return {a.r * k, a.g * k, a.b * k}; }

// The corner of an empty room in one-point perspective: a plain back wall
// with a framed picture, a side wall, ceiling and a wooden floor, softly lit
// from the front so that added window light has a quiet surface to fall on.
Image room() {
  const int w = 1200, h = 800;
  const double vpX = 790, vpY = 330;                            // vanishing point
  const double wallLeft = 380, wallTop = 80, wallBottom = 560;  // back wall, to the right edge
  const Rgb wallColour{0.86, 0.82, 0.76}, sideColour{0.74, 0.70, 0.65}, ceilingColour{0.90, 0.89, 0.86};
  const Rgb skirting{0.93, 0.92, 0.90}, frameColour{0.22, 0.17, 0.13};
  Image image(w, h, 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      // Where the back wall's edges run towards the viewer.
      const double t = (px - vpX) / (wallLeft - vpX);  // > 1 left of the back wall
      const double topEdge = vpY + (wallTop - vpY) * t, bottomEdge = vpY + (wallBottom - vpY) * t;
      Rgb c;
      const double grain = fbm(px / 3.0, py / 3.0, 2, 9u) - 0.5;  // plaster texture
      if (px >= wallLeft && py >= wallTop && py < wallBottom) {
        // Back wall, darker into the corner and towards the ceiling.
        const double shade = 0.88 + 0.12 * smoothstep(wallLeft, wallLeft + 260, px) -
                             0.06 * (1.0 - smoothstep(wallTop, wallTop + 200, py));
        c = scale(wallColour, shade + grain * 0.03);
        if (py > wallBottom - 22) c = scale(skirting, 0.9 + grain * 0.02);
        // A framed picture: a dark frame around a muted landscape.
        const double fl = 760, fr = 1000, ft = 190, fb = 370;
        if (px >= fl && px < fr && py >= ft && py < fb) {
          if (px < fl + 12 || px >= fr - 12 || py < ft + 12 || py >= fb - 12) {
            c = frameColour;
          } else {
            const double u = (px - fl) / (fr - fl), v = (py - ft) / (fb - ft);
            const double hill = 0.55 + 0.12 * std::sin(u * 6.0) + 0.05 * std::sin(u * 17.0);
            c = v < hill ? mix(Rgb{0.55, 0.68, 0.80}, Rgb{0.85, 0.80, 0.70}, v / hill)
                         : mix(Rgb{0.35, 0.45, 0.28}, Rgb{0.25, 0.30, 0.18}, (v - hill) / (1.0 - hill));
          }
        }
      } else if (px < wallLeft && py >= topEdge && py < bottomEdge) {
        // Side wall, lit less, darkest into the corner.
        const double shade = 0.8 + 0.15 * (1.0 - smoothstep(0, wallLeft, px));
        c = scale(sideColour, shade + grain * 0.03);
        const double skirtingTop = bottomEdge - 22 * t;
        if (py > skirtingTop) c = scale(skirting, 0.82);
      } else if ((px < wallLeft && py < topEdge) || (px >= wallLeft && py < wallTop)) {
        c = scale(ceilingColour, 0.9 + 0.1 * (py / wallTop) + grain * 0.02);
      } else {
        // Floor boards running towards the vanishing point.
        const double depth = 400.0 / (py - vpY);            // distance into the room
        const double lateral = (px - vpX) * depth / 400.0;  // across the room
        const double board = std::floor(lateral / 0.45);
        const auto b = static_cast<int32_t>(board);
        const double along = depth + hash01(b, 0, 3u) * 3.0;
        const auto joint = static_cast<int32_t>(std::floor(along / 2.5));
        const double tone = 0.8 + 0.25 * hash01(b, joint, 4u);
        const double wood = fbm(lateral * 40.0, along * 2.0, 3, 11u);
        Rgb floor = scale(Rgb{0.55, 0.38, 0.24}, tone * (0.85 + 0.3 * wood));
        const double seam =
            std::min(std::fmod(lateral / 0.45 - board, 1.0), 1.0 - std::fmod(lateral / 0.45 - board, 1.0));
        if (seam * 0.45 / depth * 400.0 < 0.8) floor = scale(floor, 0.7);
        // Darker where the floor meets the walls.
        const double nearWall = std::min(py - (px < wallLeft ? bottomEdge : wallBottom), 60.0) / 60.0;
        c = scale(floor, 0.8 + 0.2 * clamp01(nearWall));
      }
      uint8_t* p = image.pixel(x, y);
      p[0] = toByte(c.r);
      p[1] = toByte(c.g);
      p[2] = toByte(c.b);
    }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_patterns <source folder>\n");
    return 2;
  }
  const std::string root = argv[1];
  try {
    writePng(window(), root + "/patterns/Window.png");
    writePng(archedWindow(), root + "/patterns/Arched Window.png");
    writePng(grid(), root + "/patterns/Grid.png");
    writePng(spot(), root + "/patterns/Spot.png");
    writeJpeg(blinds(), root + "/patterns/Blinds.jpg", 90);
    writeJpeg(foliage(), root + "/patterns/Foliage.jpg", 85);
    writeJpeg(room(), root + "/samples/Room.jpg", 90);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_patterns: %s\n", e.what());
    return 1;
  }
  return 0;
}
