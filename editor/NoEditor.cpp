#include "effect/ReverseEffect.h"

using namespace kelp;

// The window-free build: the effect runs without an editor and its editor opcodes answer 0.
bool createEditor(ReverseEffect&) { return true; }
