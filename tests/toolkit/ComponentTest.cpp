#include <gtest/gtest.h>

#include <memory>

#include "ToolkitFixture.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"
#include "toolkit/Hooks.h"
#include "toolkit/Label.h"
#include "toolkit/Panel.h"

using namespace toolkit;

namespace {

// Counts its own destructions so tests can see who freed it.
class Tracked : public TComponent {
 public:
  Tracked(TComponent* owner, int* destroyed) : TComponent(owner), destroyed_(destroyed) {}
  ~Tracked() override { ++*destroyed_; }

 private:
  int* destroyed_;
};

using OwnershipTest = ToolkitTest;

TEST_F(OwnershipTest, OwnerFreesWhatItOwnsAndEarlyDeletionLeavesTheList) {
  int destroyed = 0;
  auto owner = std::make_unique<TComponent>(nullptr);
  Tracked* first = owner->Create<Tracked>(&destroyed);
  owner->Create<Tracked>(&destroyed);
  first->SetName("First");
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->FindComponent("FIRST"), first);

  delete first;
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->FindComponent("First"), nullptr);

  owner.reset();
  EXPECT_EQ(destroyed, 2);
}

TEST_F(OwnershipTest, InsertComponentMovesBetweenOwners) {
  TComponent a(nullptr), b(nullptr);
  int destroyed = 0;
  Tracked* item = a.Create<Tracked>(&destroyed);
  b.InsertComponent(item);
  EXPECT_EQ(a.ComponentCount(), 0);
  EXPECT_EQ(b.ComponentCount(), 1);
  EXPECT_EQ(item->Owner(), &b);
}

TEST_F(OwnershipTest, InsertionHookSeesTheFinishedObject) {
  TForm form(nullptr);
  int buttonsSeen = 0;
  const int id = Hooks::Get().componentInserted.Add([&](TComponent& owner, TComponent& component) {
    if (&owner == &form && dynamic_cast<TButton*>(&component) != nullptr) ++buttonsSeen;
  });
  form.Create<TButton>();
  form.Create<TLabel>();
  EXPECT_TRUE(Hooks::Get().componentInserted.Remove(id));
  form.Create<TButton>();
  EXPECT_EQ(buttonsSeen, 1);
  EXPECT_FALSE(Hooks::Get().componentInserted.Remove(id));
}

TEST_F(OwnershipTest, ParentsAndChildrenStayConsistentWhicheverGoesFirst) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* panel = form->Create<TPanel>();
  panel->SetParent(form.get());
  auto* box = form->Create<TCheckBox>();
  box->SetParent(panel);
  int inserted = 0;
  const int id = Hooks::Get().controlInserted.Add([&](TWinControl& parent, TControl& control) {
    if (&parent == panel && &control != box) ++inserted;
  });
  auto* label = form->Create<TLabel>();
  label->SetParent(panel);
  Hooks::Get().controlInserted.Remove(id);
  EXPECT_EQ(inserted, 1);
  EXPECT_EQ(panel->ControlCount(), 2);

  delete box;
  EXPECT_EQ(panel->ControlCount(), 1);
  delete panel;  // the label stays owned by the form, without a parent
  EXPECT_EQ(label->Parent(), nullptr);
  EXPECT_EQ(form->ComponentCount(), 1);
  form.reset();
}

TEST_F(OwnershipTest, WindowsFollowControlsAndAreOwnedByTheApplicationWindow) {
  platform::WindowCreateParams hostParams;
  hostParams.className = "HostWindow";
  const platform::HWND host = platform::CreateWindow(hostParams);
  Application().SetHandle(host);

  platform::HWND formWindow = 0, buttonWindow = 0;
  {
    TForm form(nullptr);
    form.SetCaption("Owned");
    auto* button = form.Create<TButton>();
    button->SetParent(&form);
    formWindow = form.Handle();
    buttonWindow = button->Handle();
    EXPECT_EQ(platform::GetWindowOwner(formWindow), host);
    EXPECT_EQ(platform::GetParent(buttonWindow), formWindow);
    EXPECT_EQ(platform::GetWindowText(formWindow), "Owned");
    EXPECT_EQ(TWinControl::FindControl(buttonWindow), button);
  }
  EXPECT_FALSE(platform::IsWindow(formWindow));
  EXPECT_FALSE(platform::IsWindow(buttonWindow));
  EXPECT_EQ(TWinControl::FindControl(buttonWindow), nullptr);
  platform::DestroyWindow(host);
}

}  // namespace
