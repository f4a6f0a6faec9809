// The base of everything on the editor face: a rectangle that draws itself into a
// DrawContext, knows whether it needs drawing and receives input from its container.
#pragma once

#include "gui/draw/Geometry.h"
#include "host/VstInterface.h"

namespace kelp {

class DrawContext;
class GuiEditorBase;
class RootView;

class View {
public:
    explicit View(const Rect& bounds);
    virtual ~View();

    View(const View&) = delete;
    View& operator=(const View&) = delete;

    virtual void draw(DrawContext* context);
    virtual void drawInRect(DrawContext* context, const Rect& updateRect);
    virtual bool overlaps(const Rect& rect);
    virtual void mouseDown(DrawContext* context, const Point& where);
    virtual void redrawIfDirty(DrawContext* context);
    // Messages are compared by address, never by content.
    virtual VstInt32 notify(View* sender, const char* message);
    virtual VstInt32 keyDown(VstKeyCode& key);
    virtual VstInt32 keyUp(VstKeyCode& key);
    // kind 0: items are count file paths; kind 1: items[0] is a text block of count bytes.
    virtual bool drop(char** items, VstInt32 count, VstInt32 kind, const Point& where);
    virtual bool wheel(DrawContext* context, const Point& where, float distance);
    virtual void focusLost(DrawContext* context);
    virtual void focusGained(DrawContext* context);
    virtual bool isDirty() const;
    virtual void setDirty(bool flag);
    virtual void enableMouse(bool flag);
    virtual bool mouseEnabled() const;
    virtual void setMouseArea(const Rect& rect);
    virtual Rect& getMouseArea(Rect& rect) const;
    virtual bool containsPoint(const Point& where, VstInt32 buttons = -1) const;
    virtual void setTransparent(bool flag);
    virtual bool isTransparent() const;
    virtual void setBounds(const Rect& rect);
    virtual Rect& getBounds(Rect& rect) const;
    virtual void setParent(View* view);
    virtual void setRoot(RootView* rootView);
    virtual GuiEditorBase* editor();
    virtual bool removedFrom(View* container);
    virtual bool addedTo(View* container);
    // Drops one reference and deletes the view with the last one; answers the count left.
    virtual VstInt32 release();
    virtual void retain();
    virtual VstInt32 referenceCount() const;

    // Draws this view at once through its root view, outside the idle cycle.
    void redrawNow();

    const Rect& boundsRef() const { return bounds; }
    RootView* getRoot() const { return root; }
    View* getParent() const { return parent; }

protected:
    VstInt32 refCount;
    Rect bounds;
    Rect mouseArea;
    RootView* root;
    View* parent;
    bool dirty;
    bool mouseOn;  // backs mouseEnabled()
    bool transparent;
};

}  // namespace kelp
