#include "ValidatorStress.h"

#include <atomic>
#include <cmath>
#include <thread>

#include "ValidatorAudio.h"
#include "ValidatorChecks.h"
#include "ValidatorPlatform.h"

namespace {

constexpr int automationBlock = 32;

// A host's audio thread: processes noise in blocks and, as hosts play back automation, sets
// a random parameter after every block, until told to stop.
class AudioThread {
public:
    AudioThread(AEffect* effect, std::uint64_t seed) : effect(effect), thread([this, seed] { run(seed); }) {}
    ~AudioThread() { stop(); }
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;

    void stop()
    {
        stopping.store(true);
        if (thread.joinable())
            thread.join();
    }
    const ValidatorAudio::Findings& findings() const { return found; }  // after stop()
    long long blocks() const { return done; }

private:
    void run(std::uint64_t seed)
    {
        ValidatorAudio audio(effect, 256);
        ValidatorRandom random(seed);
        while (!stopping.load(std::memory_order_relaxed)) {
            audio.fill(ValidatorAudio::Signal::Noise, random, done * 256, 256);
            audio.process(effect, 256);
            audio.inspect(256, found);
            if (effect->numParams > 0)
                effect->setParameter(effect, VstInt32(random.between(0, effect->numParams - 1)), random.unit());
            ++done;
        }
    }

    AEffect* effect;
    std::atomic<bool> stopping{false};
    ValidatorAudio::Findings found;
    long long done = 0;
    std::thread thread;
};

// The editor's size, or false when the effect has none.
bool editorSize(AEffect* effect, int& width, int& height)
{
    if (!(effect->flags & effFlagsHasEditor))
        return false;
    ERect* rect = nullptr;
    ValidatorPlugin::dispatch(effect, effEditGetRect, 0, 0, &rect);
    if (!rect)
        return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return true;
}

// Messages and effEditIdle, as a host's user-interface thread gives them, for a few rounds.
void idle(AEffect* effect, int rounds)
{
    for (int i = 0; i < rounds; ++i) {
        ValidatorPlatform::pumpMessages();
        ValidatorPlugin::dispatch(effect, effEditIdle);
    }
}

// Opens the editor in `window`, idles, closes it; problems when the open is refused or the
// editor leaves windows behind.
void openAndClose(AEffect* effect, void* window, int idleRounds, std::vector<std::string>& problems)
{
    if (ValidatorPlugin::dispatch(effect, effEditOpen, 0, 0, window) == 0)
        problems.push_back("effEditOpen answered 0");
    idle(effect, idleRounds);
    ValidatorPlugin::dispatch(effect, effEditClose);
    ValidatorPlatform::pumpMessages();
    if (const int left = ValidatorPlatform::childWindowCount(window))
        problems.push_back(Validator::format("%d editor window(s) left in the host window after effEditClose", left));
}

bool noEditor(Validator::Context& context, std::string& detail)
{
    context.skipped = true;
    detail = "the effect has no editor";
    return true;
}

std::string findingsText(const ValidatorAudio::Findings& findings)
{
    return Validator::format("%lld frames processed meanwhile, %lld non-finite and %lld subnormal", findings.frames,
                             findings.nonFinite, findings.subnormal);
}

}  // namespace

