// The options store: one INI file per section, Booleans as integers.
#include <gtest/gtest.h>

#include "HostTestSession.h"
#include "host/HostSettings.h"
#include "platform/IniFile.h"
#include "platform/WideString.h"

namespace quorvex::test {
namespace {

class OptionsStoreTest : public HostTest {
 protected:
  qvabi::ComPtr<qvabi::IOptionsReader> Reader(const char* section, const char* location = "") {
    qvabi::ComPtr<qvabi::IOptionsManager> manager;
    EXPECT_EQ(client()->GetOptionsManager(manager.put()), qvabi::S_OK);
    qvabi::ComPtr<qvabi::IOptionsReader> reader;
    platform::BStr wideSection = platform::BStr::FromUtf8(section);
    platform::BStr wideLocation = platform::BStr::FromUtf8(location);
    EXPECT_EQ(manager->GetOptionsReader(wideSection.get(), wideLocation.get(), reader.put()), qvabi::S_OK);
    return reader;
  }
  qvabi::ComPtr<qvabi::IOptionsWriter> Writer(const char* section) {
    qvabi::ComPtr<qvabi::IOptionsManager> manager;
    EXPECT_EQ(client()->GetOptionsManager(manager.put()), qvabi::S_OK);
    qvabi::ComPtr<qvabi::IOptionsWriter> writer;
    platform::BStr wideSection = platform::BStr::FromUtf8(section);
    EXPECT_EQ(manager->GetOptionsWriter(wideSection.get(), writer.put()), qvabi::S_OK);
    return writer;
  }
  qvabi::BOOL32 Read(qvabi::IOptionsReader* reader, const char* key, qvabi::BOOL32 defaultValue) {
    platform::BStr group = platform::BStr::FromUtf8("LayerStackupLegend");
    platform::BStr wideKey = platform::BStr::FromUtf8(key);
    qvabi::BOOL32 value = 77;
    EXPECT_EQ(reader->ReadBoolean(group.get(), wideKey.get(), defaultValue, &value), qvabi::S_OK);
    return value;
  }
  void Write(qvabi::IOptionsWriter* writer, const char* key, qvabi::BOOL32 value) {
    platform::BStr group = platform::BStr::FromUtf8("LayerStackupLegend");
    platform::BStr wideKey = platform::BStr::FromUtf8(key);
    EXPECT_EQ(writer->WriteBoolean(group.get(), wideKey.get(), value), qvabi::S_OK);
  }
};

TEST_F(OptionsStoreTest, WrittenBooleansAreStoredAsIntegersAndReadBack) {
  auto writer = Writer("Brelix");
  ASSERT_TRUE(writer);
  Write(writer.get(), "CopperHeight", qvabi::kTrue32);
  Write(writer.get(), "Type", qvabi::kFalse32);
  Write(writer.get(), "Gerbers", 1);
  const std::string path = OptionsFilePath("Brelix");
  // The values land together, when the writer is released.
  EXPECT_FALSE(platform::FileExists(path));
  writer.reset();

  EXPECT_EQ(path, HostPreferenceFolder() + "\\Options\\Brelix.ini");
  EXPECT_EQ(platform::GetPrivateProfileString("LayerStackupLegend", "CopperHeight", "", path), "-1");
  EXPECT_EQ(platform::GetPrivateProfileString("LayerStackupLegend", "Type", "", path), "0");
  EXPECT_EQ(platform::GetPrivateProfileString("LayerStackupLegend", "Gerbers", "", path), "-1");

  auto reader = Reader("brelix");
  ASSERT_TRUE(reader);
  EXPECT_EQ(Read(reader.get(), "CopperHeight", qvabi::kFalse32), qvabi::kTrue32);
  EXPECT_EQ(Read(reader.get(), "Type", qvabi::kTrue32), qvabi::kFalse32);
  EXPECT_EQ(Read(reader.get(), "copperheight", qvabi::kFalse32), qvabi::kTrue32);
}

TEST_F(OptionsStoreTest, MissingOrBrokenValuesGiveTheDefault) {
  auto reader = Reader("Brelix");
  EXPECT_EQ(Read(reader.get(), "Material", qvabi::kTrue32), qvabi::kTrue32);
  EXPECT_EQ(Read(reader.get(), "Material", qvabi::kFalse32), qvabi::kFalse32);

  const std::string path = OptionsFilePath("Brelix");
  ASSERT_TRUE(platform::CreateDirectories(HostPreferenceFolder() + "\\Options"));
  ASSERT_TRUE(platform::WritePrivateProfileString("LayerStackupLegend", "Material", "yes", path));
  ASSERT_TRUE(platform::WritePrivateProfileString("LayerStackupLegend", "Constant", "5", path));
  EXPECT_EQ(Read(reader.get(), "Material", qvabi::kFalse32), qvabi::kFalse32);
  EXPECT_EQ(Read(reader.get(), "Constant", qvabi::kFalse32), qvabi::kTrue32);
}

TEST_F(OptionsStoreTest, AReaderForAnotherLocationReadsThere) {
  ASSERT_TRUE(platform::CreateDirectories("C:\\Shared"));
  ASSERT_TRUE(
      platform::WritePrivateProfileString("LayerStackupLegend", "Type", "1", "C:\\Shared\\Brelix.ini"));
  EXPECT_EQ(Read(Reader("Brelix", "C:\\Shared\\").get(), "Type", qvabi::kFalse32), qvabi::kTrue32);
  EXPECT_EQ(Read(Reader("Brelix").get(), "Type", qvabi::kFalse32), qvabi::kFalse32);
}

TEST_F(OptionsStoreTest, SectionNamesThatAreNoFileNamesAreRefused) {
  qvabi::ComPtr<qvabi::IOptionsManager> manager;
  ASSERT_EQ(client()->GetOptionsManager(manager.put()), qvabi::S_OK);
  for (const char* section : {"", "..\\Host", "a/b", "x:y", ".."}) {
    platform::BStr wide = platform::BStr::FromUtf8(section);
    qvabi::ComPtr<qvabi::IOptionsWriter> writer;
    EXPECT_EQ(manager->GetOptionsWriter(wide.get(), writer.put()), qvabi::E_UNEXPECTED) << section;
    EXPECT_FALSE(writer);
    EXPECT_NE(TakeThreadError().description.find("Invalid options section name"), std::string::npos);
    qvabi::ComPtr<qvabi::IOptionsReader> reader;
    EXPECT_EQ(manager->GetOptionsReader(wide.get(), nullptr, reader.put()), qvabi::E_UNEXPECTED) << section;
  }
  EXPECT_EQ(manager->GetOptionsWriter(nullptr, nullptr), qvabi::E_UNEXPECTED);
}

// A writer whose write failed was not given a whole choice: it stores none
// of it, and what the store held stays.
TEST_F(OptionsStoreTest, ANameALineCannotHoldIsRefusedAndNothingIsLost) {
  auto first = Writer("Brelix");
  Write(first.get(), "CopperHeight", qvabi::kTrue32);
  first.reset();
  auto writer = Writer("Brelix");
  Write(writer.get(), "CopperHeight", qvabi::kFalse32);
  Write(writer.get(), "Type", qvabi::kTrue32);
  platform::BStr group = platform::BStr::FromUtf8("LayerStackupLegend");
  platform::BStr badKey = platform::BStr::FromUtf8("A=B");
  EXPECT_EQ(writer->WriteBoolean(group.get(), badKey.get(), qvabi::kTrue32), qvabi::E_UNEXPECTED);
  writer.reset();
  EXPECT_EQ(Read(Reader("Brelix").get(), "CopperHeight", qvabi::kFalse32), qvabi::kTrue32);
  EXPECT_EQ(Read(Reader("Brelix").get(), "Type", qvabi::kFalse32), qvabi::kFalse32);
}

// Writers that overlap each store their whole choice in one change, in the
// order they are released: the store never holds a mix of two choices.
TEST_F(OptionsStoreTest, OverlappingWritersEachLeaveTheirWholeChoice) {
  const char* keys[] = {"CopperHeight", "Type",     "Gerbers",       "DielHeight",
                        "Material",     "Constant", "ExtDielectrics"};
  const auto choice = [&] {
    std::string values;
    auto reader = Reader("Brelix");
    for (const char* key : keys) values += Read(reader.get(), key, qvabi::kFalse32) ? '1' : '0';
    return values;
  };
  auto a = Writer("Brelix");
  auto b = Writer("Brelix");
  for (int i = 0; i < 7; ++i) {
    Write(a.get(), keys[i], i < 4 ? qvabi::kTrue32 : qvabi::kFalse32);
    Write(b.get(), keys[i], i < 4 ? qvabi::kFalse32 : qvabi::kTrue32);
  }
  a.reset();
  EXPECT_EQ(choice(), "1111000");
  b.reset();
  EXPECT_EQ(choice(), "0000111");
}

TEST_F(OptionsStoreTest, TheFailureSwitchFailsFromTheNthValueOnAndResetClearsIt) {
  auto writer = Writer("Brelix");
  FailOptionsFrom(OptionsAccess::Write, 3, "disk full");
  platform::BStr group = platform::BStr::FromUtf8("LayerStackupLegend");
  const char* keys[] = {"CopperHeight", "Gerbers", "Type", "DielHeight"};
  std::vector<qvabi::HRESULT> statuses;
  for (const char* key : keys)
    statuses.push_back(
        writer->WriteBoolean(group.get(), platform::BStr::FromUtf8(key).get(), qvabi::kTrue32));
  // The first two are taken, the third and every later one fail, and the
  // writer then stores nothing.
  EXPECT_EQ(statuses, (std::vector<qvabi::HRESULT>{qvabi::S_OK, qvabi::S_OK, qvabi::E_UNEXPECTED,
                                                   qvabi::E_UNEXPECTED}));
  EXPECT_EQ(TakeThreadError().description, "disk full");
  writer.reset();
  const std::string path = OptionsFilePath("Brelix");
  EXPECT_EQ(platform::GetPrivateProfileString("LayerStackupLegend", "Gerbers", "", path), "");
  EXPECT_EQ(platform::GetPrivateProfileString("LayerStackupLegend", "Type", "", path), "");

  FailOptionsFrom(OptionsAccess::Read, 1, "unreadable");
  auto reader = Reader("Brelix");
  qvabi::BOOL32 value = 77;
  EXPECT_EQ(reader->ReadBoolean(group.get(), platform::BStr::FromUtf8("Gerbers").get(), 0, &value),
            qvabi::E_UNEXPECTED);
  EXPECT_EQ(value, qvabi::kFalse32);

  host().Reset();
  EXPECT_EQ(Read(reader.get(), "Gerbers", qvabi::kFalse32), qvabi::kFalse32);
  writer = Writer("Brelix");
  Write(writer.get(), "Gerbers", qvabi::kTrue32);
  writer.reset();
  EXPECT_EQ(Read(reader.get(), "Gerbers", qvabi::kFalse32), qvabi::kTrue32);
}

TEST_F(OptionsStoreTest, AWithheldReaderOrWriterIsNilWithSuccess) {
  qvabi::ComPtr<qvabi::IOptionsManager> manager;
  ASSERT_EQ(client()->GetOptionsManager(manager.put()), qvabi::S_OK);
  platform::BStr section = platform::BStr::FromUtf8("Brelix");
  WithholdOptions(OptionsAccess::Read, true);
  qvabi::ComPtr<qvabi::IOptionsReader> reader;
  EXPECT_EQ(manager->GetOptionsReader(section.get(), nullptr, reader.put()), qvabi::S_OK);
  EXPECT_FALSE(reader);
  EXPECT_TRUE(Writer("Brelix"));
  WithholdOptions(OptionsAccess::Write, true);
  qvabi::ComPtr<qvabi::IOptionsWriter> writer;
  EXPECT_EQ(manager->GetOptionsWriter(section.get(), writer.put()), qvabi::S_OK);
  EXPECT_FALSE(writer);
}

}  // namespace
}  // namespace quorvex::test
