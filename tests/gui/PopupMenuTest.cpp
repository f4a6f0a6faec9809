// Choices made in the popup menu's native menu with real keys and clicks from xdotool under
// Wine, and the flags of the native menu's items.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "gui/controls/PopupMenu.h"
#include "tests/gui/ControlTestSupport.h"
#include "tests/gui/FileChooserTestSupport.h"

using namespace kelp;

namespace {

constexpr Rect kBox{20, 20, 120, 40};
using Texts = std::vector<std::string>;
using Call = std::pair<Control*, float>;

PopupMenu* filled(PopupMenu* menu, std::initializer_list<const char*> texts)
{
    for (const char* text : texts)
        menu->addEntry(text);
    return menu;
}

struct Heard : ControlListener {
    void valueChanged(DrawContext* context, Control* control) override
    {
        calls.emplace_back(control, control->getValue());
        withContext = withContext && context;
    }
    std::vector<Call> calls;
    bool withContext = true;
};

}  // namespace

// A, B, More (X, Y, Z), separator, C; the pointer stays over the box so that keys reach the menu.
class PopupMenuGestureTest : public ControlGestureTest {
protected:
    void SetUp() override
    {
        ControlGestureTest::SetUp();
        pressed = new Picture(911);
        menu = attach(filled(new PopupMenu(kBox, &heard, 7, nullptr, pressed, 0), {"A", "B"}));
        pressed->release();
        sub = filled(new PopupMenu(kBox, nullptr, 8, nullptr, nullptr, 0), {"X", "Y", "Z"});
        menu->addSubmenu(sub, "More");
        sub->release();
        filled(menu, {"-", "C"});
        showAll();
    }
    void open(const std::string& then, const char* button = "1")
    {
        perform(to(centre) + "mousedown " + button + " sleep 0.15 mouseup " + button + " sleep 0.8 " + then);
    }

    // Clicks at `at` and works the menu that opens from a thread of its own, the test's thread
    // being inside the menu meanwhile; Escape follows until the menu has closed, so that a
    // failing test never stays in it.
    template <typename Steps>
    void workMenu(const Point& at, Steps steps)
    {
        std::atomic<bool> worked{false}, closed{false};
        std::thread driver([&] {
            HWND shown = nullptr;
            for (const DWORD end = GetTickCount() + 10000; !(shown = visibleMenu()) && LONG(end - GetTickCount()) > 0;)
                Sleep(20);
            if (shown) {
                Sleep(500);
                steps(shown, HMENU(SendMessageA(shown, MN_GETHMENU, 0, 0)));
            }
            worked = true;
            for (int tries = 0; tries < 20 && !closed; ++tries, Sleep(500))
                xdotool(moveTo(hostCorner.h + at.h, hostCorner.v + at.v) + " key Escape");
        });
        startUnix("/usr/bin/xdotool" + to(at) + "mousedown 1 sleep 0.15 mouseup 1");
        EXPECT_TRUE(pumpUntil([&] { return worked.load(); }, 30000));
        closed = true;
        driver.join();
    }
    static HWND visibleMenu()
    {
        for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32768", nullptr));)
            if (IsWindowVisible(window))
                return window;
        return nullptr;
    }

    static constexpr Point centre{70, 30};
    Heard heard;
    Picture* pressed = nullptr;
    PopupMenu* menu = nullptr;
    PopupMenu* sub = nullptr;
};

TEST_F(PopupMenuGestureTest, KeysChooseInASubmenuAndTheListenerHearsThatMenu)
{
    menu->setValue(1.0f);
    open("key --delay 150 Down Down Down Right Down Down Return");
    EXPECT_EQ(heard.calls, std::vector<Call>{Call(sub, 2.0f)});
    EXPECT_EQ(menu->getValue(), 1.0f);
    EXPECT_EQ(menu->getLastResult(), 7) << "the submenu's ids follow the menu's five";
    VstInt32 index = -1;
    EXPECT_EQ(menu->getLastMenu(index), sub);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(root->getFocusView(), nullptr);

    startUnix("/usr/bin/xdotool" + to(centre) + "sleep 0.8 key Down Return");
    menu->focusGained(nullptr);  // opened without a press, so without a context
    EXPECT_EQ(heard.calls.back(), Call(menu, 0.0f));
    EXPECT_TRUE(heard.withContext) << "a context is made for the listener";
}

TEST_F(PopupMenuGestureTest, ChoosingTwiceTogglesAMultipleCheckAndDismissingTellsNobody)
{
    menu->setStyle(PopupMenu::styleMultipleCheck);
    open("key Down Return", "3");
    EXPECT_EQ(menu->getLastButtons(), int(mouseRight));
    EXPECT_TRUE(menu->isChecked(0));
    open("key Down Return");
    EXPECT_FALSE(menu->isChecked(0));
    ASSERT_EQ(heard.calls.size(), 2u);

    menu->setValue(1.0f);
    for (const std::string& dismissal : {std::string("key Escape"), to(Point{250, 150}) + "click 1"}) {
        menu->setDirty(false);
        open(dismissal);
        EXPECT_EQ(heard.calls.size(), 2u);
        EXPECT_EQ(menu->getValue(), 1.0f);
        EXPECT_TRUE(menu->isDirty()) << "the normal box replaces the pressed picture";
    }
}