bool ValidatorStress::automation(Validator::Context& context, std::string& detail)
{
    AEffect* effect = context.plugin.create();
    if (!effect) {
        detail = "main answered null";
        return false;
    }
    if (effect->numParams == 0) {
        ValidatorPlugin::close(effect);
        context.skipped = true;
        detail = "the effect has no parameters";
        return true;
    }
    ValidatorPlugin::start(effect, 44100.0f, automationBlock);
    constexpr long long blocks = 4 * 44100 / automationBlock;
    std::atomic<long long> processed{0}, changed{0};
    ValidatorAudio::Findings findings;
    std::vector<float> last(std::size_t(effect->numParams), -1.0f);

    // Change k is made after block k, while block k + 1 is processed.
    std::thread audioThread([&] {
        ValidatorAudio audio(effect, automationBlock);
        ValidatorRandom random(context.options.seed ^ 0x6175);
        for (long long b = 0; b < blocks; ++b) {
            while (changed.load() < b - 1)
                std::this_thread::yield();
            audio.fill(ValidatorAudio::Signal::Noise, random, b * automationBlock, automationBlock);
            audio.process(effect, automationBlock);
            audio.inspect(automationBlock, findings);
            processed.store(b + 1);
        }
    });
    std::thread automationThread([&] {
        ValidatorRandom random(context.options.seed ^ 0x6174);
        for (long long b = 0; b < blocks; ++b) {
            while (processed.load() <= b)
                std::this_thread::yield();
            const auto index = VstInt32(random.between(0, effect->numParams - 1));
            const float value = random.unit();
            effect->setParameter(effect, index, value);
            last[std::size_t(index)] = value;
            changed.store(b + 1);
        }
    });
    // Meanwhile the user-interface thread shows the values.
    std::vector<std::string> problems;
    long long reads = 0;
    while (changed.load() < blocks) {
        for (VstInt32 p = 0; p < effect->numParams; ++p, ++reads) {
            const float value = effect->getParameter(effect, p);
            if (!(value >= 0.0f && value <= 1.0f) && problems.empty())
                problems.push_back(Validator::format("parameter %d read %.9g while automated", p, double(value)));
            ValidatorChecks::askText(effect, effGetParamDisplay, p, 9, problems);
        }
    }
    audioThread.join();
    automationThread.join();
    for (VstInt32 p = 0; p < effect->numParams; ++p)
        if (last[std::size_t(p)] >= 0.0f && effect->getParameter(effect, p) != last[std::size_t(p)])
            problems.push_back(Validator::format("parameter %d reads %.9g after automation ended at %.9g", p,
                                                 double(effect->getParameter(effect, p)),
                                                 double(last[std::size_t(p)])));
    ValidatorPlugin::close(effect);
    if (!findings.clean())
        problems.push_back(findingsText(findings));
    detail = problems.empty()
                 ? Validator::format("%lld blocks of %d frames, a parameter set from a second thread after "
                                     "each (%lld), %lld reads and displays meanwhile; last values kept",
                                     blocks, automationBlock, changed.load(), reads)
                 : ValidatorChecks::summary(problems);
    return problems.empty();
}

bool ValidatorStress::coldEditor(Validator::Context& context, std::string& detail)
{
    AEffect* probe = context.plugin.create();
    int width = 0, height = 0;
    const bool hasEditor = probe && editorSize(probe, width, height);
    ValidatorPlugin::close(probe);
    if (!hasEditor)
        return noEditor(context, detail);
    void* window = ValidatorPlatform::createHostWindow(width, height);
    if (!window) {
        detail = "cannot create a host window";
        return false;
    }
    std::vector<std::string> problems;
    ValidatorAudio::Findings findings;
    const int cycles = context.options.coldEditorCycles;
    for (int i = 0; i < cycles && problems.empty(); ++i) {
        AEffect* effect = context.plugin.create();
        if (!effect) {
            problems.push_back("main answered null");
            break;
        }
        ValidatorPlugin::start(effect, 44100.0f, 256);
        AudioThread audio(effect, context.options.seed + std::uint64_t(i));
        int w = 0, h = 0;
        if (!editorSize(effect, w, h) || w != width || h != height)
            problems.push_back(
                Validator::format("cycle %d: effEditGetRect answered %dx%d, not %dx%d", i, w, h, width, height));
        openAndClose(effect, window, 3, problems);
        audio.stop();
        findings.frames += audio.findings().frames;
        findings.nonFinite += audio.findings().nonFinite;
        findings.subnormal += audio.findings().subnormal;
        ValidatorPlugin::close(effect);
    }
    ValidatorPlatform::destroyWindow(window);
    if (!findings.clean())
        problems.push_back(findingsText(findings));
    detail = problems.empty() ? Validator::format("%d new effects, each opened and closed in a %dx%d window while its "
                                                  "audio thread processed and automated: ",
                                                  cycles, width, height) +
                                    findingsText(findings)
                              : ValidatorChecks::summary(problems);
    return problems.empty();
}

