// The error policy: which errors go to the host's error reporting, the error
// information set while a catch-all handler runs, and the crash report.
#include <gtest/gtest.h>

#include <new>
#include <string>

#include "PluginModuleSession.h"
#include "host/Host.h"
#include "platform/Diagnostics.h"
#include "platform/Faults.h"
#include "platform/Journal.h"
#include "platform/Machine.h"
#include "plugin/RTL/ClientApi.h"
#include "plugin/RTL/ErrorPolicy.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/UiHooks.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/MessageLog.h"

namespace strativue {
namespace {

using Kind = quorvex::ErrorReport::Kind;

// A storage failure of another library, known to the policy only by the
// name of its parent class, written in another letter case.
class EStorageParent : public Exception {
 public:
  using Exception::Exception;
  static const ExceptionClass& StaticClass() {
    static const ExceptionClass info{"eptstgexception", &Exception::StaticClass()};
    return info;
  }
  const ExceptionClass& Class() const override { return StaticClass(); }
};
STRATIVUE_DECLARE_EXCEPTION(EStorageFailure, EStorageParent)

__attribute__((noinline)) void DereferenceNilInHandler() { platform::RaiseAccessViolation(0, false); }

TEST(ErrorPolicyClassesTest, SystemErrorsByClassNameAndDerivation) {
  EXPECT_TRUE(IsSystemErrorClass(EAccessViolation::StaticClass()));
  EXPECT_TRUE(IsSystemErrorClass(EOutOfMemory::StaticClass()));
  // A failed host (COM) call derives from the class named EOleError.
  EXPECT_TRUE(IsSystemErrorClass(EHostError::StaticClass()));
  EXPECT_TRUE(IsSystemErrorClass(EStorageFailure::StaticClass()));
  EXPECT_FALSE(IsSystemErrorClass(EAssertionFailed::StaticClass()));
  EXPECT_FALSE(IsSystemErrorClass(Exception::StaticClass()));

  const auto describe = [](auto thrown) { return DescribeCaughtError(std::make_exception_ptr(thrown)); };
  EXPECT_TRUE(describe(std::bad_alloc()).systemError);
  EXPECT_TRUE(describe(toolkit::EInvalidOperation("Cannot focus")).systemError);
  EXPECT_FALSE(describe(std::runtime_error("plain")).systemError);
  EXPECT_EQ(describe(std::runtime_error("plain")).subject.className, "std::runtime_error");
}

TEST(ErrorPolicyClassesTest, OperatingSystemExceptionNames) {
  EXPECT_EQ(OsExceptionName(0xC0000005u), "Access Violation");
  EXPECT_EQ(OsExceptionName(0xC00000FDu), "Stack Overflow");
  EXPECT_EQ(OsExceptionName(0xE0434F4Du), "Error (E0434F4D)");
  EXPECT_EQ(OsExceptionName(0x0000000Au), "Error (0000000A)");
  // A mapped code becomes an exception object of its class; an unmapped one
  // keeps its name and no object.
  try {
    platform::RaiseOsException(platform::EXCEPTION_INT_DIVIDE_BY_ZERO);
  } catch (const platform::OsException& fault) {
    const auto mapped = MapOsException(fault);
    ASSERT_NE(mapped, nullptr);
    EXPECT_STREQ(mapped->ClassName(), "EDivByZero");
  }
  const TCaughtError unmapped =
      DescribeCaughtError(std::make_exception_ptr(platform::OsException(0xE0434F4Du, 0x1234, {})));
  EXPECT_FALSE(unmapped.hasObject);
  EXPECT_TRUE(unmapped.systemError);
  EXPECT_EQ(unmapped.message, "Error (E0434F4D)");
  EXPECT_EQ(unmapped.address, 0x1234u);
}

class ErrorPolicyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = moduletest::MakeMachineRoot();
    platform::SetMachineRoot(root_);
    quorvex::Host::Instance().Reset();
    toolkit::MessageLog::Clear();
    ClientAPI::Resolve();
    SetHostClient(quorvex::Host::Instance().GetClient());
    InstallUiHooks();
  }
  void TearDown() override {
    RemoveUiHooks();
    SetHostClient(nullptr);
    ClientAPI::ResolveFrom(nullptr);
    quorvex::Host::Instance().Reset();
    platform::SetMachineRoot("");
    std::filesystem::remove_all(root_);
  }

