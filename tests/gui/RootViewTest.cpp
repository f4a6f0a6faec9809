// The root view on real windows under Wine: window class, child window, the window
// procedure's messages, child list, modal and focus views, idle redraws, resizing, the
// stand-alone form and the host gateway, and that nothing it creates outlives it.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "gui/draw/DropTarget.h"
#include "gui/draw/GraphicsLibrary.h"
#include "gui/draw/VstWindow.h"
#include "tests/gui/RootViewTestSupport.h"

using namespace kelp;

namespace {

Rect clientSize(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return Rect{0, 0, r.right - r.left, r.bottom - r.top};
}

// Records the capability texts the host is asked about while they still exist.
std::vector<std::string> capabilitiesAsked;

VstIntPtr VSTCALL recordingCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                    float opt)
{
    if (opcode == audioMasterCanDo && ptr)
        capabilitiesAsked.emplace_back(static_cast<const char*>(ptr));
    return RecordingHost::callback(effect, opcode, index, value, ptr, opt);
}

class RootViewTest : public ::testing::Test {
protected:
    // Destroying a top-level window takes Wine two seconds without a window manager, so the
    // tests share one host window and only those that destroy it make their own.
    static void SetUpTestSuite() { sharedHost = makeHostWindow(100, 100, 260, 190); }
    static void TearDownTestSuite() { DestroyWindow(sharedHost); }

    void SetUp() override
    {
        useTestModule();
        capabilitiesAsked.clear();
        editor = new TestEditor(&effect);
        hostWindow = sharedHost;
        ASSERT_NE(hostWindow, nullptr);
        SetWindowPos(hostWindow, nullptr, 100, 100, 260, 190, SWP_NOZORDER);
        ValidateRect(hostWindow, nullptr);
    }

    void useOwnHostWindow() { hostWindow = makeHostWindow(100, 100, 260, 190); }

    void TearDown() override
    {
        closeRoot();
        if (hostWindow != sharedHost && IsWindow(hostWindow))
            DestroyWindow(hostWindow);
        pumpMessages(0);
        EXPECT_EQ(RootView::windowClassUseCount(), 0);
        EXPECT_EQ(DropTarget::liveTargets(), 0);
    }

    // A root in the host window that the editor's idle reaches.
    RootView* openRoot(const Rect& bounds = Rect{0, 0, 200, 150})
    {
        root = new RootView(bounds, hostWindow, editor);
        editor->setRootView(root);
        return root;
    }

    void closeRoot()
    {
        editor->setRootView(nullptr);
        delete root;
        root = nullptr;
    }

    template <typename V = RecordingView>
    V* attach(const Rect& bounds)
    {
        auto* view = new V(bounds);
        EXPECT_TRUE(root->attachChild(view));
        return view;
    }

    static inline HWND sharedHost = nullptr;
    RecordingHost recorder;
    MinimalEffect effect{recordingCallback};
    TestEditor* editor = nullptr;  // deleted by the effect
    HWND hostWindow = nullptr;
    RootView* root = nullptr;
};

