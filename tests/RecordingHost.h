// A host callback that records every call and answers what each test sets up.
#pragma once

#include <map>
#include <vector>

#include "host/VstInterface.h"
#include "tests/HostCall.h"

class RecordingHost {
public:
    RecordingHost() { current = this; }
    ~RecordingHost() { current = nullptr; }

    static VstIntPtr VSTCALL callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                      float opt)
    {
        current->calls.push_back({effect, opcode, index, value, ptr, opt});
        const auto answer = current->answers.find(opcode);
        return answer != current->answers.end() ? answer->second : current->defaultAnswer(opcode);
    }

    std::vector<HostCall> callsOf(VstInt32 opcode) const
    {
        std::vector<HostCall> found;
        for (const HostCall& call : calls)
            if (call.opcode == opcode)
                found.push_back(call);
        return found;
    }

    std::vector<HostCall> calls;
    std::map<VstInt32, VstIntPtr> answers;

private:
    static VstIntPtr defaultAnswer(VstInt32 opcode)
    {
        if (opcode == audioMasterVersion)
            return 2400;
        if (opcode == audioMasterTempoAt)
            return 1200000;  // 120 beats per minute
        return 0;
    }

    static inline RecordingHost* current = nullptr;
};