  static std::vector<quorvex::ErrorReport> Reports() { return quorvex::Host::Instance().ErrorReports(); }
  // What a dialog's event handler does: the toolkit's catch-all guard.
  static void InHandler(const std::function<void()>& handler) {
    toolkit::TForm form(nullptr);
    toolkit::Application().Guard(&form, handler);
  }

  std::string root_;
};

TEST_F(ErrorPolicyTest, AccessViolationInAHandlerGoesToTheHostWithAReportNamingTheFunction) {
  InHandler(DereferenceNilInHandler);
  const auto reports = Reports();
  // Set at the handler's entry, set again by the application's handler,
  // handed over, cleared at the end.
  ASSERT_EQ(reports.size(), 4u);
  EXPECT_EQ(reports[0].kind, Kind::SetErrorInfo);
  EXPECT_EQ(reports[1].kind, Kind::SetErrorInfo);
  EXPECT_EQ(reports[2].kind, Kind::HandleException);
  EXPECT_EQ(reports[2].value, 0);
  EXPECT_EQ(reports[3].kind, Kind::ClearErrorInfo);
  const auto& set = reports[1];
  EXPECT_EQ(set.message.rfind("Access violation at address ", 0), 0u) << set.message;
  // Addresses are written with as many digits as a pointer of the build has.
  const std::string nil(2 * sizeof(void*), '0');
  EXPECT_NE(set.message.find(". Read of address " + nil + "."), std::string::npos) << set.message;
  EXPECT_EQ(set.report.rfind("Exception: " + set.message + "\nClass: EAccessViolation\nAddress: ", 0), 0u)
      << set.report;
  // The faulting function is named on the address line (the test program has symbols).
  const std::string addressLine = set.report.substr(set.report.find("Address: "));
  EXPECT_NE(addressLine.substr(0, addressLine.find('\n')).find("DereferenceNilInHandler"), std::string::npos)
      << set.report;
  EXPECT_NE(set.report.find("Thread: " + std::to_string(platform::GetCurrentThreadId()) + "\n"),
            std::string::npos);
  EXPECT_NE(set.report.find("\nModules:\n"), std::string::npos);
  EXPECT_TRUE(toolkit::MessageLog::Entries().empty());
}

TEST_F(ErrorPolicyTest, ComErrorsTakeTheSystemPathAndPlainErrorsAnErrorBox) {
  InHandler([] { throw EStorageFailure("Storage is read-only"); });
  ASSERT_EQ(Reports().size(), 4u);
  EXPECT_EQ(Reports()[2].kind, Kind::HandleException);
  quorvex::Host::Instance().Reset();

  InHandler([] { throw EAssertionFailed("Nothing to draw"); });
  const auto reports = Reports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].kind, Kind::SetErrorInfo);
  EXPECT_EQ(reports[0].message, "Nothing to draw");
  EXPECT_EQ(reports[1].kind, Kind::ClearErrorInfo);
  const auto boxes = toolkit::MessageLog::Entries();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].text, "Nothing to draw");
}

TEST_F(ErrorPolicyTest, UnmappedCodesAndForeignValuesAreNamedByTheirCode) {
  InHandler([] { platform::RaiseOsException(0xE0434F4Du); });
  auto reports = Reports();
  ASSERT_GE(reports.size(), 1u);
  EXPECT_EQ(reports[0].message, "Error (E0434F4D)");
  // Without an exception object the report has no exception lines.
  EXPECT_EQ(reports[0].report.rfind("Address: ", 0), 0u) << reports[0].report;
  quorvex::Host::Instance().Reset();
  InHandler([] { throw 42; });
  reports = Reports();
  ASSERT_EQ(reports.size(), 2u);  // no object: the application's handler does nothing
  EXPECT_EQ(reports[0].message, "Error (E06D7363)");
  EXPECT_TRUE(toolkit::MessageLog::Entries().empty());
}

}  // namespace
}  // namespace strativue
