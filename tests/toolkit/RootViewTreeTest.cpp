// The root view as the top of the view tree, without a window: modal and focus views, key
// routing, the child list and dirty marks.
#include <gtest/gtest.h>

#include "gui/draw/RootView.h"
#include "tests/toolkit/RecordingBackend.h"
#include "tests/toolkit/RecordingView.h"

using namespace kelp;

namespace {

class RootViewTest : public ::testing::Test {
protected:
    template <typename V = RecordingView>
    V* attach(const Rect& bounds)
    {
        auto* view = new V(bounds);
        EXPECT_TRUE(root->attachChild(view));
        return view;
    }

    RootView rootView{Rect{0, 0, 200, 150}, nullptr, nullptr};
    RootView* root = &rootView;
};

TEST_F(RootViewTest, ModalViewTakesAllPressesAndAnyPressEndsFocus)
{
    RecordingView* child = attach(Rect{0, 0, 50, 50});
    RecordingView* focus = attach(Rect{60, 0, 80, 20});
    RecordingView modal(Rect{100, 100, 150, 140});
    RecordingView other(Rect{0, 0, 10, 10});

    root->setFocusView(focus);
    EXPECT_TRUE(root->setModalView(&modal));
    EXPECT_FALSE(root->setModalView(&other));
    EXPECT_EQ(root->getModalView(), &modal);
    ASSERT_EQ(modal.addedContainers.size(), 1u);
    EXPECT_EQ(modal.addedContainers[0], root);
    EXPECT_TRUE(root->anythingDirty());

    root->mouseDown(nullptr, Point{10, 10});  // outside the modal view
    EXPECT_TRUE(child->presses.empty());
    EXPECT_TRUE(modal.presses.empty());
    EXPECT_EQ(focus->focusLosses, 1);
    EXPECT_EQ(root->getFocusView(), nullptr);

    root->mouseDown(nullptr, Point{150, 140});
    ASSERT_EQ(modal.presses.size(), 1u);
    EXPECT_FALSE(modal.pressHadContext);

    char text[] = "dropped";
    char* items[] = {text};
    EXPECT_FALSE(root->drop(items, 1, 1, Point{10, 10}));
    EXPECT_TRUE(root->setModalView(nullptr));
    EXPECT_EQ(modal.removedContainers.size(), 1u);
    EXPECT_TRUE(root->drop(items, 1, 1, Point{10, 10}));
    EXPECT_EQ(child->droppedItems, std::vector<std::string>{"dropped"});
    root->setFocusView(child);
    EXPECT_FALSE(root->drop(items, 1, 1, Point{10, 10}));
}

TEST_F(RootViewTest, KeysGoToFocusThenModalThenChildrenFromTheTop)
{
    RecordingView* first = attach(Rect{0, 0, 10, 10});
    RecordingView* last = attach(Rect{0, 0, 10, 10});
    RecordingView focus(Rect{});
    RecordingView modal(Rect{});
    VstKeyCode key{'a', 0, 0};

    EXPECT_EQ(root->keyDown(key), -1);
    EXPECT_EQ(last->keysSeen, 1);
    EXPECT_EQ(first->keysSeen, 1);

    root->setFocusView(&focus);  // answers -1: the children are still asked
    root->setModalView(&modal);
    first->keyAnswer = 5;
    EXPECT_EQ(root->keyDown(key), 5);
    EXPECT_EQ(focus.keysSeen, 1);
    EXPECT_EQ(modal.keysSeen, 1);
    EXPECT_EQ(last->keysSeen, 2);

    focus.keyAnswer = 9;
    EXPECT_EQ(root->keyDown(key), 9);
    EXPECT_EQ(modal.keysSeen, 1);
    EXPECT_EQ(first->keysSeen, 2);
    root->setModalView(nullptr);
    root->setFocusView(nullptr);
}

TEST_F(RootViewTest, ChildListKeepsOrderGrowsAndHandsBackOrDestroysChildren)
{
    int destroyed = 0;
    std::vector<RecordingView*> views;
    for (int i = 0; i < 25; ++i) {
        views.push_back(new RecordingView(Rect{i, 0, i + 1, 1}, &destroyed));
        ASSERT_TRUE(root->attachChild(views.back()));
    }
    EXPECT_EQ(root->childCount(), 25);
    EXPECT_EQ(root->childAt(24), views[24]);
    EXPECT_EQ(root->childAt(-1), nullptr);
    EXPECT_EQ(root->childAt(25), nullptr);
    EXPECT_EQ(views[3]->getRoot(), root);
    EXPECT_EQ(views[3]->addedContainers, std::vector<View*>{root});

    EXPECT_TRUE(root->detachChild(views[3], true));
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(root->childCount(), 24);
    EXPECT_EQ(root->childAt(3), views[4]);

    RecordingView* kept = views[5];
    kept->retain();
    root->detachChild(kept, false);
    EXPECT_FALSE(root->hasChild(kept));
    EXPECT_EQ(kept->removedContainers, std::vector<View*>{root});
    EXPECT_EQ(kept->referenceCount(), 2);

    RecordingView* focus = views[7];
    focus->retain();
    root->setFocusView(focus);
    root->detachAll(true);
    EXPECT_EQ(focus->focusLosses, 1);  // told before it is released
    focus->release();
    EXPECT_EQ(destroyed, 24);
    EXPECT_EQ(root->childCount(), 0);
    EXPECT_EQ(root->getFocusView(), nullptr);
    kept->release();
    kept->release();
    EXPECT_EQ(destroyed, 25);
}

TEST_F(RootViewTest, MarkDirtyInCountsTouchingEdgesAndDrawViewDrawsOneChildOrAll)
{
    RecordingView* touching = attach(Rect{10, 10, 20, 20});
    RecordingView* apart = attach(Rect{22, 22, 30, 30});
    root->markDirtyIn(Rect{20, 20, 21, 21});
    EXPECT_TRUE(touching->isDirty());
    EXPECT_FALSE(apart->isDirty());

    root->drawView(apart);
    EXPECT_EQ(apart->draws, 1);
    EXPECT_EQ(touching->draws, 0);
    root->drawView(nullptr);
    EXPECT_EQ(apart->draws, 2);
    EXPECT_EQ(touching->draws, 1);
    EXPECT_FALSE(root->isFirstDrawPending());
    touching->redrawNow();
    EXPECT_EQ(touching->draws, 2);
}

}  // namespace
