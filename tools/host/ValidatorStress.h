// The validator's checks with more than one thread: automation while the audio thread runs,
// and the editor opened and closed many times while another thread processes.
#pragma once

#include <string>

#include "Validator.h"

class ValidatorStress {
public:
    static bool automation(Validator::Context& context, std::string& detail);
    static bool coldEditor(Validator::Context& context, std::string& detail);
    static bool warmEditor(Validator::Context& context, std::string& detail);
    static bool windowDestroyedFirst(Validator::Context& context, std::string& detail);
};
