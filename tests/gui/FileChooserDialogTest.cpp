// The system's file dialogs under Wine, worked with real keys and clicks: load one file, load
// several, save with the folder in the caption, and select a folder with "Select".
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "gui/files/FileChooser.h"
#include "tests/gui/FileChooserTestSupport.h"

#include <commctrl.h>
#include <commdlg.h>

using namespace kelp;

namespace {

class FileChooserDialogTest : public ::testing::Test {
protected:
    // A scratch folder on drive Z: with three samples and a subfolder.
    void SetUp() override
    {
        useTestModule();
        SelectorHost::capabilities.clear();
        GetCurrentDirectoryA(sizeof workingFolder, workingFolder);
        name = unixScratchName("samples").substr(std::strlen("/tmp/"));
        folder = "Z:\\tmp\\" + name;
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA(at("sub").c_str(), nullptr);
        for (const char* file : {"a.wav", "b.wav", "c.wav"})
            CloseHandle(CreateFileA(at(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    // The open dialog moves the process into the folder it showed, and the shell may still hold
    // files of a dialog that has just closed: the folder goes from the Unix side.
    void TearDown() override
    {
        SetCurrentDirectoryA(workingFolder);
        runShell("/bin/rm -rf /tmp/" + name);
    }

    std::string at(const std::string& entry) const { return folder + "\\" + entry; }

    VstFileSelect request(VstInt32 command, const char* title)
    {
        VstFileSelect select{};
        select.command = command;
        select.nbFileTypes = 1;
        select.fileTypes = &wave;
        std::strcpy(select.title, title);
        select.initialPath = folder.data();
        return select;
    }

    VstInt32 runWith(FileChooser& chooser, VstFileSelect& select, DialogDriver::Steps steps)
    {
        DialogDriver driver(std::move(steps));
        const VstInt32 paths = chooser.run(&select);
        driver.stop();
        EXPECT_NE(driver.dialog.load(), nullptr);
        EXPECT_FALSE(driver.cancelled);
        return paths;
    }

    char workingFolder[MAX_PATH] = {};
    std::string name;
    std::string folder;
    RecordingHost host;
    MinimalEffect effect{SelectorHost::callback};
    VstFileType wave{"Wave", "", "wav", "", "", ""};
};

TEST_F(FileChooserDialogTest, LoadOneReturnsTheTypedPathInAPathOfItsOwnOrTheCallersBuffer)
{
    auto chooser = std::make_unique<FileChooser>(&effect);
    VstFileSelect first = request(kVstFileLoad, "Load sample");
    ASSERT_EQ(runWith(*chooser, first, [&](HWND d) { typeInto(d, at("a.wav")); }), 1);
    EXPECT_EQ(first.returnPath, at("a.wav"));
    EXPECT_EQ(first.reserved, 1);
    EXPECT_EQ(first.sizeReturnPath, VstInt32(at("a.wav").size() + 1));

    // A caller's buffer too small for the path gets nothing rather than part of it. The
    // earlier request's path is freed when the next one runs; the caller's buffer never is.
    char small[8] = "x";
    VstFileSelect second = request(kVstFileLoad, "Load sample");
    second.returnPath = small;
    second.sizeReturnPath = sizeof small;
    EXPECT_EQ(runWith(*chooser, second, [&](HWND d) { typeInto(d, at("b.wav")); }), 0);
    EXPECT_EQ(second.nbReturnPath, 0);
    EXPECT_STREQ(small, "");
    EXPECT_EQ(first.returnPath, nullptr);
    chooser.reset();
    EXPECT_EQ(second.returnPath, small);
}

TEST_F(FileChooserDialogTest, LoadSeveralReturnsEachFileAsFolderBackslashName)
{
    VstFileSelect select = request(kVstMultipleFilesLoad, "Load samples");
    {
        FileChooser chooser(&effect);
        ASSERT_EQ(runWith(chooser, select, [&](HWND d) { typeInto(d, R"("a.wav" "b.wav" "c.wav")"); }), 3);
        ASSERT_EQ(select.nbReturnPath, 3);
        EXPECT_EQ(select.returnMultiplePaths[0], at("a.wav"));
        EXPECT_EQ(select.returnMultiplePaths[1], at("b.wav"));
        EXPECT_EQ(select.returnMultiplePaths[2], at("c.wav"));
    }
    EXPECT_EQ(select.returnMultiplePaths, nullptr);
}

TEST_F(FileChooserDialogTest, SaveAddsTheExtensionAndShowsTheFolderInTheCaptionOverTheEditor)
{
    const HWND hostWindow = makeHostWindow(40, 40, 200, 150, "FileChooserTestHost");
    auto* editor = new TestEditor(&effect);  // the effect deletes it
    editor->setRootView(new RootView(Rect{0, 0, 200, 150}, hostWindow, editor));
    VstFileSelect select = request(kVstFileSave, "Save sample");
    char caption[400] = {};
    HWND owner = nullptr;
    {
        FileChooser chooser(&effect);
        ASSERT_EQ(runWith(chooser, select,
                          [&](HWND d) {
                              GetWindowTextA(d, caption, sizeof caption);
                              owner = GetWindow(d, GW_OWNER);
                              typeInto(d, at("take"));
                          }),
                  1);
        EXPECT_EQ(select.returnPath, at("take.wav"));
    }
    EXPECT_EQ(caption, "Save sample - [" + folder + "]");
    EXPECT_EQ(owner, hostWindow);
    EXPECT_EQ(select.returnPath, nullptr);
    EXPECT_EQ(select.sizeReturnPath, 0);
    delete editor->getRootView();
    editor->setRootView(nullptr);
    DestroyWindow(hostWindow);
}

// Only folders are listed. "Select" on a folder selected in the list opens it; "Select" then
// takes the folder shown, although the dialog itself reports a cancel (here from the
// keyboard). This host closes selectors but cannot open them: the path is the chooser's.
TEST_F(FileChooserDialogTest, SelectOpensTheFolderSelectedInTheListThenTakesTheFolderShown)
{
    SelectorHost::capabilities = {"closeFileSelector"};
    VstFileSelect select = request(kVstDirectorySelect, "Choose folder");
    int listed = 0;
    char buttonText[32] = {};
    char shownAfterFirstSelect[1024] = {};
    {
        FileChooser chooser(&effect);
        const VstInt32 paths = runWith(chooser, select, [&](HWND d) {
            const HWND list = FindWindowExA(FindWindowExA(d, nullptr, "SHELLDLL_DefView", nullptr), nullptr,
                                            "SysListView32", nullptr);
            for (int wait = 0; wait < 100 && (listed = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0))) < 1; ++wait)
                Sleep(50);
            RECT item{LVIR_LABEL, 0, 0, 0};
            SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
            MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&item), 2);
            clickAt(POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
            // The dialog would call its button "Open" now that a folder is selected.
            SetWindowTextA(GetDlgItem(d, IDOK), "Open");
            GetWindowTextA(GetDlgItem(d, IDOK), buttonText, sizeof buttonText);
            clickCentre(GetDlgItem(d, IDOK));
            SendMessageA(d, CDM_GETFOLDERPATH, sizeof shownAfterFirstSelect,
                         reinterpret_cast<LPARAM>(shownAfterFirstSelect));
            xdotool("key space");
        });
        EXPECT_EQ(listed, 1);
        EXPECT_STREQ(buttonText, "Select");
        EXPECT_EQ(shownAfterFirstSelect, at("sub"));
        ASSERT_EQ(paths, 1);
        EXPECT_EQ(select.returnPath, at("sub"));
    }
    EXPECT_EQ(select.returnPath, nullptr);
    EXPECT_TRUE(host.callsOf(audioMasterCloseFileSelector).empty());
}

}  // namespace
