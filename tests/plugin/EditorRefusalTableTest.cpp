// The plug-in against an editor that refuses: for every entry of the editor's
// function list in turn, its fault point armed, every kind's wrapper is made,
// read and written back. Nothing may escape, a wrapper is made unless the
// kind query itself was refused, and the editor's object is left as it was:
// what a refused read left in the wrapper is never written over the record.
// The entries come from the list itself, so an export added to it is covered.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EditorTestSession.h"
#include "platform/FaultPoints.h"
#include "plugin/RTL/PcbWrap.h"
#include "tests/TestSupport.h"

namespace strativue {
namespace {

namespace faults = platform::faults;

const std::vector<std::string>& EntryNames() {
#define PLUGIN_TEST_ENTRY_NAME(name, result, params) #name,
  static const std::vector<std::string> kNames = {ABI_PCBAPI_TYPED_FUNCTIONS(PLUGIN_TEST_ENTRY_NAME)};
#undef PLUGIN_TEST_ENTRY_NAME
  return kNames;
}

int64_t CallsOf(const std::string& point) {
  for (const auto& count : faults::Counts())
    if (count.point == point) return count.calls;
  return 0;
}

class EditorRefusalTableTest : public editortest::EditorTest {
 protected:
  void TearDown() override {
    faults::Clear();
    EditorTest::TearDown();
  }

  // A free object of every kind the editor makes.
  std::vector<qvabi::PcbHandle> OneOfEveryKind() {
    std::vector<qvabi::PcbHandle> objects;
    for (int kind = 1; kind < 32; ++kind)
      if (const qvabi::PcbHandle object = PcbApi::CreateObject(static_cast<uint8_t>(kind)))
        objects.push_back(object);
    return objects;
  }
};

TEST_F(EditorRefusalTableTest, EveryWrapperCopesWithEachRefusedCall) {
  const std::vector<qvabi::PcbHandle> objects = OneOfEveryKind();
  ASSERT_EQ(objects.size(), 23u) << "one object per kind code";
  int refusedReads = 0;
  for (const std::string& name : EntryNames()) {
    const std::string point = "editor." + name;
    for (const qvabi::PcbHandle object : objects) {
      SCOPED_TRACE(point + ", kind " + std::to_string(PcbApi::GetObjectIdFromObjectHandle(object)));
      const std::string before = sim_->DescribeObject(object);
      {
        const testsupport::FailingCall fails(point);
        faults::ResetCounts();
        std::unique_ptr<TPCBObject> wrapped;
        EXPECT_NO_THROW({
          wrapped = WrapObject(object);
          if (wrapped) wrapped->Sync(qvabi::ReadMode);
        });
        if (CallsOf(point) == 0) continue;
        if (!wrapped) {
          EXPECT_EQ(name, "GetObjectIdFromObjectHandle");
          continue;
        }
        ++refusedReads;
        EXPECT_NO_THROW(wrapped->Sync(qvabi::WriteMode));
      }
      EXPECT_EQ(sim_->DescribeObject(object), before);
    }
  }
  EXPECT_GT(refusedReads, 0);
}

}  // namespace
}  // namespace strativue
