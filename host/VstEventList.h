// A VstEvents record with room for N events: the interface declares room for two and leaves it
// to the sender to allocate as many as it sends.
#pragma once

#include <cstddef>

#include "host/VstInterface.h"

namespace kelp {

template <int N>
struct VstEventList {
    VstInt32 numEvents = 0;
    VstIntPtr reserved = 0;
    VstEvent* events[N] = {};

    VstEvents* record() { return reinterpret_cast<VstEvents*>(this); }
};

static_assert(offsetof(VstEventList<8>, events) == offsetof(VstEvents, events));

}  // namespace kelp
