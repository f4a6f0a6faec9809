// The text field's native edit box opened, typed into and closed by real pointer and key events
// under Wine, and its pixels.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "gui/controls/TextField.h"
#include "gui/draw/GraphicsLibrary.h"
#include "gui/draw/ViewGroup.h"
#include "tests/gui/ControlTestSupport.h"

using namespace kelp;

namespace {

struct TextListener : ControlListener {
    void valueChanged(DrawContext* context, Control* control) override
    {
        char text[ValueDisplay::textSize];
        static_cast<TextField*>(control)->getText(text);
        texts.emplace_back(text);
        withContext = context != nullptr;
        if (context)
            control->redrawIfDirty(context);
    }
    std::vector<std::string> texts;
    bool withContext = false;
};

class LooseFocusCountingGroup : public ViewGroup {
public:
    using ViewGroup::ViewGroup;
    VstInt32 notify(View* sender, const char* message) override
    {
        if (message == kMsgLooseFocus)
            ++looseFocus;
        return ViewGroup::notify(sender, message);
    }
    int looseFocus = 0;
};

void upperCase(const char* text, char* shown)
{
    int i = 0;
    for (; text[i] && i < ValueDisplay::textSize - 1; ++i)
        shown[i] = char(std::toupper(static_cast<unsigned char>(text[i])));
    shown[i] = 0;
}

std::string textOf(const TextField& field)
{
    char text[ValueDisplay::textSize];
    field.getText(text);
    return text;
}

// The field's pixels as drawn on a surface of their own.
void drawAlone(TextField& field, DrawTestSurface& surface)
{
    DrawContext context(nullptr, surface.dc(), nullptr);
    field.draw(&context);
}

}  // namespace

// A field inside a group at (10, 10) of the root, so the edit box must add the group's corner.
class TextFieldInputTest : public ControlGestureTest {
protected:
    static constexpr Rect fieldBounds{10, 20, 130, 40};  // in the group
    static constexpr Point centre{10 + 70, 10 + 30};     // in the root's window

    void SetUp() override
    {
        ControlGestureTest::SetUp();
        group = new LooseFocusCountingGroup(Rect{10, 10, 290, 190}, root, nullptr);
        attach(group);
        field = new TextField(fieldBounds, &listener, 7, "before", nullptr, 0);
        group->attachChild(field);
        showAll();
    }
    void TearDown() override
    {
        root->setFocusView(nullptr);
        ControlGestureTest::TearDown();
    }

    HWND editBoxes() const { return FindWindowExA(static_cast<HWND>(root->getOwnWindow()), nullptr, "Edit", nullptr); }
    bool waitUntilOpen()
    {
        return pumpUntil([this] { return static_cast<HWND>(field->getEditWindow()) != nullptr; });
    }
    bool waitUntilClosed()
    {
        return pumpUntil([this] { return !static_cast<HWND>(field->getEditWindow()) && !editBoxes(); });
    }

    // Opens the field with a click, then presses keys with the pointer kept over it (keys reach
    // Wine only then). xdotool's type would swallow the rest of the script.
    void clickAndType(const std::string& keys)
    {
        perform(to(centre) + "mousedown 1 sleep 0.15 mouseup 1 sleep 0.5 " + keys);
    }

    TextListener listener;
    LooseFocusCountingGroup* group = nullptr;
    TextField* field = nullptr;
};

TEST_F(TextFieldInputTest, ClickOpensTheEditBoxExactlyOverTheFieldAndOnlyOnce)
{
    click(centre);
    ASSERT_TRUE(waitUntilOpen());
    HWND edit = static_cast<HWND>(field->getEditWindow());
    EXPECT_EQ(editBoxes(), edit);
    RECT r{};
    GetWindowRect(edit, &r);
    const RECT expected{hostCorner.h + 20, hostCorner.v + 30, hostCorner.h + 20 + 121, hostCorner.v + 30 + 21};
    EXPECT_EQ(r.left, expected.left);
    EXPECT_EQ(r.top, expected.top);
    EXPECT_EQ(r.right, expected.right);
    EXPECT_EQ(r.bottom, expected.bottom);

    char shown[300] = {};
    GetWindowTextA(edit, shown, sizeof shown);
    EXPECT_STREQ(shown, "before");
    DWORD from = 1, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(end, 6u) << "the whole text is selected";
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 255);
    EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), MAKELONG(3, 3));
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(root->getFocusView(), field);

    click(centre);
    EXPECT_EQ(static_cast<HWND>(field->getEditWindow()), edit) << "a click on the open field does not reopen it";
    EXPECT_TRUE(IsWindow(edit));
}

