// The PCB editor's 32-bit layer ids and their conversions to and from the
// plug-in's layer ids, and the editor's server interface.
#pragma once

#include <cstdint>

#include "abi/PcbServer.h"
#include "abi/Unknown.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/Layers.h"

namespace strativue {

// The editor's layer id. Plain form: a TLayerId (0 to 82) with bytes 1 to 3
// zero. Partition form: a layer class in the high word (0x0101 signal layer,
// 0x0104 internal plane, 0x0400 mechanical layer) and a number from 1 in the
// low word. The editor may answer either form; the plug-in builds only plain
// ids.
using TLayerPartitionId = uint32_t;

inline constexpr uint32_t kSignalPartition = 0x0101;
inline constexpr uint32_t kInternalPlanePartition = 0x0104;
inline constexpr uint32_t kMechanicalPartition = 0x0400;

// A layer id that cannot be built ("Creating SignalLayer(40000000)").
STRATIVUE_DECLARE_EXCEPTION(ELayerException, Exception)

// Signal layer n counted from the top: 1 is the top layer, 0xFFFF the
// bottom layer. Raises ELayerException above 0xFFFF or below 0.
TLayerPartitionId SignalLayer(int64_t n);
// Mid layer k: SignalLayer(k + 1).
TLayerPartitionId MidLayer(int64_t k);
// Internal plane n from 1; raises ELayerException for 0, below or above 0xFFFF.
TLayerPartitionId InternalPlaneLayer(int64_t n);
// Mechanical layer n from 1; raises ELayerException for 0, below or above 0xFFFF.
TLayerPartitionId MechanicalLayer(int64_t n);

// The editor's id of a layer: the id itself for 1 to 82, 0 otherwise.
TLayerPartitionId ToPartitionId(TLayerId id);
// The class of an editor id; raises EAssertionFailed
// ("Could not find layer partition ID=<id>") when it is not recognised.
TLayerClass LayerClassOf(TLayerPartitionId id);
// The number of an editor id within its class.
uint32_t PartitionNumber(TLayerPartitionId id);
// The plug-in's layer for an editor id; partition numbers beyond the legacy
// range give the last layer of their class. Raises EAssertionFailed
// ("Assertion failure") for a class outside 0 to 23, and whatever
// LayerClassOf raises.
TLayerId FromPartitionId(TLayerPartitionId id);

// The editor's server interface, from the host client's server module "PCB";
// nil when there is no host client, no such module or no such interface.
// Raises EHostError when the host fails the module lookup.
qvabi::ComPtr<qvabi::IPCB_ServerInterface> GetPCBServerInterface();

}  // namespace strativue
