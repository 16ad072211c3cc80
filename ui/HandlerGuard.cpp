#include "ui/HandlerGuard.h"

namespace veyra {

namespace {
std::exception_ptr gPendingFailure;
}

void keepPendingFailure(std::exception_ptr failure) {
  if (!gPendingFailure) gPendingFailure = failure;
}

void raisePendingFailure() {
  if (!gPendingFailure) return;
  std::exception_ptr failure = gPendingFailure;
  gPendingFailure = nullptr;
  std::rethrow_exception(failure);
}

void clearPendingFailure() { gPendingFailure = nullptr; }

}  // namespace veyra
