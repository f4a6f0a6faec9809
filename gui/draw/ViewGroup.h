// A view holding other views in its own coordinates (children's bounds are relative to the
// group's top-left corner), drawn over a background picture or colour, by default composed
// off screen and copied to the window in one step.
#pragma once

#include "gui/controls/View.h"

namespace kelp {

class DrawContext;
class OffscreenContext;
class Picture;

// Answered with 1 by every group. Compared by address: senders pass this constant itself.
inline constexpr char kMsgCheckIfViewContainer[] = "kMsgCheckIfViewContainer";

class ViewGroup : public View {
public:
    enum DrawMode { redrawWhole = 0, redrawDirtyChildren = 1 };

    // The context's origin and cursor origin while a group's children draw or take input.
    struct SavedOrigin {
        Point origin;
        Point screenOrigin;
    };

    // root is stored at once so that the group can make its buffer before it is attached.
    ViewGroup(const Rect& rect, RootView* root, Picture* background);
    ~ViewGroup() override;

    void draw(DrawContext* context) override;
    void drawInRect(DrawContext* context, const Rect& updateRect) override;
    void mouseDown(DrawContext* context, const Point& where) override;
    void redrawIfDirty(DrawContext* context) override;
    VstInt32 notify(View* sender, const char* message) override;
    VstInt32 keyDown(VstKeyCode& key) override;
    VstInt32 keyUp(VstKeyCode& key) override;
    bool drop(char** items, VstInt32 count, VstInt32 kind, const Point& where) override;
    bool wheel(DrawContext* context, const Point& where, float distance) override;
    void focusLost(DrawContext* context) override;
    void focusGained(DrawContext* context) override;
    bool isDirty() const override;
    void setBounds(const Rect& rect) override;
    bool removedFrom(View* container) override;
    bool addedTo(View* container) override;

    virtual void placeChild(View* view, const Rect& mouseArea, bool mouseEnabled);
    // The group takes over the creator's reference and holds one of its own. A view the group
    // already holds is not attached twice. False when nothing was attached.
    virtual bool attachChild(View* view);
    // withRelease also drops the creator's reference that attaching handed over.
    virtual void detachChild(View* view, bool withRelease);
    virtual void detachAll(bool withRelease);
    virtual bool hasChild(View* view) const;
    virtual VstInt32 childCount() const;
    virtual View* childAt(VstInt32 index) const;
    virtual void setBackColor(const Color& color);
    virtual Color getBackColor() const;
    virtual void setBackgroundPicture(Picture* picture);
    virtual Picture* getBackgroundPicture() const;
    virtual void setBackgroundOffset(const Point& offset);
    virtual Point getBackgroundOffset() const;
    virtual void setDrawMode(VstInt32 mode);
    virtual VstInt32 getDrawMode() const;
    virtual void useOffscreen(bool flag);

    OffscreenContext* getOffscreen() const { return offscreen; }

    // Sets (never adds) the context's origin to corner; the cursor origin follows.
    static SavedOrigin enterOrigin(DrawContext* context, const Point& corner);
    static void leaveOrigin(DrawContext* context, const SavedOrigin& saved);

private:
    struct ChildNode {
        View* view;
        ChildNode* next;
        ChildNode* previous;
    };

    // The buffer when double-buffered and possible, else null: then drawing goes straight
    // into the caller's context under the group's origin.
    OffscreenContext* buffer();
    void makeOffscreen();
    void deleteOffscreen();
    void compose(DrawContext* context, const Rect& area, bool everyChild);
    void paintBackground(DrawContext* target, const Rect& area);
    VstInt32 offerKey(VstInt32 (View::*handler)(VstKeyCode&), VstKeyCode& key);
    void unlink(ChildNode* node);
    template <typename Action>
    void forEachChild(Action action) const;

    ChildNode* firstChild = nullptr;
    ChildNode* lastChild = nullptr;
    Picture* background;
    VstInt32 drawMode = redrawWhole;
    OffscreenContext* offscreen = nullptr;
    Color backColor = colorBlack;
    Point backgroundOffset;
    bool offscreenOn = true;  // backs useOffscreen()
};

}  // namespace kelp
