// Objects the module makes once and keeps for as long as it is loaded. They
// are never destroyed by the exit-time destructors, because a worker abandoned
// after a time-out may still use them while the process ends; the module's
// unload routine releases them when no worker is left, so that unloading the
// module leaks nothing.
#pragma once

// Arranges for `release(object)` to run at ReleaseLastingObjects.
void KeepUntilRelease(void (*release)(void*), void* object);

// Releases every object kept so far, the latest first. Nothing may use them
// afterwards.
void ReleaseLastingObjects();

// `object`, deleted at ReleaseLastingObjects.
template <typename T>
T* KeptUntilRelease(T* object) {
  KeepUntilRelease([](void* kept) { delete static_cast<T*>(kept); }, object);
  return object;
}
