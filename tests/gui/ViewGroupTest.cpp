// The view group: references, routing in group coordinates, origins that are set rather than
// added up, its pixels on memory surfaces and a real window, and its buffer's lifetime.
#include <gtest/gtest.h>

#include <string>

#include "gui/draw/GraphicsLibrary.h"
#include "gui/draw/OffscreenContext.h"
#include "gui/draw/ViewGroup.h"
#include "tests/gui/ControlTestSupport.h"

using namespace kelp;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGreen = RGB(0, 200, 0);

// Paints its bounds green, edges included, and notes the origin it was drawn and pressed under.
struct PaintingView : RecordingView {
    using RecordingView::RecordingView;
    void draw(DrawContext* context) override
    {
        drawOrigin = context->getOrigin();
        context->setPenColor(Color::fromPlatform(kGreen));
        context->setBrushColor(Color::fromPlatform(kGreen));
        context->frameRect(bounds);
        context->fillRect(bounds);
        RecordingView::draw(context);
    }
    void mouseDown(DrawContext* context, const Point& where) override
    {
        pressOrigin = context ? context->getOrigin() : Point{};
        RecordingView::mouseDown(context, where);
    }
    Point drawOrigin, pressOrigin;
};

class ViewGroupTest : public ::testing::Test {
protected:
    void SetUp() override { useTestModule(); }
    void TearDown() override { group->release(); }

    void makeGroup(bool buffered)
    {
        if (group)
            group->release();
        group = new ViewGroup(Rect{100, 50, 150, 100}, &root, nullptr);
        group->useOffscreen(buffered);
        group->setBackColor(colorBlue);
    }

    PaintingView* attach(const Rect& bounds, ViewGroup* to = nullptr)
    {
        auto* view = new PaintingView(bounds);
        (to ? to : group)->attachChild(view);  // the creator's reference goes with it
        return view;
    }

    // Draws the group over a surface showing before(x, y).
    void drawOver(COLORREF (*before)(int, int))
    {
        for (int y = 0; y < surface.height; ++y)
            for (int x = 0; x < surface.width; ++x)
                SetPixel(surface.dc(), x, y, before(x, y));
        DrawContext context(&root, surface.dc(), nullptr);
        group->draw(&context);
    }
    static COLORREF white(int, int) { return kWhite; }

    RootView root{Rect{0, 0, 200, 120}, nullptr, nullptr};  // no window: memory surfaces only
    ViewGroup* group = nullptr;
    DrawTestSurface surface{200, 120};
};

}  // namespace

TEST_F(ViewGroupTest, DrawsAtItsCornerAndATransparentOneWithoutPictureOnlyItsChildren)
{
    for (const bool buffered : {false, true}) {
        SCOPED_TRACE(buffered ? "buffered" : "unbuffered");
        makeGroup(buffered);
        attach(Rect{10, 10, 20, 20});
        drawOver(white);
        EXPECT_EQ(surface.extent(kGreen), (Rect{110, 60, 120, 70}));
        EXPECT_EQ(surface.pixel(149, 99), RGB(0, 0, 255));
        EXPECT_EQ(surface.extent(kWhite, false).right, 149) << "nothing beyond the group";

        group->setTransparent(true);
        drawOver(DrawTestSurface::patternAt);
        int changed = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 200; ++x)
                changed += surface.pixel(x, y) != DrawTestSurface::patternAt(x, y);
        EXPECT_EQ(changed, 11 * 11) << "only the child's pixels";
    }
}

TEST_F(ViewGroupTest, DrawModeOneRepaintsOnlyTheDirtyChildOverItsBackground)
{
    makeGroup(false);
    group->setDrawMode(ViewGroup::redrawDirtyChildren);
    PaintingView* quiet = attach(Rect{2, 2, 8, 8});
    PaintingView* changing = attach(Rect{20, 20, 30, 30});
    drawOver(white);
    surface.fill(kWhite);
    changing->setDirty(true);
    DrawContext context(&root, surface.dc(), nullptr);
    group->redrawIfDirty(&context);
    EXPECT_EQ(quiet->draws, 1);
    EXPECT_EQ(surface.extent(kWhite, false), (Rect{120, 70, 130, 80}));
    EXPECT_FALSE(group->isDirty());
}

TEST_F(ViewGroupTest, TheBufferComesWithAttachingFollowsTheSizeAndGoesWithRemoval)
{
    const int before = GraphicsLibrary::liveObjects();
    makeGroup(true);
    root.attachChild(group);
    ASSERT_NE(group->getOffscreen(), nullptr);
    group->setBounds(Rect{0, 0, 30, 20});
    EXPECT_EQ(group->getOffscreen()->getWidth(), 30);
    root.detachChild(group, false);
    EXPECT_EQ(group->getOffscreen(), nullptr);
    group->addedTo(&root);
    group->useOffscreen(false);
    EXPECT_EQ(GraphicsLibrary::liveObjects(), before);
}

using ViewGroupOnWindowTest = ControlGestureTest;

TEST_F(ViewGroupOnWindowTest, TheChildAppearsAndIsPressedInGroupCoordinates)
{
    auto* group = attach(new ViewGroup(Rect{100, 50, 150, 100}, root, nullptr));
    auto* child = new PaintingView(Rect{10, 10, 20, 20});
    group->attachChild(child);  // the group's own black background around it
    showAll();
    HDC window = GetDC(static_cast<HWND>(root->getOwnWindow()));
    EXPECT_EQ(GetPixel(window, 110, 60), kGreen);
    EXPECT_EQ(GetPixel(window, 120, 70), kGreen);
    EXPECT_EQ(GetPixel(window, 121, 71), RGB(0, 0, 0));
    ReleaseDC(static_cast<HWND>(root->getOwnWindow()), window);
    click(Point{112, 62});
    EXPECT_EQ(child->presses, std::vector<Point>{(Point{12, 12})});
}