TEST_F(PopupMenuGestureTest, AClickOnAnItemChoosesItInAMenuOpenedBelowTheBox)
{
    RECT shownAt{};
    workMenu(centre, [&](HWND window, HMENU shown) {
        GetWindowRect(window, &shownAt);
        RECT item{};  // C, after the separator
        if (GetMenuItemRect(nullptr, shown, 4, &item))
            clickAt(POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    });
    EXPECT_EQ(shownAt.left, hostCorner.h + kBox.left) << "below the box";
    EXPECT_EQ(shownAt.top, hostCorner.v + kBox.bottom);
    EXPECT_EQ(heard.calls, std::vector<Call>{Call(menu, 4.0f)});
}

// Every kind of entry as the system's menu holds it: a title disabled but not grey, a greyed
// entry, the current entry checked, a separator, a new column every two items, and the menu
// opened over the box rather than below it; and destroyed after, whoever took the focus.
TEST_F(PopupMenuGestureTest, TheNativeMenuHoldsEachKindOfEntryAsItsFlags)
{
    auto* kinds = attach(filled(new PopupMenu(Rect{150, 20, 250, 40}, &heard, 9, nullptr, nullptr,
                                              PopupMenu::styleOpenAbove | PopupMenu::styleCheckCurrent),
                                {"-TTitle", "-GGrey", "A", "-", "B"}));
    kinds->setCurrent(2, true);
    kinds->setItemsPerColumn(2);
    std::vector<UINT> states;
    HMENU shown = nullptr;
    RECT shownAt{};
    workMenu(Point{200, 30}, [&](HWND window, HMENU menuShown) {
        GetWindowRect(window, &shownAt);
        shown = menuShown;
        for (int k = 0; k < GetMenuItemCount(shown); ++k)
            states.push_back(GetMenuState(shown, k, MF_BYPOSITION));
        // A press on the root's window takes the focus from the open menu.
        SendMessageA(static_cast<HWND>(root->getOwnWindow()), WM_LBUTTONDOWN, 0, MAKELPARAM(280, 150));
    });

    ASSERT_EQ(states.size(), 5u);
    const UINT kind = MF_DISABLED | MF_GRAYED | MF_CHECKED | MF_SEPARATOR | MF_MENUBREAK;
    EXPECT_EQ(states[0] & kind, UINT(MF_DISABLED)) << "title";
    EXPECT_EQ(states[1] & MF_GRAYED, UINT(MF_GRAYED)) << "greyed";
    EXPECT_EQ(states[2] & kind, UINT(MF_CHECKED | MF_MENUBREAK)) << "current, and the third item";
    EXPECT_EQ(states[3] & MF_SEPARATOR, UINT(MF_SEPARATOR));
    EXPECT_EQ(states[4] & kind, UINT(MF_MENUBREAK)) << "the fifth item starts the third column";
    EXPECT_EQ(shownAt.top, hostCorner.v + 20) << "over the box";
    EXPECT_TRUE(heard.calls.empty());
    EXPECT_FALSE(IsMenu(shown)) << "destroyed although the focus was taken while it was open";
}

// Ids run on through the whole tree, and a command message holds 16 bits of one: entries past
// 65535 are left out rather than be chosen as the entry whose id they wrap round to.
TEST_F(PopupMenuGestureTest, EntriesBeyondSixteenBitIdsAreLeftOut)
{
    auto* tree = attach(filled(new PopupMenu(Rect{150, 20, 250, 40}, &heard, 9, nullptr, nullptr, 0), {"A"}));
    for (int s = 0; s < 64; ++s) {
        auto* sub = new PopupMenu(Rect{}, nullptr, 0, nullptr, nullptr, 0);
        for (int k = 0; k < PopupMenu::maxEntries; ++k)
            sub->addEntry("e");
        tree->addSubmenu(sub, "more");
        sub->release();
    }
    int firstCount = -1, lastCount = -1;
    workMenu(Point{200, 30}, [&](HWND, HMENU shown) {
        firstCount = GetMenuItemCount(GetSubMenu(shown, 1));
        lastCount = GetMenuItemCount(GetSubMenu(shown, 64));
    });
    EXPECT_EQ(firstCount, PopupMenu::maxEntries);
    // The last submenu's ids start at 65 + 63 * 1024 = 64577.
    EXPECT_EQ(lastCount, 65535 - 64577 + 1);
}
