// Drops onto the root view's window through OLE: a real DoDragDrop in this program with its
// own data object, the pointer moved over the window (by the drop source, or by xdotool
// with the button held), reaching the topmost child's drop with the right kind and count.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gui/draw/DropTarget.h"
#include "tests/gui/RootViewTestSupport.h"

using namespace kelp;

namespace {

HGLOBAL globalCopy(const void* data, SIZE_T size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), data, size);
    GlobalUnlock(block);
    return block;
}

// The data a drag carries: a text, a file list, or both.
class TestDataObject : public IDataObject {
public:
    TestDataObject(std::string text, std::vector<std::string> files) : text(std::move(text)), files(std::move(files)) {}
    virtual ~TestDataObject() = default;

    bool offersText() const { return !text.empty(); }
    bool offersFiles() const { return !files.empty(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override
    {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
            *out = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = --refs;
        if (left == 0)
            delete this;
        return ULONG(left);
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->pUnkForRelease = nullptr;
        medium->hGlobal = format->cfFormat == CF_TEXT ? globalCopy(text.c_str(), text.size() + 1) : fileList();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        if (!(format->tymed & TYMED_HGLOBAL))
            return DV_E_TYMED;
        if ((format->cfFormat == CF_TEXT && offersText()) || (format->cfFormat == CF_HDROP && offersFiles()))
            return S_OK;
        return DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    // The drop target asks for formats directly; nothing here is needed for a drag.
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC** out) override
    {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    HGLOBAL fileList() const
    {
        std::string names;
        for (const std::string& file : files)
            names.append(file).push_back('\0');
        names.push_back('\0');
        std::vector<char> block(sizeof(DROPFILES) + names.size());
        DROPFILES header{};
        header.pFiles = sizeof(DROPFILES);
        std::memcpy(block.data(), &header, sizeof header);
        std::memcpy(block.data() + sizeof header, names.data(), names.size());
        return globalCopy(block.data(), block.size());
    }

    LONG refs = 1;
    std::string text;
    std::vector<std::string> files;
};

// Without a button held the source moves the pointer onto the target itself and drops on a
// later pass (Wine picks the target window before it asks the source); with xdotool holding
// the button it drops when the button is released.
class TestDropSource : public IDropSource {
public:
    TestDropSource(POINT target, bool followButton) : target(target), followButton(followButton) {}
    virtual ~TestDropSource() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override
    {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropSource)) {
            *out = static_cast<IDropSource*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        if (escape || ++asked > 400)
            return DRAGDROP_S_CANCEL;
        if (followButton)
            return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
        if (asked < 4) {
            SetCursorPos(target.x, target.y);
            return S_OK;
        }
        return DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    POINT target;
    bool followButton;
    int asked = 0;
};

std::string longPath(const std::string& path)
{
    char buffer[MAX_PATH] = "";
    GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
    return buffer;
}

class DropTest : public ::testing::Test {
protected:
    static constexpr int hostX = 300;
    static constexpr int hostY = 200;

    // One host window for all: Wine takes two seconds to destroy one.
    static void SetUpTestSuite() { sharedHost = makeHostWindow(hostX, hostY, 200, 150, "BacktwisterDropHost"); }
    static void TearDownTestSuite() { DestroyWindow(sharedHost); }

    void SetUp() override
    {
        useTestModule();
        editor = new TestEditor(&effect);
        hostWindow = sharedHost;
        root = new RootView(Rect{0, 0, 200, 150}, hostWindow, editor);
        editor->setRootView(root);
        below = new RecordingView(Rect{0, 0, 200, 150});
        target = new RecordingView(Rect{40, 30, 120, 100});
        root->attachChild(below);
        root->attachChild(target);
        UpdateWindow(static_cast<HWND>(root->getOwnWindow()));

        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "backtwister-drop-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
    }

    void TearDown() override
    {
        editor->setRootView(nullptr);
        delete root;
        for (const std::string& file : made)
            DeleteFileA(file.c_str());
        RemoveDirectoryA(folder.c_str());
    }

    std::string makeFile(const char* name)
    {
        const std::string path = folder + "\\" + name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
        made.push_back(path);
        return path;
    }

    std::string makeShortcut(const char* name, const std::string& targetPath)
    {
        const std::string path = folder + "\\" + name;
        IShellLinkA* link = nullptr;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void**>(&link))))
            return {};
        link->SetPath(targetPath.c_str());
        IPersistFile* file = nullptr;
        link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        const HRESULT saved = file->Save(wide, TRUE);
        file->Release();
        link->Release();
        made.push_back(path);
        return SUCCEEDED(saved) ? path : std::string();
    }

