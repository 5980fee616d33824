#include "module_lifetime.h"

#include <atomic>

namespace vxfu {
namespace {
std::atomic<long> liveObjects{0};
std::atomic<long> locks{0};
HMODULE ownModule = nullptr;
} // namespace

void moduleObjectCreated() { ++liveObjects; }
void moduleObjectDestroyed() { --liveObjects; }
void moduleLock(bool lock) { lock ? ++locks : --locks; }
bool moduleInUse() { return liveObjects > 0 || locks > 0; }

void setModuleHandle(HMODULE module) { ownModule = module; }
HMODULE moduleHandle() { return ownModule; }

} // namespace vxfu
