// Actions queued by another module: the test program plays that module, with
// a courier of its own, and the toolkit under test takes its actions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ToolkitFixture.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"

using namespace toolkit;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Optional;
using ::testing::Pair;

namespace {

// The other module's side: its queued actions, and what came back.
struct OtherModule {
  std::map<intptr_t, std::pair<AutomationTicket, std::string>> queued;
  std::vector<intptr_t> taken;
  std::vector<std::pair<intptr_t, std::optional<std::string>>> finished;
  std::vector<TForm*> looked;
  std::string lookError;
};
OtherModule* g_other = nullptr;

bool Take(intptr_t id, AutomationTicket* ticket) {
  g_other->taken.push_back(id);
  auto it = g_other->queued.find(id);
  if (it == g_other->queued.end()) return false;
  *ticket = it->second.first;
  ticket->target = it->second.second.c_str();
  return true;
}

const char* Look(intptr_t, TForm* form) {
  g_other->looked.push_back(form);
  return g_other->lookError.empty() ? nullptr : g_other->lookError.c_str();
}

void Finish(intptr_t id, const char* failure) {
  g_other->finished.emplace_back(id, failure ? std::optional<std::string>(failure) : std::nullopt);
  g_other->queued.erase(id);
}

const AutomationCourier kOtherCourier{
    {'A', 'u', 't', 'o', 'm', 'a', 't', 'i', 'o', 'n', '/', '1'}, &kOtherCourier, &Take, &Look, &Finish};
// Signed, but with a function missing.
const AutomationCourier kLookless{
    {'A', 'u', 't', 'o', 'm', 'a', 't', 'i', 'o', 'n', '/', '1'}, &kLookless, &Take, nullptr, &Finish};

class AutomationCourierTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    g_other = &other;
    form->SetCaption("Setup");
    ok->SetName("ButtonOK");
    ok->SetModalResult(mrOk);
    box->SetName("chFirst");
    ok->SetParent(form.get());
    box->SetParent(form.get());
  }
  void TearDown() override {
    g_other = nullptr;
    ToolkitTest::TearDown();
  }

  // Queues an action on the other module's side, as its toolkit would.
  void Queue(intptr_t id, AutomationKind kind, std::string target = {}, bool checked = false,
             const AutomationCourier& courier = kOtherCourier) {
    AutomationTicket ticket;
    ticket.kind = kind;
    ticket.checked = checked;
    other.queued[id] = {ticket, std::move(target)};
    PostFrom(reinterpret_cast<intptr_t>(&courier), id);
  }
  static void PostFrom(intptr_t courier, intptr_t id) {
    platform::PostMessage(0, kAutomationMessage, courier, id);
  }

  OtherModule other;
  std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
  TButton* ok = form->Create<TButton>();
  TCheckBox* box = form->Create<TCheckBox>();
};

TEST_F(AutomationCourierTest, AnotherModulesActionsAreCarriedOutHereAndReportedThere) {
  Queue(1, AutomationKind::SetChecked, "chFirst", true);
  Queue(2, AutomationKind::Inspect);
  Queue(3, AutomationKind::Click, "Nothing here");
  PostFrom(reinterpret_cast<intptr_t>(&kOtherCourier), 1);  // the same action again
  Queue(4, AutomationKind::Click, "buttonok");
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_TRUE(box->Checked());
  EXPECT_THAT(other.looked, ElementsAre(form.get()));
  EXPECT_THAT(other.taken, ElementsAre(1, 2, 3, 1, 4));
  ASSERT_EQ(other.finished.size(), 4u);
  EXPECT_THAT(other.finished[0], Pair(1, std::nullopt));
  EXPECT_THAT(other.finished[1], Pair(2, std::nullopt));
  EXPECT_EQ(other.finished[2].first, 3);
  EXPECT_THAT(other.finished[2].second, Optional(HasSubstr("Nothing here")));
  EXPECT_THAT(other.finished[3], Pair(4, std::nullopt));
  // The failure is the other module's to report, not this one's.
  EXPECT_TRUE(automation::Failures().empty());
}

TEST_F(AutomationCourierTest, AnInspectionsErrorIsHandledWhereTheFormIs) {
  std::vector<std::string> handled;
  Application().OnException = [&](TComponent*, std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& exception) {
      handled.emplace_back(exception.what());
    }
  };
  other.lookError = "cannot draw the dialog";
  Queue(1, AutomationKind::Inspect);
  Queue(2, AutomationKind::Click, "ButtonOK");
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_THAT(handled, ElementsAre("cannot draw the dialog"));
  ASSERT_EQ(other.finished.size(), 2u);
  EXPECT_THAT(other.finished[0], Pair(1, std::nullopt));
}

TEST_F(AutomationCourierTest, OnlyACourierThatAModuleHoldsIsTrusted) {
  // The message number is no secret: a message naming anything else than a
  // module's own courier, whole, is dropped without a call through it (which
  // addresses are a module's signed table is platform::SignedTableAt's).
  // A perfect copy outside every module (on the stack).
  alignas(AutomationCourier) unsigned char elsewhere[sizeof(AutomationCourier)];
  auto* copy = reinterpret_cast<AutomationCourier*>(elsewhere);
  std::memcpy(copy, &kOtherCourier, sizeof kOtherCourier);
  copy->self = copy;
  other.queued[7] = {AutomationTicket{}, "chFirst"};
  other.queued[7].first.kind = AutomationKind::SetChecked;
  other.queued[7].first.checked = true;
  PostFrom(reinterpret_cast<intptr_t>(copy), 7);
  PostFrom(reinterpret_cast<intptr_t>(&kLookless), 7);
  Application().ProcessMessages();
  EXPECT_TRUE(other.taken.empty());
  EXPECT_FALSE(box->Checked());
  // The genuine courier is still heard.
  PostFrom(reinterpret_cast<intptr_t>(&kOtherCourier), 7);
  form->Show();
  Application().ProcessMessages();
  EXPECT_THAT(other.taken, ElementsAre(7));
  EXPECT_TRUE(box->Checked());
}

}  // namespace