bool ValidatorStress::warmEditor(Validator::Context& context, std::string& detail)
{
    AEffect* effect = context.plugin.create();
    int width = 0, height = 0;
    if (!effect || !editorSize(effect, width, height)) {
        ValidatorPlugin::close(effect);
        return noEditor(context, detail);
    }
    void* window = ValidatorPlatform::createHostWindow(width, height);
    if (!window) {
        ValidatorPlugin::close(effect);
        detail = "cannot create a host window";
        return false;
    }
    ValidatorPlugin::start(effect, 44100.0f, 256);
    std::vector<std::string> problems;
    const int cycles = context.options.warmEditorCycles;
    AudioThread audio(effect, context.options.seed ^ 0x7761);
    for (int i = 0; i < cycles && problems.empty(); ++i)
        openAndClose(effect, window, i % 10 == 0 ? 5 : 1, problems);
    audio.stop();
    ValidatorPlugin::close(effect);
    ValidatorPlatform::destroyWindow(window);
    if (!audio.findings().clean())
        problems.push_back(findingsText(audio.findings()));
    detail = problems.empty() ? Validator::format("one effect's editor opened and closed %d times while its audio "
                                                  "thread processed and automated: ",
                                                  cycles) +
                                    findingsText(audio.findings())
                              : ValidatorChecks::summary(problems);
    return problems.empty();
}

bool ValidatorStress::windowDestroyedFirst(Validator::Context& context, std::string& detail)
{
    AEffect* effect = context.plugin.create();
    int width = 0, height = 0;
    if (!effect || !editorSize(effect, width, height)) {
        ValidatorPlugin::close(effect);
        return noEditor(context, detail);
    }
    ValidatorPlugin::start(effect, 44100.0f, 256);
    std::vector<std::string> problems;
    AudioThread audio(effect, context.options.seed ^ 0x7764);
    void* doomed = ValidatorPlatform::createHostWindow(width, height);
    if (ValidatorPlugin::dispatch(effect, effEditOpen, 0, 0, doomed) == 0)
        problems.push_back("effEditOpen answered 0");
    idle(effect, 10);
    ValidatorPlatform::destroyWindow(doomed);
    idle(effect, 3);
    ValidatorPlugin::dispatch(effect, effEditClose);
    idle(effect, 3);

    // The editor opens again, in a new window, and goes cleanly.
    void* window = ValidatorPlatform::createHostWindow(width, height);
    if (ValidatorPlugin::dispatch(effect, effEditOpen, 0, 0, window) == 0)
        problems.push_back("effEditOpen after the lost window answered 0");
    idle(effect, 10);
    const int shown = ValidatorPlatform::childWindowCount(window);
    ValidatorPlugin::dispatch(effect, effEditClose);
    ValidatorPlatform::pumpMessages();
    if (const int left = ValidatorPlatform::childWindowCount(window))
        problems.push_back(Validator::format("%d editor window(s) left after effEditClose", left));
    audio.stop();
    ValidatorPlugin::close(effect);
    ValidatorPlatform::destroyWindow(window);
    if (!audio.findings().clean())
        problems.push_back(findingsText(audio.findings()));
    detail = problems.empty() ? Validator::format("idle and close after the window went; reopened with %d window(s) "
                                                  "in a new one and closed cleanly; ",
                                                  shown) +
                                    findingsText(audio.findings())
                              : ValidatorChecks::summary(problems);
    return problems.empty();
}
