// The module instance handle of the loaded library, recorded by the library entry.
#pragma once

extern void* moduleInstance;
