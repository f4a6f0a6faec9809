// The file chooser without dialogs: the filter lists, the save dialog's caption, and the
// host's own file selector, which takes the request and gets it back at destruction.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gui/files/FileChooser.h"
#include "gui/files/FileFilter.h"
#include "gui/files/TitleHook.h"
#include "tests/gui/FileChooserTestSupport.h"

namespace {

VstFileType fileType(const char* name, const char* dosType, const char* unixType = "")
{
    VstFileType type{};
    std::strcpy(type.name, name);
    std::strcpy(type.dosType, dosType);
    std::strcpy(type.unixType, unixType);
    return type;
}

// The texts of a filter list; fails unless the list ends with the extra zero.
std::vector<std::string> textsOf(const std::string& list)
{
    EXPECT_TRUE(list.size() >= 2 && list.back() == '\0' && list[list.size() - 2] == '\0');
    std::vector<std::string> texts;
    for (std::size_t at = 0; at + 1 < list.size(); at = list.find('\0', at) + 1)
        texts.push_back(list.substr(at, list.find('\0', at) - at));
    return texts;
}

using Texts = std::vector<std::string>;

TEST(FileChooserFilterTest, LoadingListsEachTypeThenAllTheirPatternsThenAnything)
{
    const VstFileType two[] = {fileType("Wave", "wav"), fileType("Aiff", "aif", "aiff")};
    EXPECT_EQ(textsOf(FileFilter::forLoading(two, 2)),
              (Texts{"Wave (.wav)", "*.wav", "Aiff (.aif)", "*.aif;*.aiff", "All Types: (*.wav;*.aif;*.aiff)",
                     "*.wav;*.aif;*.aiff", "Any Type (*.*)", "*.*"}));

    // One pattern only, or patterns repeated across types, make no "All Types" of one.
    const VstFileType same[] = {fileType("Wave", "wav", "wav"), fileType("Broadcast wave", "wav")};
    EXPECT_EQ(textsOf(FileFilter::forLoading(same, 1)), (Texts{"Wave (.wav)", "*.wav", "Any Type (*.*)", "*.*"}));
    EXPECT_EQ(textsOf(FileFilter::forLoading(same, 2)),
              (Texts{"Wave (.wav)", "*.wav", "Broadcast wave (.wav)", "*.wav", "Any Type (*.*)", "*.*"}));

    EXPECT_EQ(textsOf(FileFilter::forLoading(nullptr, 0)), (Texts{"Any Type (*.*)", "*.*"}));
}

TEST(FileChooserFilterTest, SavingListsOnlyTypesWithAnExtensionAndFoldersNoFiles)
{
    const VstFileType types[] = {fileType("Wave", "wav", "wave"), fileType("Raw", ""), fileType("Aiff", "aif")};
    EXPECT_EQ(textsOf(FileFilter::forSaving(types, 3)), (Texts{"Wave (.wav)", "*.wav", "Aiff (.aif)", "*.aif"}));
    EXPECT_TRUE(FileFilter::forSaving(types + 1, 1).empty());
    EXPECT_EQ(textsOf(FileFilter::forFolders()), (Texts{"HideFileFilter", "*.___"}));

    // A type whose texts fill their arrays without a terminator is read within them.
    VstFileType full = fileType("Full", "");
    std::memset(full.dosType, 'x', sizeof full.dosType);
    EXPECT_EQ(textsOf(FileFilter::forSaving(&full, 1))[1], "*.xxxxxxxx");
}

TEST(FileChooserFilterTest, SaveCaptionShowsTheFolderAfterTheTitleOrTheCaptionsOwnTitle)
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
