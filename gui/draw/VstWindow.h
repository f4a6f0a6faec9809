// The window description handed to the host when the root view asks for a window of its own.
#pragma once

#include <cstdint>

#include "host/VstInterface.h"

struct VstWindow {
    char title[128];
    std::int16_t xPos;
    std::int16_t yPos;
    std::int16_t width;
    std::int16_t height;
    VstInt32 style;
    void* parent;
    void* userHandle;
    void* winHandle;
    char future[104];
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(VstWindow) == 256);
#endif
