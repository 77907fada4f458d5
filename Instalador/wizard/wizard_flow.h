// Page and button rules shared by the installer and the uninstaller
// windows. Each of Back, Next and Cancel is three stacked pictures (normal,
// hover, disabled) of which one is visible; the window draws whichever
// picture this model says and forwards mouse moves and clicks to it.
#pragma once
#include <string>

namespace kova {

enum class WizardButton { kBack, kNext, kCancel };
enum class ButtonPicture { kNormal = 0, kHover = 1, kDisabled = 2 };

class WizardButtons {
 public:
  ButtonPicture State(WizardButton b) const { return state_[Index(b)]; }
  void Set(WizardButton b, ButtonPicture p) { state_[Index(b)] = p; }
  void SetAll(ButtonPicture p) {
    for (ButtonPicture& s : state_) s = p;
  }
  // The mouse over a button: it shows its hover picture unless disabled.
  void MouseOver(WizardButton b);
  // The mouse over the background: the button last hovered turns normal.
  void MouseOverBackground();
  // "VO", "AV", "CA", or empty before any hover.
  const std::string& Marker() const { return marker_; }

 private:
  static int Index(WizardButton b) { return static_cast<int>(b); }
  ButtonPicture state_[3] = {ButtonPicture::kDisabled, ButtonPicture::kNormal,
                             ButtonPicture::kNormal};
  std::string marker_;
};

// What the window must do after a click.
enum class WizardAction {
  kNone,
  kShowPage,   // show Page() instead of the page before
  kRunWork,    // the work page's Next: run the install or the uninstall
  kAskCancel,  // ask whether to leave
  kExit,       // end the program
};

// Pages 1..page_count. The terms page (0 for none) keeps Next disabled until
// the terms are accepted; Next on the work page runs the work; Next on the
// last page ends the program.
class WizardFlow {
 public:
  WizardFlow(int page_count, int terms_page, int work_page)
      : pages_(page_count), terms_page_(terms_page), work_page_(work_page) {}

  int Page() const { return page_; }
  WizardButtons& Buttons() { return buttons_; }
  const WizardButtons& Buttons() const { return buttons_; }
  bool Accepted() const { return accepted_; }
  bool Running() const { return running_; }

  // Clicks, each acting only while its button allows it.
  WizardAction Next();
  WizardAction Back();
  WizardAction Cancel();
  // The click of one of the three buttons.
  WizardAction Press(WizardButton b);
  // The terms option buttons.
  void Accept(bool accepted);
  // The work ended: on success the last page, otherwise every button stays
  // disabled.
  WizardAction WorkFinished(bool ok);
  // The work did not start (the program is still open and the user went
  // back): the work page as before Next, every button usable.
  void WorkNotStarted();
  // Whether closing the window may end the program now.
  bool MayClose() const;

 private:
  int pages_, terms_page_, work_page_;
  int page_ = 1;
  bool accepted_ = false;
  bool running_ = false;
  WizardButtons buttons_;
};

}  // namespace kova
