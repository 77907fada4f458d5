#include "Instalador/wizard/wizard_flow.h"

namespace kova {

void WizardButtons::MouseOver(WizardButton b) {
  if (State(b) == ButtonPicture::kDisabled) return;
  static const char* const kCodes[] = {"VO", "AV", "CA"};
  marker_ = kCodes[Index(b)];
  Set(b, ButtonPicture::kHover);
}

void WizardButtons::MouseOverBackground() {
  for (WizardButton b : {WizardButton::kBack, WizardButton::kNext, WizardButton::kCancel}) {
    static const char* const kCodes[] = {"VO", "AV", "CA"};
    // Only a hovered picture goes back to normal: a button disabled since
    // it was hovered stays disabled.
    if (marker_ == kCodes[Index(b)] && State(b) == ButtonPicture::kHover)
      Set(b, ButtonPicture::kNormal);
  }
}

WizardAction WizardFlow::Next() {
  if (running_ || buttons_.State(WizardButton::kNext) == ButtonPicture::kDisabled)
    return WizardAction::kNone;
  if (page_ == pages_) return WizardAction::kExit;
  if (page_ == work_page_) {
    buttons_.SetAll(ButtonPicture::kDisabled);
    running_ = true;
    return WizardAction::kRunWork;
  }
  ++page_;
  buttons_.Set(WizardButton::kBack, ButtonPicture::kNormal);
  if (page_ == terms_page_ && !accepted_) buttons_.Set(WizardButton::kNext, ButtonPicture::kDisabled);
  return WizardAction::kShowPage;
}

WizardAction WizardFlow::Back() {
  if (running_ || buttons_.State(WizardButton::kBack) == ButtonPicture::kDisabled ||
      page_ == 1)
    return WizardAction::kNone;
  --page_;
  if (page_ == 1) {
    buttons_.Set(WizardButton::kBack, ButtonPicture::kDisabled);
    buttons_.Set(WizardButton::kNext, ButtonPicture::kNormal);
  }
  return WizardAction::kShowPage;
}

WizardAction WizardFlow::Press(WizardButton b) {
  switch (b) {
    case WizardButton::kBack: return Back();
    case WizardButton::kNext: return Next();
    case WizardButton::kCancel: break;
  }
  return Cancel();
}

WizardAction WizardFlow::Cancel() {
  if (running_ || buttons_.State(WizardButton::kCancel) == ButtonPicture::kDisabled)
    return WizardAction::kNone;
  return WizardAction::kAskCancel;
}

void WizardFlow::Accept(bool accepted) {
  accepted_ = accepted;
  if (page_ != terms_page_) return;
  buttons_.Set(WizardButton::kNext, accepted ? ButtonPicture::kNormal : ButtonPicture::kDisabled);
}

WizardAction WizardFlow::WorkFinished(bool ok) {
  running_ = false;
  if (!ok) {
    return WizardAction::kNone;
  }
  page_ = pages_;
  buttons_.Set(WizardButton::kBack, ButtonPicture::kDisabled);
  buttons_.Set(WizardButton::kCancel, ButtonPicture::kDisabled);
  buttons_.Set(WizardButton::kNext, ButtonPicture::kNormal);
  return WizardAction::kShowPage;
}

void WizardFlow::WorkNotStarted() {
  running_ = false;
  buttons_.SetAll(ButtonPicture::kNormal);
  if (page_ == 1) buttons_.Set(WizardButton::kBack, ButtonPicture::kDisabled);
}

bool WizardFlow::MayClose() const { return !running_; }

}  // namespace kova
