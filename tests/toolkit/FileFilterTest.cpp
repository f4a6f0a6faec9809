// The file chooser's filter lists, as the system's dialogs get them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gui/files/FileFilter.h"

using namespace kelp;

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

}  // namespace
