// Hosts that close or reopen the editor, or close the effect, while the editor is inside a
// call of its own: the window is shut at once, everything else waits until the call is over.
// Run under AddressSanitizer, so that a touch of anything freed fails the test.
#include <gtest/gtest.h>

#include <new>
#include <string>

#include "tests/MinimalEffect.h"
#include "tests/RecordingHost.h"

using namespace kelp;

namespace {

// Logs what the host's opcodes make of the editor, in order.
class GestureEditor : public EditorBase {
public:
    GestureEditor(EffectBase* effect, std::string& log) : EditorBase(effect), log(log) {}
    ~GestureEditor() override { log += "deleted "; }
    VstInt32 open(void* parent) override
    {
        log += "open(" + std::to_string(*static_cast<int*>(parent)) + ") ";
        return 1;
    }
    void close() override { log += "close "; }

protected:
    void shutWhileBusy() override { log += "shut "; }

private:
    std::string& log;
};

VstIntPtr send(AEffect* record, VstInt32 opcode, void* ptr = nullptr)
{
    return EffectBase::dispatchEntry(record, opcode, 0, 0, ptr, 0.0f);
}

TEST(EditorBusy, OpenAndCloseWhileBusyShutTheWindowAndRunWhenTheCallIsOver)
{
    RecordingHost host;
    std::string log;
    int effects = 0;
    auto* effect = new MinimalEffect(RecordingHost::callback, &effects);
    auto* editor = new GestureEditor(effect, log);
    AEffect* record = effect->record();
    int first = 1, second = 2, third = 3;

    EXPECT_EQ(send(record, effEditOpen, &first), 1);
    EXPECT_EQ(send(record, effEditOpen, &second), 1);
    EXPECT_EQ(log, "open(1) close open(2) ") << "a second open replaces the first window";

    log.clear();
    {
        EditorBase::Busy outer(editor);
        {
            EditorBase::Busy inner(editor);
            send(record, effEditClose);
        }
        EXPECT_EQ(log, "shut ") << "only the outermost call's end closes";
        EXPECT_EQ(send(record, effEditOpen, &third), 1);
    }
    EXPECT_EQ(log, "shut shut close open(3) ") << "the last word of the host wins, once the call is over";

    log.clear();
    {
        EditorBase::Busy busy(editor);
        send(record, effEditOpen, &first);
        send(record, effEditClose);
    }
    EXPECT_EQ(log, "shut shut close ");

    // effClose inside a call: the effect and its editor outlive the call, cut off from the host.
    log.clear();
    host.calls.clear();
    {
        EditorBase::Busy busy(editor);
        EXPECT_EQ(send(record, effClose), 1);
        EXPECT_EQ(effects, 0);
        effect->automateParameter(0, 1.0f);  // what a listener does after a modal call
        effect->hostIdle();
        EXPECT_TRUE(editor->isBusy());
    }
    EXPECT_EQ(effects, 1);
    EXPECT_EQ(log, "shut deleted ");
    EXPECT_TRUE(host.calls.empty()) << "no host call through a closed effect's record";
}

TEST(EditorBusy, CloseWithoutABusyCallDeletesAtOnce)
{
    std::string log;
    int effects = 0;
    auto* effect = new MinimalEffect(nullptr, &effects);
    new GestureEditor(effect, log);
    EXPECT_EQ(send(effect->record(), effClose), 1);
    EXPECT_EQ(effects, 1);
    EXPECT_EQ(log, "deleted ");
}

}  // namespace

namespace {

class FailingEditor : public EditorBase {
public:
    using EditorBase::EditorBase;
    VstInt32 open(void*) override { throw std::bad_alloc(); }
};

}  // namespace

TEST(EditorBusy, AnOpenThatRunsOutOfMemoryAnswersZeroInsteadOfThrowingIntoTheHost)
{
    MinimalEffect effect(nullptr);
    new FailingEditor(&effect);
    int window = 0;
    EXPECT_EQ(send(effect.record(), effEditOpen, &window), 0);
    EXPECT_EQ(send(effect.record(), effEditIdle), 0) << "still answering";
}
