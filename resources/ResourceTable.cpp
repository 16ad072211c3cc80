#include "resources/ResourceTable.h"

#include "resources/Bitmaps.h"
#include "resources/PluginResourceBytes.h"

namespace {

using namespace veyra::resources;

// The build names the form for 64-bit Windows modules.
#ifndef VEYRA_PROPERTY_LIST_X64
#define VEYRA_PROPERTY_LIST_X64 0
#endif
constexpr PropertyListForm kForm = VEYRA_PROPERTY_LIST_X64 ? PropertyListForm::X64 : PropertyListForm::X86;

// Built at compile time; the table points at these blocks.
constexpr auto kPropertyList = buildPropertyList<kForm>();
constexpr std::array<unsigned char, kTerminologySize> kTerminology = buildTerminology();

}  // namespace

extern "C" {

const PIResourceEntry PIResourceTable[] = {
    {kPiPLType, kResourceId, nullptr, kPropertyList.data(), static_cast<unsigned32>(kPropertyList.size())},
    {kAeteType, kResourceId, nullptr, kTerminology.data(), static_cast<unsigned32>(kTerminology.size())},
    // Bitmaps: the about box's splash picture and the eye-dropper icon.
    {kBitmapType, kSplashBitmapId, kSplashBitmapName, kSplashBitmap, kSplashBitmapSize},
    {kBitmapType, kDropperBitmapId, kDropperBitmapName, kDropperBitmap, kDropperBitmapSize},
    {0, 0, nullptr, nullptr, 0},
};

}  // extern "C"
