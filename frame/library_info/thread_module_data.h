// Module data that exists once per thread: the thread's App object and the
// object reference behind BuddyObjectGlobal. Each thread sees only its own
// copy, empty until first used; no locks are taken.
//
// Lifetime of a thread's copy:
// - it ends when the thread leaves its apartment (its last CoUninitialize):
//   the held reference is released there, outside the loader lock;
// - a thread that ends without leaving its apartment has its App object
//   freed at thread detach, while the held reference is dropped without
//   being released, since releasing it would run foreign code under the
//   loader lock on an apartment that is already gone;
// - unloading the library frees whatever is left the same way.
// While a thread holds a reference, the library counts as in use, so it is
// not unloaded under that reference.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

namespace numoria::frame {

// The calling thread's App object, created on first use; a new reference.
Microsoft::WRL::ComPtr<IDispatch> threadAppObject();

// A new reference to the object the calling thread holds, or null.
Microsoft::WRL::ComPtr<IDispatch> heldThreadObject();

// Holds `object` (null empties the storage); the reference held before is
// released.
void holdThreadObject(const Microsoft::WRL::ComPtr<IDispatch>& object);

// Notices from the file's entry point.
bool threadDataAttachProcess() noexcept;
void threadDataDetachThread() noexcept;
void threadDataDetachProcess(bool processEnding) noexcept;

} // namespace numoria::frame
