#include "adm/Dialog.h"

#include "adm/SuiteSet.h"

namespace ADM {

namespace {
Dialog* wrapperOf(ADMDialogRef dialog) {
  return static_cast<Dialog*>(sDialog->GetUserData(dialog));
}
}  // namespace

Dialog::Dialog(const char* name, int32 dialogID, ADMDialogStyle style, int32 options) {
  SuiteSet* set = SuiteSet::current();
  ADMDialogRef ref = sDialog->Create(set ? set->plugin() : nullptr, name ? name : "", dialogID,
                                     style, &Dialog::initProc, this, options);
  ref_ = ref;
  if (ref_) {
    sDialog->SetTrackProc(ref_, &Dialog::trackProc);
    sDialog->SetMask(ref_, sDialog->GetMask(ref_) | kADMDialogBackgroundEventMask);
  }
}

Dialog::~Dialog() {
  if (ref_) {
    ADMDialogRef ref = ref_;
    sDialog->Destroy(ref);
    ref_ = nullptr;
  }
}

ADMErr Dialog::initProc(ADMDialogRef dialog) {
  Dialog* self = wrapperOf(dialog);
  self->ref_ = dialog;
  sDialog->SetNotifyProc(dialog, &Dialog::notifyProc);
  sDialog->SetTrackProc(dialog, &Dialog::trackProc);
  sDialog->SetDrawProc(dialog, &Dialog::drawProc);
  sDialog->SetDestroyProc(dialog, &Dialog::destroyProc);
  return kADMNoErr;
}

void Dialog::notifyProc(ADMDialogRef dialog, ADMNotifierRef notifier) {
  Notifier n(notifier);
  wrapperOf(dialog)->notify(n);
}

ADMBoolean Dialog::trackProc(ADMDialogRef dialog, ADMTrackerRef tracker) {
  Tracker t(tracker);
  return wrapperOf(dialog)->track(t) ? 1 : 0;
}

void Dialog::drawProc(ADMDialogRef dialog, ADMDrawerRef drawer) {
  Drawer d(drawer);
  wrapperOf(dialog)->draw(d);
}

void Dialog::destroyProc(ADMDialogRef dialog) { wrapperOf(dialog)->destroyed(); }

int32 Dialog::runModal() { return sDialog->Modal(ref_); }
void Dialog::draw(Drawer& drawer) { sDialog->DefaultDraw(ref_, drawer.ref()); }

void Dialog::notify(Notifier& notifier) {
  if (notifier.isNotifierType(kADMCloseHitNotifier)) emit(kCloseEvent, this, &notifier);
  sDialog->DefaultNotify(ref_, notifier.ref());
}

void Dialog::destroyed() {}
bool Dialog::track(Tracker& tracker) { return sDialog->DefaultTrack(ref_, tracker.ref()) != 0; }
void Dialog::hook(void*) {}

void Dialog::setText(const char* title) { sDialog->SetText(ref_, title ? title : ""); }
void Dialog::moveTo(int32 x, int32 y) { sDialog->Move(ref_, x, y); }
void Dialog::sizeTo(int32 width, int32 height) { sDialog->Size(ref_, width, height); }

ADMRect Dialog::boundsRect() const {
  ADMRect r{0, 0, 0, 0};
  sDialog->GetBoundsRect(ref_, &r);
  return r;
}

ADMRect Dialog::localRect() const {
  ADMRect r{0, 0, 0, 0};
  sDialog->GetLocalRect(ref_, &r);
  return r;
}

void Dialog::endModal(int32 itemID, bool cancelled) { sDialog->EndModal(ref_, itemID, cancelled); }
void Dialog::setDefaultItemID(int32 id) { sDialog->SetDefaultItemID(ref_, id); }
void Dialog::setCancelItemID(int32 id) { sDialog->SetCancelItemID(ref_, id); }

}  // namespace ADM
