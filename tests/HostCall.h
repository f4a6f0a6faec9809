// One call an effect made into its host, as a test's host callback records it.
#pragma once

#include "host/VstInterface.h"

struct HostCall {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
};
