// The editor's 32-bit layer ids: builders, classes, numbers and the
// conversions both ways.
#include <gtest/gtest.h>

#include "plugin/RTL/RT_PCB.h"
#include "tests/TestSupport.h"

namespace strativue {
namespace {

TEST(LayerIds, EveryLayerSurvivesTheRoundTrip) {
  for (int id = 0; id <= kLastLayer; ++id) {
    const auto layer = static_cast<TLayerId>(id);
    EXPECT_EQ(ToPartitionId(layer), static_cast<TLayerPartitionId>(id));
    EXPECT_EQ(FromPartitionId(ToPartitionId(layer)), layer);
  }
  EXPECT_EQ(ToPartitionId(83), 0u);
  EXPECT_EQ(ToPartitionId(255), 0u);
}

TEST(LayerIds, BuildersGivePlainIdsInTheLegacyRange) {
  EXPECT_EQ(SignalLayer(1), 1u);
  EXPECT_EQ(SignalLayer(0xFFFF), 32u);
  EXPECT_EQ(SignalLayer(31), 31u);
  EXPECT_EQ(MidLayer(1), 2u);
  EXPECT_EQ(MidLayer(30), 31u);
  EXPECT_EQ(InternalPlaneLayer(1), 39u);
  EXPECT_EQ(InternalPlaneLayer(16), 54u);
  EXPECT_EQ(MechanicalLayer(1), 57u);
  EXPECT_EQ(MechanicalLayer(16), 72u);
}

TEST(LayerIds, BuildersGivePartitionIdsBeyondIt) {
  EXPECT_EQ(SignalLayer(40), 0x01010028u);
  EXPECT_EQ(SignalLayer(32), 0x01010020u);
  EXPECT_EQ(InternalPlaneLayer(17), 0x01040011u);
  EXPECT_EQ(MechanicalLayer(0xFFFF), 0x0400FFFFu);
}

TEST(LayerIds, BuildersRefuseNumbersOutOfRange) {
  EXPECT_THROW(SignalLayer(0x10000), ELayerException);
  EXPECT_RAISES(SignalLayer(0x10000), ELayerException, "Creating SignalLayer(65536)");
  EXPECT_RAISES(InternalPlaneLayer(0), ELayerException, "Creating InternalPlaneLayer(0)");
  EXPECT_RAISES(InternalPlaneLayer(70000), ELayerException, "Creating InternalPlaneLayer(70000)");
  EXPECT_RAISES(MechanicalLayer(0), ELayerException, "Creating MechanicalLayer(0)");
  EXPECT_RAISES(MechanicalLayer(65536), ELayerException, "Creating MechanicalLayer(65536)");
  EXPECT_RAISES(MidLayer(0xFFFF), ELayerException, "Creating SignalLayer(65536)");
}

TEST(LayerIds, PartitionIdsBeyondTheLegacyRangeAreClamped) {
  EXPECT_EQ(FromPartitionId(SignalLayer(40)), 31);
  EXPECT_EQ(FromPartitionId(InternalPlaneLayer(20)), 54);
  EXPECT_EQ(FromPartitionId(0x04000003u), 59);
  EXPECT_EQ(FromPartitionId(0x04000010u), 72);
  EXPECT_EQ(FromPartitionId(0x04000011u), 72);
  EXPECT_EQ(FromPartitionId(0x01040005u), 43);
  EXPECT_EQ(FromPartitionId(0x01010001u), 1);
}

TEST(LayerIds, ClassesAndNumbers) {
  EXPECT_EQ(LayerClassOf(1), 1);
  EXPECT_EQ(LayerClassOf(2), 2);
  EXPECT_EQ(LayerClassOf(32), 3);
  EXPECT_EQ(LayerClassOf(40), 4);
  EXPECT_EQ(LayerClassOf(60), 5);
  EXPECT_EQ(LayerClassOf(33), 6);
  EXPECT_EQ(LayerClassOf(55), 12);
  EXPECT_EQ(LayerClassOf(56), 13);
  EXPECT_EQ(LayerClassOf(82), 23);
  EXPECT_EQ(LayerClassOf(0), 0);
  EXPECT_EQ(LayerClassOf(83), 0);
  EXPECT_EQ(LayerClassOf(0x01010028u), 2);
  EXPECT_EQ(LayerClassOf(0x01040011u), 4);
  EXPECT_EQ(LayerClassOf(0x04000011u), 5);
  // A class in the high word of a plain id: the low byte is the class.
  EXPECT_EQ(LayerClassOf(0x00050007u), 7);

  EXPECT_EQ(PartitionNumber(32), 0xFFFFu);
  EXPECT_EQ(PartitionNumber(5), 5u);
  EXPECT_EQ(PartitionNumber(40), 2u);
  EXPECT_EQ(PartitionNumber(60), 4u);
  EXPECT_EQ(PartitionNumber(0x01010028u), 40u);
  EXPECT_EQ(PartitionNumber(33), 6u);
}

TEST(LayerIds, UnrecognisedIdsRaiseAssertionErrors) {
  // A bare partition id (number 0) is not a layer.
  EXPECT_THROW(LayerClassOf(0x01010000u), EAssertionFailed);
  EXPECT_RAISES(LayerClassOf(0x01010000u), EAssertionFailed, "Could not find layer partition ID=16842752");
  EXPECT_RAISES(FromPartitionId(0x02000001u), EAssertionFailed, "Could not find layer partition ID=33554433");
  // Class 24 and above exist only through a class in the high word.
  EXPECT_RAISES(FromPartitionId(0x00010018u), EAssertionFailed, "Assertion failure");
  EXPECT_EQ(FromPartitionId(0x00010017u), 82);
}

}  // namespace
}  // namespace strativue
