// The one seam between the effect and its editor subsystem.
#pragma once

class ReverseEffect;

// Creates the effect's editor, which registers itself with the effect. Answers false only
// when an editor was wanted but could not be created; a build without an editor answers
// true and creates nothing.
bool createEditor(ReverseEffect& effect);