TEST_F(RootViewTest, TwoRootsRegisterTheWindowClassOnceAndTheSecondUnregistersIt)
{
    char expected[32];
    std::snprintf(expected, sizeof expected, "Plugin%08x", unsigned(std::uintptr_t(GetModuleHandleA(nullptr))));
    ASSERT_FALSE(windowClassExists(expected));

    auto first = std::make_unique<RootView>(Rect{0, 0, 200, 150}, hostWindow, editor);
    EXPECT_STREQ(RootView::windowClassName(), expected);
    EXPECT_TRUE(windowClassExists(expected));
    auto second = std::make_unique<RootView>(Rect{0, 0, 50, 40}, hostWindow, editor);
    EXPECT_EQ(RootView::windowClassUseCount(), 2);

    HWND window = static_cast<HWND>(second->getOwnWindow());
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    EXPECT_STREQ(name, expected);
    GetWindowTextA(window, name, sizeof name);
    EXPECT_STREQ(name, "Window");
    EXPECT_EQ(GetParent(window), hostWindow);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(clientSize(window), (Rect{0, 0, 50, 40}));
    EXPECT_TRUE(second->fileDropsEnabled());

    first.reset();
    EXPECT_TRUE(windowClassExists(expected));
    EXPECT_TRUE(IsWindow(window));
    second.reset();
    EXPECT_FALSE(windowClassExists(expected));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(RootViewTest, PaintDrawsWhatOverlapsTheUpdateRegionAndNothingWithoutOne)
{
    openRoot();
    RecordingView* inside = attach(Rect{10, 10, 20, 20});
    RecordingView* outside = attach(Rect{100, 100, 120, 120});
    HWND window = static_cast<HWND>(root->getOwnWindow());
    EXPECT_TRUE(root->isFirstDrawPending());

    UpdateWindow(window);  // the first paint covers the whole window
    EXPECT_FALSE(root->isFirstDrawPending());
    ASSERT_EQ(inside->paintedAreas.size(), 1u);
    EXPECT_EQ(inside->paintedAreas[0], (Rect{0, 0, 200, 150}));

    inside->paintedAreas.clear();
    outside->paintedAreas.clear();
    const RECT area{12, 12, 18, 18};
    InvalidateRect(window, &area, FALSE);
    UpdateWindow(window);
    ASSERT_EQ(inside->paintedAreas.size(), 1u);
    EXPECT_EQ(inside->paintedAreas[0], (Rect{12, 12, 18, 18}));
    EXPECT_TRUE(outside->paintedAreas.empty());

    SendMessageA(window, WM_PAINT, 0, 0);  // nothing invalid: default processing
    EXPECT_EQ(inside->paintedAreas.size(), 1u);
}

TEST_F(RootViewTest, PressesDecodeBothHalvesOfLParamUnsignedAndGoToTheTopmostEnabledChild)
{
    openRoot();
    RecordingView* below = attach(Rect{0, 0, 70000, 70000});
    RecordingView* above = attach(Rect{0, 0, 10, 10});
    HWND window = static_cast<HWND>(root->getOwnWindow());

    EXPECT_EQ(SendMessageA(window, WM_LBUTTONDOWN, 0, 0x00050003), 0);
    ASSERT_EQ(above->presses.size(), 1u);
    EXPECT_EQ(above->presses[0], (Point{3, 5}));
    EXPECT_TRUE(above->pressHadContext);
    EXPECT_TRUE(below->presses.empty());

    SendMessageA(window, WM_RBUTTONDOWN, 0, LPARAM(0x8001FFFFu));
    SendMessageA(window, WM_MBUTTONDOWN, 0, 0x000C000B);
    ASSERT_EQ(below->presses.size(), 2u);
    EXPECT_EQ(below->presses[0], (Point{65535, 32769}));
    EXPECT_EQ(below->presses[1], (Point{11, 12}));

    above->enableMouse(false);
    SendMessageA(window, WM_LBUTTONDOWN, 0, 0x00050003);
    EXPECT_EQ(above->presses.size(), 1u);
    EXPECT_EQ(below->presses.size(), 3u);
}

TEST_F(RootViewTest, IdleDrawsDirtyViewsOnlyAfterTheFirstPaint)
{
    openRoot();
    RecordingView* view = attach(Rect{10, 10, 40, 40});
    RecordingView* clean = attach(Rect{50, 50, 60, 60});
    view->setDirty(true);
    ValidateRect(static_cast<HWND>(root->getOwnWindow()), nullptr);

    editor->idle();
    root->redrawDirty();
    EXPECT_EQ(view->draws, 0);
    EXPECT_TRUE(view->isDirty());

    InvalidateRect(static_cast<HWND>(root->getOwnWindow()), nullptr, FALSE);
    UpdateWindow(static_cast<HWND>(root->getOwnWindow()));
    EXPECT_EQ(view->draws, 1);
    EXPECT_FALSE(view->isDirty());

    view->setDirty(true);
    editor->idle();
    EXPECT_EQ(view->draws, 2);
    EXPECT_EQ(clean->draws, 1);  // only its paint
    EXPECT_FALSE(root->anythingDirty());
}

TEST_F(RootViewTest, ResizeThroughAHostThatCanSizeWindowsLeavesTheBounds)
{
    openRoot();
    recorder.answers[audioMasterCanDo] = 1;
    recorder.answers[audioMasterSizeWindow] = 1;
    EXPECT_FALSE(root->resizeTo(200, 150));
    EXPECT_TRUE(recorder.calls.empty());

    EXPECT_TRUE(root->resizeTo(250, 180));
    EXPECT_EQ(capabilitiesAsked, std::vector<std::string>{"sizeWindow"});
    const auto sized = recorder.callsOf(audioMasterSizeWindow);
    ASSERT_EQ(sized.size(), 1u);
    EXPECT_EQ(sized[0].index, 250);
    EXPECT_EQ(sized[0].value, 180);
    EXPECT_EQ(clientSize(static_cast<HWND>(root->getOwnWindow())), (Rect{0, 0, 250, 180}));
    EXPECT_EQ(clientSize(hostWindow), (Rect{0, 0, 260, 190}));
    EXPECT_EQ(root->boundsRef(), (Rect{0, 0, 200, 150}));
}

TEST_F(RootViewTest, ResizeWithoutTheHostWalksUpTheWindowsKeepingTheirMargins)
{
    openRoot();
    recorder.answers[audioMasterCanDo] = 1;  // can, but refuses this one
    EXPECT_TRUE(root->resizeTo(250, 180));
    EXPECT_EQ(recorder.callsOf(audioMasterSizeWindow).size(), 1u);
    EXPECT_EQ(root->boundsRef(), (Rect{0, 0, 250, 180}));
    EXPECT_EQ(clientSize(static_cast<HWND>(root->getOwnWindow())), (Rect{0, 0, 250, 180}));
    EXPECT_EQ(clientSize(hostWindow), (Rect{0, 0, 310, 220}));  // margins 60 x 40 kept
}

TEST_F(RootViewTest, ResizeLeavesAParentFarLargerThanTheViewAlone)
{
    SetWindowPos(hostWindow, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    openRoot();
    EXPECT_TRUE(root->resizeTo(120, 100));
    EXPECT_EQ(clientSize(static_cast<HWND>(root->getOwnWindow())), (Rect{0, 0, 120, 100}));
    EXPECT_EQ(clientSize(hostWindow), (Rect{0, 0, 400, 300}));
}

TEST_F(RootViewTest, HostGatewayForwardsEditsWithTheTagAndRunsTheEditorsIdle)
{
    openRoot();
    recorder.answers[audioMasterEndEdit] = 1;
    root->beginEdit(2);
    EXPECT_TRUE(root->endEdit(2));
    const auto began = recorder.callsOf(audioMasterBeginEdit);
    const auto ended = recorder.callsOf(audioMasterEndEdit);
    ASSERT_EQ(began.size(), 1u);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(began[0].index, 2);
    EXPECT_EQ(ended[0].index, 2);

    const int before = editor->idleCalls;
    Sleep(120);  // past the pacing interval of the editor's construction
    root->runHostIdle();
    EXPECT_EQ(editor->idleCalls, before + 1);
    EXPECT_EQ(recorder.callsOf(audioMasterIdle).size(), 1u);
    EXPECT_NE(root->tickCount(), 0);

    RootView orphan(Rect{0, 0, 10, 10}, HWND(nullptr), nullptr);
    EXPECT_FALSE(orphan.endEdit(2));
    EXPECT_EQ(orphan.tickCount(), 0);
    orphan.runHostIdle();
    EXPECT_EQ(recorder.callsOf(audioMasterEndEdit).size(), 1u);
}

TEST_F(RootViewTest, WheelGoesToTheChildUnderTheCursorInWindowCoordinates)
{
    openRoot();
    RecordingView* view = attach(Rect{20, 30, 80, 90});
    SetCursorPos(100 + 50, 100 + 60);
    EXPECT_TRUE(editor->wheel(2.0f));
    EXPECT_EQ(view->wheelWhere, (Point{50, 60}));
    EXPECT_EQ(view->wheelDistance, 2.0f);
    EXPECT_TRUE(view->wheelHadContext);
    EXPECT_EQ(root->childUnderCursor(), view);

    SetCursorPos(100 + 150, 100 + 10);
    EXPECT_FALSE(editor->wheel(1.0f));
    EXPECT_EQ(root->childUnderCursor(), nullptr);
}

// A real press from the X server: the pointer moved onto the window and the button held,
// while the window procedure turns the press into mouseDown and the view polls the buttons.
TEST_F(RootViewTest, RealPointerPressReachesTheViewUnderIt)
{
    openRoot();
    RecordingView* view = attach(Rect{20, 30, 80, 90});
    UpdateWindow(static_cast<HWND>(root->getOwnWindow()));
    pumpMessages(50);
    ASSERT_TRUE(startUnix("/usr/bin/xdotool mousemove 150 160 mousedown 1")) << "xdotool is needed";
    const bool pressed = pumpUntil([&] { return !view->presses.empty(); });
    startUnix("/usr/bin/xdotool mouseup 1");
    pumpMessages(50);
    ASSERT_TRUE(pressed);
    EXPECT_EQ(view->presses[0], (Point{50, 60}));
    EXPECT_TRUE(view->buttonsAtPress & mouseLeft);
}

TEST_F(RootViewTest, MenuItemSizesAndEditColoursComeFromTheFocusView)
{
    class Painter : public RecordingView,
                    public RootView::MenuItemPainterSource,
                    public RootView::MenuItemPainter,
                    public RootView::EditBoxColors {
    public:
        Painter() : RecordingView(Rect{}) {}
        MenuItemPainter* itemPainter() override { return this; }
        void measureItem(void* data, DrawContext* context, Point& size) override
        {
            measuredData = data;
            measuredWithContext = context != nullptr;
            size = Point{33, 44};
        }
        void drawItem(void*, VstInt32, VstInt32, DrawContext*, const Rect&) override {}
        Color editTextColor() const override { return colorRed; }
        Color editBackColor() const override { return colorBlue; }
        NativeObject& editBackBrush() override { return brush; }

        void* measuredData = nullptr;
        bool measuredWithContext = false;
        NativeObject brush = nullptr;
    };
    openRoot();
    Painter painter;
    HWND window = static_cast<HWND>(root->getOwnWindow());
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemData = 77;
    EXPECT_EQ(SendMessageA(window, WM_MEASUREITEM, 0, LPARAM(&measure)), 0);  // no focus view yet

    root->setFocusView(&painter);
    EXPECT_EQ(SendMessageA(window, WM_MEASUREITEM, 0, LPARAM(&measure)), 1);
    EXPECT_EQ(painter.measuredData, reinterpret_cast<void*>(77));
    EXPECT_TRUE(painter.measuredWithContext);
    EXPECT_EQ(measure.itemWidth, 33u);
    EXPECT_EQ(measure.itemHeight, 44u);

    HDC device = GetDC(window);

    const int gdiBefore = GraphicsLibrary::liveObjects();
    auto first = HBRUSH(SendMessageA(window, WM_CTLCOLOREDIT, WPARAM(device), 0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, painter.brush);
    EXPECT_EQ(GetTextColor(device), RGB(255, 0, 0));
    EXPECT_EQ(GetBkColor(device), RGB(0, 0, 255));
    auto second = HBRUSH(SendMessageA(window, WM_CTLCOLOREDIT, WPARAM(device), 0));
    EXPECT_EQ(second, painter.brush);
    EXPECT_EQ(GetObjectType(first), 0u);  // the previous brush is deleted
    EXPECT_EQ(GraphicsLibrary::liveObjects(), gdiBefore + 1);
    GraphicsLibrary::deleteObject(painter.brush);
    ReleaseDC(window, device);
    root->setFocusView(nullptr);
}

TEST_F(RootViewTest, StandAloneFormAsksTheHostForAWindowAndClosesIt)
{
    const std::string longTitle(200, 't');
    auto standAlone = std::make_unique<RootView>(Rect{10, 20, 330, 260}, longTitle.c_str(), editor, 7);
    const VstWindow* record = standAlone->windowRecord();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(std::string(record->title), longTitle.substr(0, 127));
    EXPECT_EQ(record->xPos, 10);
    EXPECT_EQ(record->yPos, 20);
    EXPECT_EQ(record->width, 320);
    EXPECT_EQ(record->height, 240);
    EXPECT_EQ(record->style, 7);
    EXPECT_FALSE(standAlone->windowIsOpen());
    EXPECT_EQ(static_cast<HWND>(standAlone->getOwnWindow()), nullptr);

    EXPECT_FALSE(standAlone->openOwnWindow(nullptr));  // the host offers no window
    recorder.answers[audioMasterOpenWindow] = VstIntPtr(hostWindow);
    const Point position{30, 40};
    EXPECT_TRUE(standAlone->openOwnWindow(&position));
    EXPECT_EQ(record->xPos, 30);
    EXPECT_EQ(record->yPos, 40);
    EXPECT_EQ(recorder.callsOf(audioMasterOpenWindow).back().ptr, record);
    EXPECT_EQ(GetParent(static_cast<HWND>(standAlone->getOwnWindow())), hostWindow);
    EXPECT_FALSE(standAlone->openOwnWindow(nullptr));  // already open

    EXPECT_TRUE(standAlone->closeOwnWindow());
    ASSERT_EQ(recorder.callsOf(audioMasterCloseWindow).size(), 1u);
    EXPECT_EQ(recorder.callsOf(audioMasterCloseWindow)[0].ptr, record);
    EXPECT_EQ(static_cast<HWND>(standAlone->getHostWindow()), nullptr);
    EXPECT_FALSE(standAlone->closeOwnWindow());
    HWND own = static_cast<HWND>(standAlone->getOwnWindow());
    standAlone.reset();
    EXPECT_FALSE(IsWindow(own));
}

// Robustness: nothing the root creates (windows, drop targets, GDI objects, the class)
// outlives it, whatever order the host tears things down in.
TEST_F(RootViewTest, TwoHundredRootsLeaveNoWindowsTargetsOrGdiObjects)
{
    int destroyed = 0;
    const int gdiBefore = GraphicsLibrary::liveObjects();
    std::vector<HWND> windows;
    for (int i = 0; i < 200; ++i) {
        auto* made = new RootView(Rect{0, 0, 200, 150}, hostWindow, editor);
        auto* view = new RecordingView(Rect{5, 5, 50, 50}, &destroyed);
        made->attachChild(view);
        windows.push_back(static_cast<HWND>(made->getOwnWindow()));
        UpdateWindow(static_cast<HWND>(made->getOwnWindow()));
        view->setDirty(true);
        made->redrawDirty();
        EXPECT_EQ(view->draws, 2);
        delete made;
    }
    pumpMessages(0);
    EXPECT_EQ(destroyed, 200);
    for (HWND window : windows)
        ASSERT_FALSE(IsWindow(window));
    EXPECT_EQ(GraphicsLibrary::liveObjects(), gdiBefore);
    EXPECT_FALSE(windowClassExists(RootView::windowClassName()));
}

TEST_F(RootViewTest, HostWindowDestroyedFirstClosesTheRootSafely)
{
    useOwnHostWindow();
    openRoot();
    RecordingView* view = attach(Rect{0, 0, 10, 10});
    HWND window = static_cast<HWND>(root->getOwnWindow());
    UpdateWindow(window);
    ASSERT_EQ(DropTarget::liveTargets(), 1);

    DestroyWindow(hostWindow);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(root->windowIsOpen());
    EXPECT_EQ(static_cast<HWND>(root->getHostWindow()), nullptr);
    EXPECT_EQ(DropTarget::liveTargets(), 0);  // the registration went with the window

    view->setDirty(true);
    editor->idle();
    root->drawView(nullptr);
    EXPECT_EQ(view->draws, 1);  // the paint before, nothing after
    EXPECT_FALSE(root->resizeTo(300, 300));
    int x = 0;
    int y = 0;
    EXPECT_FALSE(root->hostFramePosition(x, y));
    closeRoot();
    EXPECT_EQ(RootView::windowClassUseCount(), 0);
}

TEST_F(RootViewTest, RootWithoutAHostWindowHasNoWindowAndDrawsNothing)
{
    root = new RootView(Rect{0, 0, 100, 100}, HWND(nullptr), editor);
    editor->setRootView(root);
    RecordingView* view = attach(Rect{0, 0, 10, 10});
    EXPECT_EQ(static_cast<HWND>(root->getOwnWindow()), nullptr);
    EXPECT_EQ(RootView::windowClassUseCount(), 0);
    EXPECT_FALSE(root->enableFileDrops(true));
    editor->idle();
    editor->redrawAll();
    EXPECT_EQ(view->draws, 0);
}

TEST_F(RootViewTest, HostFramePositionFindsTheHostWindowInItsParentsCoordinates)
{
    openRoot(Rect{0, 0, 240, 170});  // within 60 pixels of the host window on both axes
    int x = 0;
    int y = 0;
    EXPECT_TRUE(root->hostFramePosition(x, y));
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 100);
}

}  // namespace
