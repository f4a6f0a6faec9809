#include "host/ModuleInstance.h"

namespace kelp {

void* moduleInstance = nullptr;

}  // namespace kelp
