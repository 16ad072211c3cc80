#include "host/OwnDialogManager.h"

#include <string>

#include "dialogmanager/DialogManager.h"
#include "resources/ResourceTable.h"

namespace veyra::own_dialog_manager {

bool start() {
  std::string error;
  if (!dialogmanager::openDisplay(&error)) return false;
  dialogmanager::setResourceResolver([](SPPluginRef) { return PIResourceTable; });
  return true;
}

const void* suite(const char* name, int32 version) { return dialogmanager::admSuite(name, version); }

DisplayPixelsProc displayPixels() { return &dialogmanager::displayPixels; }

}  // namespace veyra::own_dialog_manager
