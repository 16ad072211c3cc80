/* The colour-space suite: colour objects converted between colour spaces by
 * the host, and the host's colour picker. */
#ifndef VEYRA_HOST_PICOLORSPACESUITE_H
#define VEYRA_HOST_PICOLORSPACESUITE_H

#include "host/ASZStringSuite.h"
#include "host/PITypes.h"

#ifdef __cplusplus
extern "C" {
#endif

#define kPSColorSpaceSuite "Photoshop ColorSpace Suite for Plug-ins"
#define kPSColorSpaceSuiteVersion1 1

typedef struct ColorID_t* ColorID;

/* Colour spaces. */
enum {
  plugIncolorServicesRGBSpace = 0,
  plugIncolorServicesHSBSpace = 1,
  plugIncolorServicesCMYKSpace = 2,
  plugIncolorServicesLabSpace = 3,
  plugIncolorServicesGraySpace = 4,
  plugIncolorServicesHSLSpace = 5,
  plugIncolorServicesXYZSpace = 6
};

/* 16-bit XYZ: D50, 32768 stands for 1.0. */
typedef struct CS_XYZ { unsigned16 x; unsigned16 y; unsigned16 z; } CS_XYZ;

typedef struct PSColorSpaceSuite1 {
  int32 (*Make)(ColorID* colorID);
  int32 (*Delete)(ColorID* colorID);
  int32 (*StuffComponents)(ColorID colorID, int16 colorSpace, unsigned8 c0, unsigned8 c1,
                           unsigned8 c2, unsigned8 c3);
  /* Reads the colour's four 8-bit components in colorSpace; *gamutFlag is
   * true when the colour lies outside that space's gamut. */
  int32 (*ExtractComponents)(ColorID colorID, int16 colorSpace, unsigned8* c0, unsigned8* c1,
                             unsigned8* c2, unsigned8* c3, Boolean* gamutFlag);
  int32 (*StuffXYZ)(ColorID colorID, CS_XYZ xyz);
  int32 (*ExtractXYZ)(ColorID colorID, CS_XYZ* xyz);
  /* Runs the host's colour picker on the colour; answers 0 when the user
   * confirmed a colour (which then replaces the colour's value). */
  int32 (*PickColor)(ColorID* colorID, ASZString promptString);
} PSColorSpaceSuite1;

#ifdef __cplusplus
}
#endif

#endif
