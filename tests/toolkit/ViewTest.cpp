// The view and control base: dirty tracking, ranges, reference counts, hit tests and the
// double-click interval, on plain objects.
#include <gtest/gtest.h>

#include "gui/controls/Control.h"
#include "gui/draw/Picture.h"
#include "tests/toolkit/RecordingBackend.h"

using namespace kelp;

namespace {

class TestControl : public Control {
public:
    TestControl(const Rect& bounds = Rect{10, 20, 30, 40}, Picture* background = nullptr, int* destroyed = nullptr)
        : Control(bounds, nullptr, 7, background), destroyed(destroyed)
    {
    }
    ~TestControl() override
    {
        if (destroyed)
            ++*destroyed;
    }
    void draw(DrawContext*) override
    {
        ++draws;
        setDirty(false);
    }
    VstInt32 interval() const { return doubleClickInterval; }

    int* destroyed;
    int draws = 0;
};

TEST(ControlTest, IsDirtyUntilDrawnAndAgainAfterAnyValueChange)
{
    TestControl control;
    EXPECT_TRUE(control.isDirty());  // oldValue 1 against value 0
    control.draw(nullptr);
    EXPECT_FALSE(control.isDirty());
    EXPECT_EQ(control.getOldValue(), 0.0f);

    control.setValue(0.0f);
    EXPECT_FALSE(control.isDirty());
    control.setValue(0.25f);
    EXPECT_TRUE(control.isDirty());
    control.draw(nullptr);
    EXPECT_FALSE(control.isDirty());
    EXPECT_EQ(control.getOldValue(), 0.25f);
}

TEST(ControlTest, SetDirtyTrueDiffersFromEveryValueIncludingMinusOne)
{
    TestControl control;
    control.setValue(-1.0f);
    control.setDirty(true);
    EXPECT_EQ(control.getOldValue(), 0.0f);
    EXPECT_TRUE(control.isDirty());

    control.setValue(0.5f);
    control.setDirty(true);
    EXPECT_EQ(control.getOldValue(), -1.0f);
    control.setDirty(false);
    EXPECT_EQ(control.getOldValue(), 0.5f);
    EXPECT_FALSE(control.isDirty());
}

TEST(ControlTest, ClampTestsTheMaximumFirst)
{
    TestControl control;
    control.setValue(1.5f);
    control.clampValue();
    EXPECT_EQ(control.getValue(), 1.0f);
    control.setValue(-0.5f);
    control.clampValue();
    EXPECT_EQ(control.getValue(), 0.0f);

    control.setMin(1.0f);
    control.setMax(0.0f);
    control.setValue(2.0f);
    control.clampValue();
    EXPECT_EQ(control.getValue(), 0.0f);
    control.setValue(-0.5f);  // below the minimum and not above the maximum
    control.clampValue();
    EXPECT_EQ(control.getValue(), 1.0f);
}

TEST(ViewTest, HitAndOverlapTestsCountRightAndBottomEdgesAsInside)
{
    View view(Rect{10, 20, 30, 40});
    EXPECT_TRUE(view.containsPoint(Point{30, 40}));
    EXPECT_TRUE(view.containsPoint(Point{10, 20}));
    EXPECT_FALSE(view.containsPoint(Point{31, 40}));
    EXPECT_FALSE(view.containsPoint(Point{30, 41}));
    EXPECT_FALSE(view.containsPoint(Point{9, 25}));

    EXPECT_TRUE(view.overlaps(Rect{30, 40, 50, 50}));  // touching corner
    EXPECT_TRUE(view.overlaps(Rect{0, 0, 10, 20}));
    EXPECT_FALSE(view.overlaps(Rect{31, 0, 50, 50}));
    EXPECT_FALSE(view.overlaps(Rect{0, 41, 50, 50}));
}

TEST(ViewTest, SetBoundsMarksDirtyButLeavesTheMouseArea)
{
    View view(Rect{0, 0, 10, 10});
    view.setMouseArea(Rect{1, 2, 3, 4});
    view.setBounds(Rect{5, 5, 50, 50});
    EXPECT_TRUE(view.isDirty());
    Rect area;
    EXPECT_EQ(&view.getMouseArea(area), &area);
    EXPECT_EQ(area, (Rect{1, 2, 3, 4}));
    Rect bounds;
    EXPECT_EQ(view.getBounds(bounds), (Rect{5, 5, 50, 50}));
}

TEST(ViewTest, ReleaseDeletesWithTheLastReferenceOnly)
{
    int destroyed = 0;
    auto* shared = new TestControl(Rect{}, nullptr, &destroyed);
    shared->retain();
    EXPECT_EQ(shared->release(), 1);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(shared->referenceCount(), 1);
    EXPECT_EQ(shared->release(), 0);
    EXPECT_EQ(destroyed, 1);
}

TEST(ControlTest, HoldsOneReferenceToItsBackground)
{
    auto* first = new Picture(nullptr, 4, 4);
    auto* second = new Picture(nullptr, 4, 4);
    {
        TestControl control(Rect{}, first);
        EXPECT_EQ(first->referenceCount(), 2);
        control.setBackground(second);
        EXPECT_EQ(first->referenceCount(), 1);
        EXPECT_EQ(second->referenceCount(), 2);
        control.setBackground(second);  // the same picture again must survive
        EXPECT_EQ(second->referenceCount(), 2);
        EXPECT_EQ(control.getBackground(), second);
    }
    EXPECT_EQ(second->referenceCount(), 1);
    first->release();
    second->release();
}

TEST(ViewTest, DetachedViewsHaveNoEditorAndIgnoreRootOperations)
{
    TestControl control;
    EXPECT_EQ(control.editor(), nullptr);
    control.idleNow();
    control.redrawNow();
    EXPECT_EQ(control.draws, 0);
    EXPECT_FALSE(control.isDoubleClick());  // tick count 0 without a root: never a double click
    EXPECT_FALSE(control.isDoubleClick());
}

TEST(ControlTest, DoubleClickIntervalIsTheSystemTimeButAtLeast250)
{
    FakeInput::doubleClickTime = 200;
    EXPECT_EQ(TestControl().interval(), 250);
    FakeInput::doubleClickTime = 500;
    EXPECT_EQ(TestControl().interval(), 500);
    FakeInput::reset();
}

}  // namespace