    // The point (x, y) of the root's window on the screen.
    static POINT onScreen(int x, int y) { return POINT{hostX + x, hostY + y}; }

    HRESULT dragOnto(IDataObject* data, POINT where)
    {
        TestDropSource source(where, false);
        DWORD effect = DROPEFFECT_NONE;
        return DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    }

    static inline HWND sharedHost = nullptr;
    RecordingHost recorder;
    MinimalEffect effect{RecordingHost::callback};
    TestEditor* editor = nullptr;
    HWND hostWindow = nullptr;
    RootView* root = nullptr;
    RecordingView* below = nullptr;
    RecordingView* target = nullptr;
    std::string folder;
    std::vector<std::string> made;
};

TEST_F(DropTest, DraggedFilesArriveAsPathsWithShortcutsResolved)
{
    const std::string first = makeFile("first.wav");
    const std::string second = makeFile("second.wav");
    const std::string linked = makeFile("linked target.wav");
    const std::string shortcut = makeShortcut("shortcut.LNK", linked);
    ASSERT_FALSE(shortcut.empty());

    auto* data = new TestDataObject("", {first, second, shortcut});
    dragOnto(data, onScreen(60, 50));
    data->Release();

    ASSERT_EQ(target->drops, 1);
    EXPECT_EQ(below->drops, 0);
    EXPECT_EQ(target->dropKind, 0);
    EXPECT_EQ(target->dropCount, 3);
    ASSERT_EQ(target->droppedItems.size(), 3u);
    EXPECT_EQ(target->droppedItems[0], first);
    EXPECT_EQ(target->droppedItems[1], second);
    EXPECT_EQ(longPath(target->droppedItems[2]), longPath(linked));
    EXPECT_EQ(target->dropWhere, (Point{60, 50}));
}

TEST_F(DropTest, DraggedTextArrivesAsOneBlockCountedInBytes)
{
    const std::string text = "reverse me";
    auto* data = new TestDataObject(text, {});
    dragOnto(data, onScreen(45, 35));
    data->Release();

    ASSERT_EQ(target->drops, 1);
    EXPECT_EQ(target->dropKind, 1);
    ASSERT_EQ(target->droppedItems.size(), 1u);
    EXPECT_EQ(target->droppedItems[0], text);
    HGLOBAL same = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    EXPECT_EQ(target->dropCount, VstInt32(GlobalSize(same)));
    GlobalFree(same);
    EXPECT_EQ(target->dropWhere, (Point{45, 35}));
}

TEST_F(DropTest, TextWinsOverFilesAndARefusingChildPassesTheDropDown)
{
    target->acceptsDrops = false;
    auto* data = new TestDataObject("both", {makeFile("ignored.wav")});
    dragOnto(data, onScreen(60, 50));
    data->Release();

    EXPECT_EQ(target->drops, 1);
    ASSERT_EQ(below->drops, 1);
    EXPECT_EQ(below->dropKind, 1);
    EXPECT_EQ(below->droppedItems[0], "both");
}

