// The whole dialog toolkit.
#pragma once

#include "adm/ADMSuites.h"
#include "adm/Button.h"
#include "adm/CallbackObject.h"
#include "adm/ColorPot.h"
#include "adm/Dialog.h"
#include "adm/Edit.h"
#include "adm/Group.h"
#include "adm/Item.h"
#include "adm/Label.h"
#include "adm/List.h"
#include "adm/Slider.h"
#include "adm/SuiteSet.h"
#include "adm/Wrappers.h"
