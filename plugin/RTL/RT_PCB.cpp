#include "plugin/RTL/RT_PCB.h"

#include <string>

#include "abi/IServerModule.h"
#include "platform/WideString.h"
#include "plugin/RTL/HostClient.h"

namespace strativue {
namespace {

constexpr int64_t kMaxPartitionNumber = 0xFFFF;

TLayerPartitionId Partition(uint32_t partitionClass, int64_t n) {
  return (partitionClass << 16) | static_cast<uint32_t>(n);
}

[[noreturn]] void FailBuilding(const char* builder, int64_t n) {
  throw ELayerException(std::string("Creating ") + builder + "(" + std::to_string(n) + ")");
}

uint32_t LowWord(TLayerPartitionId v) { return v & 0xFFFFu; }
uint32_t HighWord(TLayerPartitionId v) { return v >> 16; }
uint32_t LowByte(TLayerPartitionId v) { return v & 0xFFu; }
uint32_t TopByte(TLayerPartitionId v) { return v >> 24; }

bool IsBarePartition(TLayerPartitionId v) { return LowWord(v) == 0 && v != 0; }

// A partition of `partitionClass`, or a plain id from `first` to `last`.
bool IsOfKind(TLayerPartitionId v, uint32_t partitionClass, uint32_t first, uint32_t last) {
  if (IsBarePartition(v)) return false;
  if (HighWord(v) != 0) return HighWord(v) == partitionClass;
  return LowByte(v) >= first && LowByte(v) <= last;
}

bool IsSignal(TLayerPartitionId v) { return IsOfKind(v, kSignalPartition, kTopLayer, kBottomLayer); }
bool IsInternalPlane(TLayerPartitionId v) {
  return IsOfKind(v, kInternalPlanePartition, kInternalPlane1, kInternalPlane16);
}
bool IsMechanical(TLayerPartitionId v) {
  return IsOfKind(v, kMechanicalPartition, kMechanical1, kMechanical16);
}

TLayerClass ClassOfSingleLayer(uint32_t b) {
  if (b >= 33 && b <= 38) return static_cast<TLayerClass>(b - 27);
  if (b == kDrillGuide) return 12;
  if (b == kKeepOutLayer) return 13;
  if (b >= 73 && b <= 82) return static_cast<TLayerClass>(b - 59);
  return 0;
}

}  // namespace

TLayerPartitionId SignalLayer(int64_t n) {
  if (n < 0 || n > kMaxPartitionNumber) FailBuilding("SignalLayer", n);
  if (n == 1) return kTopLayer;
  if (n == kMaxPartitionNumber) return kBottomLayer;
  if (n >= 2 && n <= 31) return static_cast<TLayerPartitionId>(n);
  return Partition(kSignalPartition, n);
}

TLayerPartitionId MidLayer(int64_t k) { return SignalLayer(k + 1); }

TLayerPartitionId InternalPlaneLayer(int64_t n) {
  if (n < 1 || n > kMaxPartitionNumber) FailBuilding("InternalPlaneLayer", n);
  if (n <= 16) return static_cast<TLayerPartitionId>(n + 38);
  return Partition(kInternalPlanePartition, n);
}

TLayerPartitionId MechanicalLayer(int64_t n) {
  if (n < 1 || n > kMaxPartitionNumber) FailBuilding("MechanicalLayer", n);
  if (n <= 16) return static_cast<TLayerPartitionId>(n + 56);
  return Partition(kMechanicalPartition, n);
}

TLayerPartitionId ToPartitionId(TLayerId id) {
  if (id == kTopLayer) return SignalLayer(1);
  if (id > kTopLayer && id < kBottomLayer) return MidLayer(id - 1);
  if (id == kBottomLayer) return SignalLayer(kMaxPartitionNumber);
  if (id >= kInternalPlane1 && id <= kInternalPlane16) return InternalPlaneLayer(id - 38);
  if (id >= kMechanical1 && id <= kMechanical16) return MechanicalLayer(id - 56);
  if (id > kBottomLayer && id <= kLastLayer) return id;
  return 0;
}

TLayerClass LayerClassOf(TLayerPartitionId v) {
  if (IsSignal(v)) return v == kTopLayer ? 1 : v == kBottomLayer ? 3 : 2;
  if (IsInternalPlane(v)) return 4;
  if (IsMechanical(v)) return 5;
  if (TopByte(v) == 0 && HighWord(v) != 0) return static_cast<TLayerClass>(LowByte(v));
  if (TopByte(v) == 0) return ClassOfSingleLayer(LowByte(v));
  throw EAssertionFailed("Could not find layer partition ID=" + std::to_string(v));
}

uint32_t PartitionNumber(TLayerPartitionId v) {
  if (TopByte(v) != 0) return LowWord(v);
  if (IsMechanical(v)) return LowWord(v) - 56;
  if (IsSignal(v)) return v == kBottomLayer ? kMaxPartitionNumber : LowWord(v);
  if (IsInternalPlane(v)) return LowWord(v) - 38;
  return LayerClassOf(v);
}

TLayerId FromPartitionId(TLayerPartitionId v) {
  const TLayerClass layerClass = LayerClassOf(v);
  switch (layerClass) {
    case 0:
      return kNoLayer;
    case 1:
      return kTopLayer;
    case 2: {
      const uint32_t n = PartitionNumber(v);
      return static_cast<TLayerId>(n <= 31 ? n : 31);
    }
    case 3:
      return kBottomLayer;
    case 4: {
      const uint32_t n = PartitionNumber(v);
      return static_cast<TLayerId>(n <= 16 ? n + 38 : kInternalPlane16);
    }
    case 5: {
      const uint32_t n = PartitionNumber(v);
      return static_cast<TLayerId>(n <= 16 ? n + 56 : kMechanical16);
    }
    default:
      break;
  }
  if (layerClass >= 6 && layerClass <= 11) return static_cast<TLayerId>(layerClass + 27);
  if (layerClass == 12) return kDrillGuide;
  if (layerClass == 13) return kKeepOutLayer;
  if (layerClass >= 14 && layerClass <= 23) return static_cast<TLayerId>(layerClass + 59);
  throw EAssertionFailed("Assertion failure");
}

qvabi::ComPtr<qvabi::IPCB_ServerInterface> GetPCBServerInterface() {
  const qvabi::ComPtr<qvabi::IClient> client = GetHostClient();
  if (!client) return {};
  const platform::BStr name(u"PCB");
  qvabi::ComPtr<qvabi::IServerModule> module;
  CheckHost(client->GetServerModuleByName(name.get(), module.put()));
  if (!module) return {};
  return qvabi::QueryAs<qvabi::IPCB_ServerInterface>(module.get());
}

}  // namespace strativue
