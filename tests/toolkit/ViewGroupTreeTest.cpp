// The view group as a container, without a window: references, routing in group
// coordinates and origins that are set rather than added up.
#include <gtest/gtest.h>

#include <string>

#include "gui/draw/RootView.h"
#include "gui/draw/ViewGroup.h"
#include "tests/toolkit/RecordingBackend.h"
#include "tests/toolkit/RecordingView.h"

using namespace kelp;

namespace {

// Notes the origin it was drawn and pressed under.
struct PaintingView : RecordingView {
    using RecordingView::RecordingView;
    void draw(DrawContext* context) override
    {
        drawOrigin = context->getOrigin();
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

    RootView root{Rect{0, 0, 200, 120}, nullptr, nullptr};
    ViewGroup* group = nullptr;
    DrawingLog surface;
};

TEST_F(ViewGroupTest, HoldsTheCreatorsAndItsOwnReferenceAndAnswersContainerMessagesByAddress)
{
    makeGroup(false);
    int destroyed = 0;
    auto* kept = new RecordingView(Rect{0, 0, 5, 5}, &destroyed);
    EXPECT_FALSE(group->attachChild(nullptr));
    ASSERT_TRUE(group->attachChild(kept));
    EXPECT_EQ(kept->referenceCount(), 2);
    EXPECT_TRUE(kept->getParent() == group && kept->getRoot() == &root);
    EXPECT_FALSE(group->attachChild(kept)) << "a second node would release the creator's reference twice";
    EXPECT_EQ(group->childAt(-1), group->childAt(1));

    kept->setDirty(true);
    EXPECT_TRUE(group->isDirty());
    EXPECT_EQ(group->notify(nullptr, kMsgCheckIfViewContainer), 1);
    EXPECT_EQ(group->notify(nullptr, std::string(kMsgCheckIfViewContainer).c_str()), 0);

    group->detachAll(false);
    EXPECT_EQ(kept->referenceCount(), 1) << "given back to its creator";
    group->attachChild(kept);
    group->release();
    group = nullptr;
    EXPECT_EQ(destroyed, 1) << "the group's destruction releases both references";
    makeGroup(false);
}

TEST_F(ViewGroupTest, InputReachesTheTopChildThatWantsItInGroupCoordinates)
{
    makeGroup(false);
    PaintingView* below = attach(Rect{10, 10, 20, 20});
    PaintingView* above = attach(Rect{10, 10, 30, 30});
    group->mouseDown(nullptr, Point{112, 62});
    EXPECT_EQ(above->presses, std::vector<Point>{(Point{12, 12})});
    above->enableMouse(false);
    group->mouseDown(nullptr, Point{120, 60});
    EXPECT_EQ(below->presses, std::vector<Point>{(Point{20, 10})}) << "edge inside, disabled child skipped";

    above->enableMouse(true);
    above->setMouseArea(Rect{40, 40, 45, 45});  // drops go by mouse area, not bounds
    char item[] = "a.wav";
    char* items[] = {item};
    EXPECT_TRUE(group->drop(items, 1, 0, Point{112, 62}));
    EXPECT_EQ(below->dropWhere, (Point{12, 12}));

    above->keyAnswer = 7;
    VstKeyCode key{'a', 0, 0};
    EXPECT_EQ(group->keyDown(key), 7);
    EXPECT_EQ(below->keysSeen, 0);
}

TEST_F(ViewGroupTest, ANestedGroupSetsItsOwnCornerAsOriginInsteadOfAddingIt)
{
    makeGroup(false);
    auto* inner = new ViewGroup(Rect{10, 10, 40, 40}, &root, nullptr);
    inner->useOffscreen(false);
    group->attachChild(inner);
    PaintingView* child = attach(Rect{0, 0, 5, 5}, inner);
    DrawContext context(&root, &surface, nullptr);
    group->draw(&context);
    group->mouseDown(&context, Point{112, 62});
    EXPECT_EQ(child->drawOrigin, (Point{10, 10}));
    EXPECT_EQ(child->pressOrigin, (Point{10, 10}));
    EXPECT_EQ(child->presses, std::vector<Point>{(Point{2, 2})});
    EXPECT_EQ(context.getOrigin(), (Point{0, 0})) << "put back afterwards";
}

}  // namespace
