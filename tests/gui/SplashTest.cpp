// The splash control: real clicks open the splash as the root view's modal view and close it;
// a root that already has a modal view leaves it small.
#include <gtest/gtest.h>

#include "gui/controls/SplashControl.h"
#include "tests/gui/ControlTestSupport.h"

using namespace kelp;

namespace {

constexpr Rect kClickArea{20, 20, 40, 30};
constexpr Rect kSplashArea{100, 50, 200, 150};

class SplashGestureTest : public ControlGestureTest {
protected:
    void SetUp() override
    {
        ControlGestureTest::SetUp();
        Picture* face = new Picture(129);
        splash = attach(new SplashControl(kClickArea, editor, 1, face, kSplashArea, Point{0, 70}));
        face->release();
        showAll();
    }
    Rect bounds() const
    {
        Rect r;
        return splash->getBounds(r);
    }
    SplashControl* splash = nullptr;
};

}  // namespace

TEST_F(SplashGestureTest, TheFirstClickShowsTheSplashTheSecondPutsItAway)
{
    EXPECT_FALSE(splash->containsPoint(Point{25, 25}, mouseRight));
    click(Point{25, 25});
    EXPECT_EQ(root->getModalView(), splash);
    EXPECT_EQ(bounds(), kSplashArea);
    HDC window = GetDC(static_cast<HWND>(root->getOwnWindow()));
    EXPECT_NE(GetPixel(window, 150, 100), GetSysColor(COLOR_BTNFACE)) << "the splash is up";
    ReleaseDC(static_cast<HWND>(root->getOwnWindow()), window);

    click(Point{150, 100});
    EXPECT_EQ(root->getModalView(), nullptr);
    EXPECT_EQ(bounds(), kClickArea);
    EXPECT_EQ(editor->heard, (std::vector<float>{1.0f, 0.0f}));
}

TEST_F(SplashGestureTest, WithAnotherModalViewItOnlyTogglesItsValueAndKeepsItsBounds)
{
    auto* other = new RecordingView(Rect{250, 150, 260, 160});
    ASSERT_TRUE(root->setModalView(other));
    holdButton(Point{200, 20});  // over nothing: the modal view lies elsewhere
    splash->mouseDown(nullptr, Point{25, 25});
    EXPECT_EQ(splash->getValue(), 1.0f);
    EXPECT_TRUE(editor->heard.empty());
    splash->mouseDown(nullptr, Point{25, 25});
    splash->closeSplash();
    EXPECT_EQ(bounds(), kClickArea) << "bounds never saved are not restored";
    EXPECT_EQ(root->getModalView(), other);
    root->setModalView(nullptr);
    other->release();
}
