// What the library's exported `main` does; the DLL exports this function under that name.
#pragma once

#include "host/VstInterface.h"

extern "C" AEffect* VSTCALL backtwisterMain(HostCallback hostCallback);
