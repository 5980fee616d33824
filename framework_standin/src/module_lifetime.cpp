#include "module_lifetime.h"

#include <atomic>

namespace vxfu {
namespace {
std::atomic<long> live_objects{0};
std::atomic<long> locks{0};
HMODULE own_module = nullptr;
} // namespace

void module_object_created() { ++live_objects; }
void module_object_destroyed() { --live_objects; }
void module_lock(bool lock) { lock ? ++locks : --locks; }
bool module_in_use() { return live_objects > 0 || locks > 0; }

void set_module_handle(HMODULE module) { own_module = module; }
HMODULE module_handle() { return own_module; }

} // namespace vxfu
