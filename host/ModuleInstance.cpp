#include "host/ModuleInstance.h"

void* moduleInstance = nullptr;
