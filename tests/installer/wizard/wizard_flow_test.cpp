// The page and button rules both wizards share.
#include <gtest/gtest.h>

#include "Instalador/wizard/wizard_flow.h"

namespace kova {
namespace {

// The installer: six pages, terms on 2, the install runs from 5.
TEST(WizardFlow, InstallerPagesAndButtons) {
  WizardFlow w(6, 2, 5);
  using B = WizardButton;
  using P = ButtonPicture;
  EXPECT_EQ(w.Page(), 1);
  EXPECT_EQ(w.Buttons().State(B::kBack), P::kDisabled);
  EXPECT_EQ(w.Back(), WizardAction::kNone);
  EXPECT_EQ(w.Next(), WizardAction::kShowPage);
  EXPECT_EQ(w.Page(), 2);
  EXPECT_EQ(w.Buttons().State(B::kNext), P::kDisabled);
  EXPECT_EQ(w.Buttons().State(B::kBack), P::kNormal);
  EXPECT_EQ(w.Next(), WizardAction::kNone);  // terms not accepted
  w.Accept(true);
  EXPECT_EQ(w.Buttons().State(B::kNext), P::kNormal);
  w.Accept(false);
  EXPECT_EQ(w.Buttons().State(B::kNext), P::kDisabled);
  w.Accept(true);
  EXPECT_EQ(w.Next(), WizardAction::kShowPage);
  EXPECT_EQ(w.Page(), 3);
  EXPECT_EQ(w.Back(), WizardAction::kShowPage);  // back to 2 keeps Next as it was
  EXPECT_EQ(w.Buttons().State(B::kNext), P::kNormal);
  EXPECT_EQ(w.Back(), WizardAction::kShowPage);  // back to 1
  EXPECT_EQ(w.Buttons().State(B::kBack), P::kDisabled);
  w.Next();  // accepted terms: Next stays usable on 2
  EXPECT_EQ(w.Buttons().State(B::kNext), P::kNormal);
  w.Next();
  w.Next();
  w.Next();
  EXPECT_EQ(w.Page(), 5);
  EXPECT_EQ(w.Cancel(), WizardAction::kAskCancel);
  EXPECT_EQ(w.Next(), WizardAction::kRunWork);
  EXPECT_TRUE(w.Running());
  EXPECT_FALSE(w.MayClose());
  for (B b : {B::kBack, B::kNext, B::kCancel}) EXPECT_EQ(w.Buttons().State(b), P::kDisabled);
  EXPECT_EQ(w.Cancel(), WizardAction::kNone);
  EXPECT_EQ(w.WorkFinished(true), WizardAction::kShowPage);
  EXPECT_EQ(w.Page(), 6);
  EXPECT_EQ(w.Buttons().State(B::kNext), P::kNormal);
  EXPECT_EQ(w.Buttons().State(B::kBack), P::kDisabled);
  EXPECT_EQ(w.Buttons().State(B::kCancel), P::kDisabled);
  EXPECT_EQ(w.Next(), WizardAction::kExit);
}

TEST(WizardFlow, FailedWorkKeepsEveryButtonDisabled) {
  WizardFlow w(3, 0, 2);  // the uninstaller
  EXPECT_EQ(w.Next(), WizardAction::kShowPage);
  EXPECT_EQ(w.Buttons().State(WizardButton::kNext), ButtonPicture::kNormal);
  EXPECT_EQ(w.Next(), WizardAction::kRunWork);
  EXPECT_EQ(w.WorkFinished(false), WizardAction::kNone);
  EXPECT_EQ(w.Page(), 2);
  EXPECT_EQ(w.Next(), WizardAction::kNone);
  EXPECT_EQ(w.Back(), WizardAction::kNone);
  EXPECT_EQ(w.Cancel(), WizardAction::kNone);
  EXPECT_TRUE(w.MayClose());
}

TEST(WizardFlow, HoverMarkerFollowsTheMouse) {
  WizardButtons b;
  b.MouseOver(WizardButton::kBack);  // disabled: nothing
  EXPECT_EQ(b.Marker(), "");
  EXPECT_EQ(b.State(WizardButton::kBack), ButtonPicture::kDisabled);
  b.MouseOver(WizardButton::kNext);
  EXPECT_EQ(b.Marker(), "AV");
  EXPECT_EQ(b.State(WizardButton::kNext), ButtonPicture::kHover);
  b.MouseOver(WizardButton::kCancel);
  EXPECT_EQ(b.Marker(), "CA");
  b.MouseOverBackground();
  EXPECT_EQ(b.State(WizardButton::kCancel), ButtonPicture::kNormal);
  EXPECT_EQ(b.Marker(), "CA");
  // Only the marked button is reset by the background.
  EXPECT_EQ(b.State(WizardButton::kNext), ButtonPicture::kHover);
}

TEST(WizardFlow, PressActsAsTheButtonsOwnClick) {
  WizardFlow pressed(6, 2, 5), clicked(6, 2, 5);
  EXPECT_EQ(pressed.Press(WizardButton::kNext), clicked.Next());
  EXPECT_EQ(pressed.Page(), 2);
  EXPECT_EQ(pressed.Press(WizardButton::kNext), clicked.Next());  // terms not accepted yet
  EXPECT_EQ(pressed.Page(), clicked.Page());
  EXPECT_EQ(pressed.Press(WizardButton::kBack), clicked.Back());
  EXPECT_EQ(pressed.Page(), 1);
  EXPECT_EQ(pressed.Press(WizardButton::kCancel), WizardAction::kAskCancel);
}

TEST(WizardFlow, WorkThatDidNotStartLeavesTheWorkPageUsable) {
  WizardFlow flow(6, 2, 5);
  flow.Next();
  flow.Accept(true);
  for (int i = 0; i < 3; ++i) flow.Next();
  ASSERT_EQ(flow.Next(), WizardAction::kRunWork);
  flow.WorkNotStarted();
  EXPECT_FALSE(flow.Running());
  EXPECT_EQ(flow.Page(), 5);
  for (WizardButton b : {WizardButton::kBack, WizardButton::kNext, WizardButton::kCancel})
    EXPECT_EQ(flow.Buttons().State(b), ButtonPicture::kNormal);
  EXPECT_EQ(flow.Next(), WizardAction::kRunWork);
}

}  // namespace
}  // namespace kova
