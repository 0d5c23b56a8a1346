// The stand-in: every object is a number and every service answers; what an
// execute transaction asked for is the journal entry the shared code made.
#include <atomic>

#include "platform/DdeBackend.h"

namespace platform::backend {
namespace {

uint32_t NextId() {
  static std::atomic<uint32_t> next{1};
  return next++;
}

}  // namespace

uint32_t DdeInitialize(uint32_t* instance, DdeCallback /*callback*/, uint32_t /*flags*/) {
  *instance = NextId();
  return DMLERR_NO_ERROR;
}

void DdeUninitialize(uint32_t /*instance*/) {}

HSZ DdeCreateStringHandle(uint32_t /*instance*/, std::string_view /*text*/) { return NextId(); }

void DdeFreeStringHandle(uint32_t /*instance*/, HSZ /*handle*/) {}

HCONV DdeConnect(uint32_t /*instance*/, HSZ /*service*/, HSZ /*topic*/, const CONVCONTEXT* /*context*/) {
  return NextId();
}

void DdeDisconnect(HCONV /*conversation*/) {}

HDDEDATA DdeExecute(HCONV /*conversation*/, std::string_view /*command*/, uint32_t /*timeout*/,
                    uint32_t* /*result*/) {
  return 1;
}

}  // namespace platform::backend
