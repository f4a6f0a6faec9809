// The module instance handle of the loaded library, recorded by the library entry.
#pragma once

namespace kelp {

extern void* moduleInstance;

}  // namespace kelp