TEST_F(TextFieldInputTest, TypingAndReturnTakeTheTextOverAndShowItConverted)
{
    field->setTextToText(upperCase);
    clickAndType("key --delay 40 m i x e d Return");
    ASSERT_TRUE(waitUntilClosed());
    EXPECT_EQ(listener.texts, std::vector<std::string>{"mixed"});
    EXPECT_TRUE(listener.withContext);
    EXPECT_EQ(textOf(*field), "mixed");
    EXPECT_EQ(group->looseFocus, 1);
    EXPECT_EQ(root->getFocusView(), nullptr);

    // The window shows the converted text where the field is: compare with a field drawn alone.
    pumpMessages(100);
    TextField reference(Rect{0, 0, 120, 20}, nullptr, 0, "MIXED", nullptr, 0);
    DrawTestSurface expected(120, 20), shown(120, 20);
    drawAlone(reference, expected);
    HDC window = GetDC(static_cast<HWND>(root->getOwnWindow()));
    BitBlt(shown.dc(), 0, 0, 120, 20, window, 20, 30, SRCCOPY);
    ReleaseDC(static_cast<HWND>(root->getOwnWindow()), window);
    int differing = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 120; ++x)
            differing += shown.pixel(x, y) != expected.pixel(x, y);
    EXPECT_EQ(differing, 0);
}

TEST_F(TextFieldInputTest, LeavingWithTheSameTextTellsNobodyButTheContainer)
{
    clickAndType("key Return");
    ASSERT_TRUE(waitUntilClosed());
    EXPECT_TRUE(listener.texts.empty());
    EXPECT_EQ(group->looseFocus, 1);
    EXPECT_EQ(textOf(*field), "before");
}

TEST_F(TextFieldInputTest, AClickElsewhereEndsEditingLikeReturn)
{
    clickAndType("key --delay 40 a b c");
    ASSERT_TRUE(static_cast<HWND>(field->getEditWindow()));
    click(Point{250, 150});
    ASSERT_TRUE(waitUntilClosed());
    EXPECT_EQ(listener.texts, std::vector<std::string>{"abc"});
    EXPECT_EQ(group->looseFocus, 1);
    EXPECT_EQ(root->getFocusView(), nullptr);
}

TEST_F(TextFieldInputTest, DoubleClickStyleOpensOnlyOnTheSecondClick)
{
    field->setStyle(TextField::styleDoubleClick);
    click(centre);
    pumpMessages(300);
    EXPECT_EQ(static_cast<HWND>(field->getEditWindow()), nullptr);
    EXPECT_EQ(root->getFocusView(), nullptr);

    Sleep(GetDoubleClickTime() + 100);  // the next pair must not pair up with that click
    perform(to(centre) + "mousedown 1 sleep 0.05 mouseup 1 sleep 0.1 mousedown 1 sleep 0.05 mouseup 1");
    EXPECT_TRUE(waitUntilOpen());
}

TEST_F(TextFieldInputTest, TheEditBoxTakesTheFieldsColoursAndGivesItsObjectsBack)
{
    field->setFontColor(Color{250, 240, 10, 0});
    field->setBackColor(Color{20, 60, 200, 0});
    const int objectsBefore = GraphicsLibrary::liveObjects();
    click(centre);
    ASSERT_TRUE(waitUntilOpen());
    HWND edit = static_cast<HWND>(field->getEditWindow());
    RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    pumpMessages(100);
    DrawTestSurface shown(121, 21);
    HDC device = GetDC(edit);
    BitBlt(shown.dc(), 0, 0, 121, 21, device, 0, 0, SRCCOPY);
    ReleaseDC(edit, device);
    EXPECT_GT(shown.count(RGB(20, 60, 200)), 121 * 21 / 2) << "background";
    // The text is selected, so it shows in the selection colours; unselect it to see its own.
    SendMessageA(edit, EM_SETSEL, 0, 0);
    RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    pumpMessages(100);
    device = GetDC(edit);
    BitBlt(shown.dc(), 0, 0, 121, 21, device, 0, 0, SRCCOPY);
    ReleaseDC(edit, device);
    EXPECT_GT(shown.count(RGB(250, 240, 10)), 10) << "text";

    root->setFocusView(nullptr);
    EXPECT_EQ(static_cast<HWND>(field->getEditWindow()), nullptr);
    EXPECT_EQ(GraphicsLibrary::liveObjects(), objectsBefore) << "font and brush deleted";
}

TEST_F(TextFieldInputTest, AFieldLetGoWhileEditingClosesItsBoxAndTheFocus)
{
    click(centre);
    ASSERT_TRUE(waitUntilOpen());
    group->detachChild(field, true);  // the creator's reference and the group's
    EXPECT_EQ(root->getFocusView(), nullptr);
    EXPECT_EQ(editBoxes(), nullptr);
    EXPECT_TRUE(listener.texts.empty());
}
