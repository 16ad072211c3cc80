// The about box shown by the about selector through the host's dialog manager.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "adm/SuiteSet.h"
#include "dialogmanager/DialogManager.h"
#include "resources/ResourceTable.h"
#include "support/ui_test_host.h"

namespace veyra {
namespace {

namespace adm = dialogmanager;
using app::ColorMode;
using test::UiTestHost;
using Rect4 = std::array<int, 4>;

Rect4 r4(const ADMRect& r) { return Rect4{r.left, r.top, r.right, r.bottom}; }

TEST(AboutBox, IsSizedToTheSplashAndClosesOnAClick) {
  UiTestHost host(8, 8, ColorMode::RGB);
  bool ran = false;
  const int16_t result = host.about([&](ADMDialogRef ref) {
    ran = true;
    ADMItemRef splash = adm::findItem(ref, 1);
    ASSERT_NE(splash, nullptr);
    ADMRect bounds{}, local{};
    ADM::sDialog->GetLocalRect(ref, &local);
    ADM::sItem->GetBoundsRect(splash, &bounds);
    EXPECT_EQ(r4(bounds), (Rect4{0, 0, 450, 231}));
    EXPECT_EQ(r4(local), (Rect4{0, 0, 450, 231}));
    char title[64] = {0};
    ADM::sDialog->GetText(ref, title, sizeof title);
    EXPECT_STREQ(title, "About Veyra!");
    EXPECT_EQ(ADM::sDialog->GetDefaultItemID(ref), 0);
    EXPECT_EQ(ADM::sDialog->GetCancelItemID(ref), 0);
    ADMRect screen{}, where{};
    ADM::sBasic->GetScreenDimensions(&screen);
    ADM::sDialog->GetBoundsRect(ref, &where);
    EXPECT_EQ(where.left, (screen.right - screen.left - 450) / 2);
    EXPECT_EQ(where.top, (screen.bottom - screen.top - 231) / 2);
    const adm::DrawRecord ops = adm::draw(splash);
    bool icon = false;
    for (const adm::DrawOp& op : ops)
      if (op.kind == adm::DrawOp::Icon) icon = op.rect.left == 0 && op.rect.top == 0 && op.rect.right == 450;
    EXPECT_TRUE(icon);
    adm::click(splash);
  });
  EXPECT_TRUE(ran);
  // Ended as item 1, not cancelled: the about call succeeds.
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(adm::liveDialogs().empty());
  EXPECT_EQ(host.host().suites().outstanding(), 0);
}

// A 24-bit bitmap resource of the given size: a 40-byte header and rows
// padded to four bytes, every pixel mid gray.
std::vector<unsigned char> grayBitmap(int width, int height) {
  const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  std::vector<unsigned char> dib(40 + rowBytes * height, 128);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) dib[at + i] = static_cast<unsigned char>(v >> (8 * i));
  };
  put32(0, 40);
  put32(4, static_cast<uint32_t>(width));
  put32(8, static_cast<uint32_t>(height));
  dib[12] = 1, dib[13] = 0;   // planes
  dib[14] = 24, dib[15] = 0;  // bits per pixel
  for (size_t at = 16; at < 40; at += 4) put32(at, 0);
  return dib;
}

TEST(AboutBox, FollowsTheSizeOfTheSplashBitmap) {
  UiTestHost host(8, 8, ColorMode::RGB);
  const std::vector<unsigned char> splash = grayBitmap(123, 45);
  const PIResourceEntry table[] = {
      {adm::kBitmapResourceType, 102, "IDB_SPLASH", splash.data(), static_cast<unsigned32>(splash.size())},
      {0, 0, nullptr, nullptr, 0}};
  adm::setResourceResolver([&table](SPPluginRef) { return table; });
  ADMRect local{};
  const int16_t result = host.about([&](ADMDialogRef ref) {
    ADM::sDialog->GetLocalRect(ref, &local);
    adm::click(adm::findItem(ref, 1));
  });
  adm::setResourceResolver([](SPPluginRef) { return PIResourceTable; });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(r4(local), (Rect4{0, 0, 123, 45}));
}

TEST(AboutBox, MissingDialogManagerAnswersInsufficientHost) {
  UiTestHost host(8, 8, ColorMode::RGB);
  host.host().faults().absentSuites.insert(kADMDialogSuite);
  EXPECT_EQ(host.about(nullptr), errPlugInHostInsufficient);
  EXPECT_EQ(host.host().suites().outstanding(), 0);
}

}  // namespace
}  // namespace veyra
