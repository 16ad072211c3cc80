// Host-side services of the dialog manager: bitmap resources, the icon
// suite, the pixel display service and the suite registration.
#include <gtest/gtest.h>

#include <cstring>

#include "app/DialogServices.h"
#include "app/FilterHost.h"
#include "app/SuiteRegistry.h"
#include "dialogmanager/DialogManager.h"
#include "dialogmanager/AdmModel.h"
#include "resources/ResourceTable.h"

namespace veyra::test {
namespace {

namespace adm = dialogmanager;

// A 24-bit DIB of w x h whose pixel (x, y) is (x, y, x + y), bottom-up.
std::vector<unsigned char> makeDib(int w, int h, int bits = 24, bool topDown = false) {
  int rowBytes = ((w * bits + 31) / 32) * 4;
  std::vector<unsigned char> d(40 + (bits == 8 ? 1024 : 0) + static_cast<std::size_t>(rowBytes) * h, 0);
  auto put32 = [&](int at, int32_t v) { std::memcpy(&d[at], &v, 4); };
  put32(0, 40);
  put32(4, w);
  put32(8, topDown ? -h : h);
  d[12] = 1;
  d[14] = static_cast<unsigned char>(bits);
  int pixels = 40;
  if (bits == 8) {
    for (int i = 0; i < 256; ++i) {
      d[40 + i * 4] = static_cast<unsigned char>(255 - i);  // blue
      d[40 + i * 4 + 1] = static_cast<unsigned char>(i);   // green
      d[40 + i * 4 + 2] = 7;                              // red
    }
    pixels += 1024;
  }
  for (int y = 0; y < h; ++y) {
    int fileRow = topDown ? y : h - 1 - y;
    for (int x = 0; x < w; ++x) {
      unsigned char* p = &d[pixels + static_cast<std::size_t>(fileRow) * rowBytes + x * (bits / 8)];
      if (bits == 8) {
        p[0] = static_cast<unsigned char>(x + y);
      } else {
        p[0] = static_cast<unsigned char>(x + y);
        p[1] = static_cast<unsigned char>(y);
        p[2] = static_cast<unsigned char>(x);
      }
    }
  }
  return d;
}

struct DibCase {
  int width, height, bits;
  bool topDown;
};

class DibDecodeTest : public ::testing::TestWithParam<DibCase> {};

TEST_P(DibDecodeTest, RowsComeOutTopFirstInRgb) {
  const DibCase c = GetParam();
  std::vector<unsigned char> dib = makeDib(c.width, c.height, c.bits, c.topDown);
  int32 w = 0, h = 0;
  std::vector<unsigned char> rgb;
  ASSERT_TRUE(adm::decodeDib(dib.data(), dib.size(), w, h, rgb));
  EXPECT_EQ(w, c.width);
  EXPECT_EQ(h, c.height);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
      if (c.bits == 8) {
        int i = (x + y) & 255;
        EXPECT_EQ(p[0], 7);
        EXPECT_EQ(p[1], i);
        EXPECT_EQ(p[2], 255 - i);
      } else {
        EXPECT_EQ(p[0], x);
        EXPECT_EQ(p[1], y);
        EXPECT_EQ(p[2], (x + y) & 255);
      }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, DibDecodeTest,
                         ::testing::Values(DibCase{20, 10, 24, false}, DibCase{3, 5, 24, false},
                                           DibCase{7, 2, 24, true}, DibCase{5, 3, 32, false},
                                           DibCase{6, 4, 8, false}));

TEST(DibDecode, RefusesDamagedData) {
  std::vector<unsigned char> dib = makeDib(9, 9);
  int32 w, h;
  std::vector<unsigned char> rgb;
  EXPECT_FALSE(adm::decodeDib(dib.data(), dib.size() - 1, w, h, rgb));  // truncated pixels
  EXPECT_FALSE(adm::decodeDib(dib.data(), 39, w, h, rgb));              // truncated header
  std::vector<unsigned char> bad = dib;
  bad[16] = 1;  // compressed
  EXPECT_FALSE(adm::decodeDib(bad.data(), bad.size(), w, h, rgb));
  bad = dib;
  bad[14] = 16;  // unsupported depth
  EXPECT_FALSE(adm::decodeDib(bad.data(), bad.size(), w, h, rgb));
  bad = dib;
  std::memset(&bad[4], 0xFF, 4);  // width -1
  EXPECT_FALSE(adm::decodeDib(bad.data(), bad.size(), w, h, rgb));
  bad = dib;
  int32_t huge = 1 << 30;
  std::memcpy(&bad[8], &huge, 4);  // a height far beyond the data
  EXPECT_FALSE(adm::decodeDib(bad.data(), bad.size(), w, h, rgb));
}

TEST(IconSuite, LoadsThePluginsBitmapsByNameOrNumber) {
  adm::setResourceResolver([](SPPluginRef) { return PIResourceTable; });
  auto* icons = static_cast<const ADMIconSuite2*>(adm::admSuite(kADMIconSuite, kADMIconSuiteVersion2));
  ASSERT_NE(icons, nullptr);
  ADMIconRef splash = icons->GetFromResource(nullptr, "IDB_SPLASH", 102, 0);
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(icons->GetWidth(splash), 450);
  EXPECT_EQ(icons->GetHeight(splash), 231);
  EXPECT_TRUE(icons->IsFromResource(splash));
  ADMIconRef dropper = icons->GetFromResource(nullptr, nullptr, 106, 0);
  ASSERT_NE(dropper, nullptr);
  EXPECT_EQ(icons->GetWidth(dropper), 20);
  EXPECT_EQ(icons->GetHeight(dropper), 10);
  EXPECT_EQ(icons->GetFromResource(nullptr, "IDB_NONE", 999, 0), nullptr);

  // Drawn centred: (40 - 20) / 2 and (20 - 10) / 2 from the rectangle's corner.
  adm::DrawRecord record;
  ADMDrawer drawer;
  drawer.record = &record;
  auto* draw = static_cast<const ADMDrawerSuite3*>(adm::admSuite(kADMDrawerSuite, kADMDrawerSuiteVersion3));
  ADMRect r{3, 4, 43, 24};
  draw->DrawIconCentered(&drawer, dropper, &r);
  ADMPoint at{1, 2};
  draw->DrawIcon(&drawer, dropper, &at);
  ASSERT_EQ(record.size(), 2u);
  EXPECT_EQ(record[0].rect.left, 13);
  EXPECT_EQ(record[0].rect.top, 9);
  EXPECT_EQ(record[0].rect.right, 33);
  EXPECT_EQ(record[1].rect.left, 1);
  EXPECT_EQ(record[1].rect.bottom, 12);
  EXPECT_EQ(record[0].rgb.size(), 20u * 10u * 3u);
  icons->Destroy(splash);
  icons->Destroy(dropper);
  adm::setResourceResolver(nullptr);
}

// A pixel map over planar-interleaved samples: planes are planeBytes apart
// within a pixel, pixels colBytes apart, rows rowBytes apart.
PSPixelMap pixelMap(int32 mode, int w, int h, int planes, std::vector<unsigned char>& data) {
  PSPixelMap map{};
  map.version = 1;
  map.bounds = VRect{0, 0, h, w};
  map.imageMode = mode;
  map.colBytes = planes;
  map.rowBytes = planes * w;
  map.planeBytes = 1;
  map.baseAddr = data.data();
  return map;
}

TEST(DisplayPixels, ConvertsGrayRgbAndCmykForDisplay) {
  adm::DrawRecord record;
  ADMDrawer drawer;
  drawer.record = &record;

  std::vector<unsigned char> gray = {0, 100, 200, 255};
  PSPixelMap g = pixelMap(plugInModeGrayScale, 2, 2, 1, gray);
  VRect all{0, 0, 2, 2};
  EXPECT_EQ(adm::displayPixels(&g, &all, 5, 6, &drawer), noErr);
  ASSERT_EQ(record.size(), 1u);
  EXPECT_EQ(record[0].kind, adm::DrawOp::Pixels);
  EXPECT_EQ(record[0].rect.left, 6);  // dstCol
  EXPECT_EQ(record[0].rect.top, 5);   // dstRow
  EXPECT_EQ(record[0].rgb, (std::vector<unsigned char>{0, 0, 0, 100, 100, 100, 200, 200, 200, 255, 255, 255}));

  std::vector<unsigned char> rgb = {1, 2, 3, 4, 5, 6};
  PSPixelMap c = pixelMap(plugInModeRGBColor, 2, 1, 3, rgb);
  VRect row{0, 0, 1, 2};
  EXPECT_EQ(adm::displayPixels(&c, &row, 0, 0, &drawer), noErr);
  EXPECT_EQ(record[1].rgb, rgb);

  // 255 means no ink: white; ink in one plane takes that plane's light away,
  // and black ink (K = 0) takes all of it.
  std::vector<unsigned char> cmyk = {255, 255, 255, 255, 0, 255, 255, 255, 255, 128, 255, 255,
                                     200, 100, 50, 0};
  PSPixelMap k = pixelMap(plugInModeCMYKColor, 4, 1, 4, cmyk);
  VRect four{0, 0, 1, 4};
  EXPECT_EQ(adm::displayPixels(&k, &four, 0, 0, &drawer), noErr);
  EXPECT_EQ(record[2].rgb, (std::vector<unsigned char>{255, 255, 255, 0, 255, 255, 255, 128, 255, 0, 0, 0}));

  // A source rectangle partly outside the map shows only the inside part.
  VRect beyond{1, 1, 5, 5};
  EXPECT_EQ(adm::displayPixels(&g, &beyond, 0, 0, &drawer), noErr);
  EXPECT_EQ(record[3].rgb, (std::vector<unsigned char>{255, 255, 255}));

  PSPixelMap lab = g;
  lab.imageMode = plugInModeLabColor;
  EXPECT_NE(adm::displayPixels(&lab, &all, 0, 0, &drawer), noErr);
  EXPECT_NE(adm::displayPixels(&g, &all, 0, 0, nullptr), noErr);
  EXPECT_EQ(record.size(), 4u);
}

TEST(AdmSuites, RegisteredInTheHostsRegistry) {
  app::FaultPlan faults;
  app::SuiteRegistry registry(faults);
  app::registerDialogManagerSuites(registry);
  const char* names[] = {"ADM Basic Suite", "ADM Dialog Suite", "ADM Item Suite", "ADM Notifier Suite",
                         "ADM Tracker Suite", "ADM Entry Suite", "ADM List Suite", "ADM List Entry Suite",
                         "ADM Drawer Suite", "ADM Image Suite", "ADM Icon Suite"};
  int versions[] = {5, 5, 5, 2, 1, 4, 2, 2, 3, 1, 2};
  for (int i = 0; i < 11; ++i) {
    EXPECT_TRUE(registry.has(names[i], versions[i])) << names[i];
    EXPECT_FALSE(registry.has(names[i], versions[i] + 1)) << names[i];
  }
}

TEST(AdmSuites, FileDialogAndColourChooserWithoutADisplay) {
  adm::useHeadless();
  adm::resetDriver();
  auto* basic = static_cast<const ADMBasicSuite5*>(adm::admSuite(kADMBasicSuite, kADMBasicSuiteVersion5));
  ADMFileFilter filters[] = {{"Supported Image Files", "*.jpeg;*.jpg;*.png"}, {"PNG files (*.png)", "*.png"}};
  char path[16] = "unchanged";
  EXPECT_FALSE(basic->StandardGetFileDialog("Pick", filters, 2, "/start", path, sizeof path));
  EXPECT_STREQ(path, "unchanged");
  adm::setFileDialogAnswer(std::string("/a/b.png"));
  EXPECT_TRUE(basic->StandardGetFileDialog("Pick", filters, 2, "/start", path, sizeof path));
  EXPECT_STREQ(path, "/a/b.png");
  // A path longer than the caller's buffer is refused, not cut.
  adm::setFileDialogAnswer(std::string("/a/very/long/folder/name.png"));
  EXPECT_FALSE(basic->StandardGetFileDialog("Pick", filters, 2, "/start", path, sizeof path));
  // The start folder is opened as the user reads it, without "." and "..".
  EXPECT_FALSE(basic->StandardGetFileDialog("Pick", filters, 2, "/opt/v/bin/../plug-ins/./Patterns/", path,
                                            sizeof path));
  ASSERT_EQ(adm::fileDialogRequests().size(), 4u);
  EXPECT_EQ(adm::fileDialogRequests()[3].startFolder, "/opt/v/plug-ins/Patterns");
  EXPECT_EQ(adm::fileDialogRequests()[0].prompt, "Pick");
  EXPECT_EQ(adm::fileDialogRequests()[0].startFolder, "/start");
  EXPECT_EQ(adm::fileDialogRequests()[0].filters[1].second, "*.png");

  unsigned8 in[3] = {10, 20, 30}, out[3] = {0, 0, 0};
  EXPECT_FALSE(adm::pickColor("prompt", in, out));
  adm::setColorChooserAnswer(ADMRGBColor{65535, 257 * 128, 0});
  EXPECT_TRUE(adm::pickColor("prompt", in, out));
  EXPECT_EQ(out[0], 255);
  EXPECT_EQ(out[1], 128);
  EXPECT_EQ(out[2], 0);
  ADMRect screen;
  basic->GetScreenDimensions(&screen);
  EXPECT_EQ(screen.right - screen.left, 1280);
  adm::resetDriver();
}

// Numeric fields show their number whole: rounded to the requested decimals,
// fewer where the requested width would be passed, never in exponent form.
TEST(AdmNumberDisplay, RoundsToPrecisionWithinWidth) {
  struct Case {
    const char* text;
    int precision, width;
    const char* shown;
  };
  const Case cases[] = {{"138.462", 5, 6, "138.46"},    {"-127.692", 5, 6, "-127.7"}, {"12.3457", 5, 6, "12.346"},
                        {"-0.0763359", 5, 6, "-0.076"}, {"600", 5, 6, "600"},        {"1e-05", 5, 6, "0"},
                        {"-1e-07", 5, 6, "0"},          {"9.99999", 5, 6, "10"},     {"0.5", 0, 6, "0"},
                        {"-180", 2, 3, "-180"},         {"abc", 5, 6, "abc"},        {"", 5, 6, ""},
                        {"12.5x", 5, 6, "12.5x"},       {"2.25", 1, 6, "2.2"},       {"nan", 5, 6, "nan"}};
  for (const Case& c : cases) EXPECT_EQ(adm::numberForDisplay(c.text, c.precision, c.width), c.shown) << c.text;
}

}  // namespace
}  // namespace veyra::test
