// The host side of the ABI tests: the built DLL is reached only through LoadLibraryA,
// its exported `main` and the AEffect record it returns, as a real host reaches it.
#pragma once

#include "host/VstInterface.h"
#include "tests/HostCall.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace abitest {

// The editor issue flips this: then the record reports effFlagsHasEditor and the editor
// opcodes reach a real editor.
constexpr bool kHasEditor = true;

constexpr VstIntPtr kHostVersion = 2400;
constexpr VstIntPtr kHostTempo = 1200000;  // 120 beats per minute × 10000

using ::HostCall;

// The one host callback every effect of the test program talks to. It records every call
// and answers per opcode: audioMasterVersion kHostVersion, audioMasterTempoAt kHostTempo,
// anything else 0, unless a test says otherwise.
class RecordingHost {
public:
    static void reset();  // forgets the calls and restores the default answers
    static void clearCalls();
    static void answer(VstInt32 opcode, VstIntPtr value);
    // After recording each call: a host that acts on it (closes the editor, say). One-shot
    // reactions clear themselves by returning false.
    static void react(std::function<bool(const HostCall& call)> reaction);
    static const std::vector<HostCall>& calls();
    static std::vector<HostCall> callsWith(VstInt32 opcode);
    static VstIntPtr VSTCALL callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                      float opt);
};

// A member to put before a fixture's effects: every test starts with a fresh host.
struct FreshHost {
    FreshHost() { RecordingHost::reset(); }
};

// The loaded DLL; loaded once by the test program's main.
bool loadPlugin(const char* path);
AEffect* callMain(HostCallback callback = RecordingHost::callback);

// One effect, created through `main` and closed through effClose when it goes.
class Effect {
public:
    Effect();
    ~Effect();
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    AEffect* record() const { return effect; }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
    void setParameter(VstInt32 index, float value);
    float getParameter(VstInt32 index);
    void process(float** inputs, float** outputs, VstInt32 frames);
    void processReplacing(float** inputs, float** outputs, VstInt32 frames);

    // Asks for a text the way a host does, into a buffer it can watch: nullopt when the
    // plug-in wrote nothing; a failure is recorded when it wrote more than `limit` bytes.
    std::optional<std::string> text(VstInt32 opcode, VstInt32 index, std::size_t limit);

private:
    AEffect* effect;
};

// Text limits of the interface, terminator included.
constexpr std::size_t kParamTextLimit = 9;
constexpr std::size_t kNameLimit = 24;
constexpr std::size_t kStringLimit = 64;

}  // namespace abitest
