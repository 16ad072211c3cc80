// Failures raised inside the dialog's event handlers. Handlers run inside the
// host's callbacks, and a failure must not unwind through the host: it is
// kept, the modal run is ended as cancelled, and the code that started the
// run raises it again once the host has returned.
#pragma once

#include <exception>

#include "adm/Dialog.h"
#include "host/Errors.h"

namespace veyra {

// Keeps the first failure of the current run.
void keepPendingFailure(std::exception_ptr failure);
// Raises the kept failure, if any, and forgets it.
void raisePendingFailure();
// Forgets any kept failure (at the start of a run).
void clearPendingFailure();

// Runs fn; a host result code or suite error it raises is kept and ends the
// dialog's modal run with the cancel item. Answers whether fn completed.
template <typename Fn>
bool runGuarded(ADM::Dialog* dialog, Fn&& fn) {
  try {
    fn();
    return true;
  } catch (const HostResultError&) {
    keepPendingFailure(std::current_exception());
  } catch (const SuiteError&) {
    keepPendingFailure(std::current_exception());
  }
  if (dialog != nullptr) dialog->endModal(2, true);
  return false;
}

}  // namespace veyra
