// The file chooser without dialogs: the save dialog's caption, and the host's own file
// selector, which takes the request and gets it back at destruction.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gui/files/FileChooser.h"
#include "gui/files/TitleHook.h"
#include "tests/gui/FileChooserTestSupport.h"

using namespace kelp;

namespace {

TEST(FileChooserCaptionTest, SaveCaptionShowsTheFolderAfterTheTitleOrTheCaptionsOwnTitle)
{
    EXPECT_EQ(TitleHook::caption("Save sample", "Save As", "Z:\\tmp"), "Save sample - [Z:\\tmp]");
    EXPECT_EQ(TitleHook::caption("", "Save As", "Z:\\tmp"), "Save As - [Z:\\tmp]");
    // A later folder replaces the earlier one instead of piling up.
    EXPECT_EQ(TitleHook::caption(nullptr, "Save As - [Z:\\tmp]", "Z:\\home"), "Save As - [Z:\\home]");
    EXPECT_EQ(TitleHook::caption("T", "", std::string(1000, 'f').c_str()).size(), TitleHook::maxCaption);
}

class FileChooserHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SelectorHost::capabilities = {"openFileSelector", "closeFileSelector"};
        SelectorHost::opens = true;
    }

    RecordingHost host;
    MinimalEffect effect{SelectorHost::callback};
    VstFileSelect request{};
};

TEST_F(FileChooserHostTest, HostThatOpensAndClosesSelectorsTakesTheRequestAndGetsItBack)
{
    char buffer[16] = "stale";
    request.returnPath = buffer;
    auto chooser = std::make_unique<FileChooser>(&effect);
    DialogDriver watch([](HWND) {});
    EXPECT_EQ(chooser->run(&request), 2);
    watch.stop();
    EXPECT_EQ(watch.dialog.load(), nullptr);
    EXPECT_STREQ(buffer, "");  // run empties the caller's path first
    ASSERT_EQ(host.callsOf(audioMasterOpenFileSelector).size(), 1u);
    EXPECT_EQ(host.callsOf(audioMasterOpenFileSelector)[0].ptr, &request);
    EXPECT_TRUE(host.callsOf(audioMasterCloseFileSelector).empty());

    chooser.reset();
    ASSERT_EQ(host.callsOf(audioMasterCloseFileSelector).size(), 1u);
    EXPECT_EQ(host.callsOf(audioMasterCloseFileSelector)[0].ptr, &request);
    EXPECT_EQ(request.returnPath, buffer);

    // A refused request answers nothing, whatever the record held.
    SelectorHost::opens = false;
    request.nbReturnPath = 5;
    FileChooser refused(&effect);
    EXPECT_EQ(refused.run(&request), 0);
    EXPECT_EQ(request.nbReturnPath, 0);
    EXPECT_EQ(refused.run(nullptr), 0);
}

}  // namespace
