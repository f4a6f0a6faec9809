// A build whose editor cannot be created: `main` must refuse every effect from then on.
#include <gtest/gtest.h>

#include "effect/EntryPoint.h"
#include "effect/ReverseEffect.h"
#include "tests/RecordingHost.h"

using namespace kelp;

int editorsAttempted = 0;

bool createEditor(ReverseEffect&)
{
    ++editorsAttempted;
    return false;
}

TEST(EditorRefusal, MainRefusesEveryEffectOnceAnEditorFailed)
{
    RecordingHost host;
    EXPECT_EQ(backtwisterMain(RecordingHost::callback), nullptr);
    EXPECT_EQ(editorsAttempted, 1);
    EXPECT_EQ(backtwisterMain(RecordingHost::callback), nullptr) << "the refusal lasts";
    EXPECT_EQ(host.callsOf(audioMasterVersion).size(), 2u);
}