// The pointer and button driven from the X server, as a user drags: press on another
// window, move onto the root's window, release. Off by default: about one run in five,
// Wine's drag loop misses the drop although both ends are ours and the button is held
// (the drags above, with the pointer moved by the drop source, cover the same path). Run it
// with --gtest_also_run_disabled_tests.
TEST_F(DropTest, DISABLED_RealButtonDragWithXdotoolDropsFiles)
{
    HWND start = makeHostWindow(40, 40, 100, 100, "BacktwisterDragSource");
    pumpMessages(50);
    const std::string file = makeFile("dragged.wav");
    // Windows of earlier tests may still be on their way out (Wine takes seconds to destroy a
    // top-level window without a window manager): wait until both ends of the drag are ours.
    ASSERT_TRUE(pumpUntil([&] { return WindowFromPoint(POINT{90, 90}) == start; }, 10000));
    ASSERT_TRUE(pumpUntil(
        [&] {
            return WindowFromPoint(POINT{360, 250}) == static_cast<HWND>(root->getOwnWindow());
        },
        10000));
    // Press and wait until Windows sees the button held; only then start the moves, late
    // enough that the drag loop below is already running, however loaded the machine is.
    ASSERT_TRUE(startUnix("/usr/bin/xdotool mousemove 90 90 mousedown 1")) << "xdotool is needed";
    ASSERT_TRUE(pumpUntil([] { return GetAsyncKeyState(VK_LBUTTON) < 0; }));
    startUnix("/usr/bin/xdotool sleep 1 mousemove 350 240 sleep 0.3 mousemove 360 250 sleep 0.5 mouseup 1");
    auto* data = new TestDataObject("", {file});
    TestDropSource source(POINT{0, 0}, true);
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    data->Release();
    DestroyWindow(start);
    startUnix("/usr/bin/xdotool mouseup 1");  // never leave the button held for later tests

    EXPECT_EQ(result, DRAGDROP_S_DROP);
    ASSERT_EQ(target->drops, 1);
    EXPECT_EQ(target->dropKind, 0);
    EXPECT_EQ(target->droppedItems, std::vector<std::string>{file});
    EXPECT_EQ(target->dropWhere, (Point{60, 50}));
}

TEST(DropTargetTest, ShowsCopyWithControlMoveWithoutAndNothingForOtherData)
{
    auto* dropTarget = static_cast<IDropTarget*>(DropTarget::create(nullptr));
    dropTarget->AddRef();
    auto* files = new TestDataObject("", {"C:\\a.wav"});
    auto* nothing = new TestDataObject("", {});
    const POINTL point{0, 0};
    DWORD effect = 99;

    EXPECT_EQ(dropTarget->DragEnter(files, MK_LBUTTON | MK_CONTROL, point, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
    dropTarget->DragOver(MK_LBUTTON, point, &effect);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_MOVE));

    EXPECT_EQ(dropTarget->DragEnter(nothing, MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    dropTarget->DragOver(MK_CONTROL, point, &effect);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    effect = 99;
    EXPECT_EQ(dropTarget->DragEnter(nullptr, 0, point, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));

    // Without a root a drop does nothing but answer.
    EXPECT_EQ(dropTarget->Drop(files, 0, point, &effect), S_OK);

    files->Release();
    nothing->Release();
    const int live = DropTarget::liveTargets();
    EXPECT_EQ(dropTarget->Release(), 0u);
    EXPECT_EQ(DropTarget::liveTargets(), live - 1);
}

TEST_F(DropTest, ShortcutsThatCannotBeResolvedAndOtherNamesStayAsTheyAre)
{
    char plain[DropTarget::pathCapacity] = "C:\\music\\take.lnk.wav";
    DropTarget::resolveShortcut(plain, DropTarget::pathCapacity);
    EXPECT_STREQ(plain, "C:\\music\\take.lnk.wav");

    const std::string missing = folder + "\\missing.lnk";
    char path[DropTarget::pathCapacity];
    std::strcpy(path, missing.c_str());
    DropTarget::resolveShortcut(path, DropTarget::pathCapacity);
    EXPECT_EQ(std::string(path), missing);

    const std::string linked = makeFile("target.wav");
    const std::string shortcut = makeShortcut("lower.lnk", linked);
    std::strcpy(path, shortcut.c_str());
    DropTarget::resolveShortcut(path, DropTarget::pathCapacity);
    EXPECT_EQ(longPath(path), longPath(linked));
}

}  // namespace
