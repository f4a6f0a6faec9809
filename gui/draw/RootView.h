// The top of the view tree and the only view with a window: a child window inside the
// host's window whose paint and mouse messages become view operations. Also the views'
// gateway to the editor and the host.
//
// RootView.cpp holds the tree: children, routing, focus, the modal view, dirty tracking and
// the gateway. RootViewWindow.cpp holds the window on Win32.
#pragma once

#include <functional>

#include "gui/controls/View.h"
#include "gui/draw/NativeHandles.h"

namespace kelp {

class DrawContext;
class GuiEditorBase;
class Picture;

class RootView : public View {
public:
    // Offered by a focus view that paints owner-drawn menu items (a popup menu).
    class MenuItemPainter {
    public:
        virtual void measureItem(void* itemData, DrawContext* context, Point& size) = 0;
        // state: 1 checked, 2 disabled, 4 selected.
        virtual void drawItem(void* itemData, VstInt32 itemId, VstInt32 state, DrawContext* context,
                              const Rect& rect) = 0;

    protected:
        ~MenuItemPainter() = default;
    };

    class MenuItemPainterSource {
    public:
        virtual MenuItemPainter* itemPainter() = 0;

    protected:
        ~MenuItemPainterSource() = default;
    };

    // Offered by a focus view with an open edit box, whose colours the window answers.
    class EditBoxColors {
    public:
        virtual Color editTextColor() const = 0;
        virtual Color editBackColor() const = 0;
        // Where the edit box's background brush is kept; the window replaces it on each request.
        virtual NativeObject& editBackBrush() = 0;

    protected:
        ~EditBoxColors() = default;
    };

    // A native modal loop (a menu, a dialog) run inside an input call. Shutting the window
    // ends it, so that it returns and its caller finds the window closed.
    class ModalLoop {
    public:
        explicit ModalLoop(RootView* root);
        virtual ~ModalLoop();
        ModalLoop(const ModalLoop&) = delete;
        ModalLoop& operator=(const ModalLoop&) = delete;

        // True once the window was shut while the loop ran: its result is dropped.
        bool ended() const { return wasEnded; }

    protected:
        virtual void endLoop() = 0;

    private:
        friend class RootView;
        RootView* root;
        ModalLoop* outer;
        bool wasEnded = false;
    };

    // The child-window form; a null host window creates no window.
    RootView(const Rect& rect, NativeWindow hostWindow, GuiEditorBase* editor);
    // The stand-alone form: no window until openOwnWindow asks the host for one.
    RootView(const Rect& rect, const char* title, GuiEditorBase* editor, VstInt32 style);
    ~RootView() override;

    void draw(DrawContext* context) override;
    void drawInRect(DrawContext* context, const Rect& updateRect) override;
    void mouseDown(DrawContext* context, const Point& where) override;
    void redrawIfDirty(DrawContext* context) override;
    VstInt32 keyDown(VstKeyCode& key) override;
    VstInt32 keyUp(VstKeyCode& key) override;
    bool drop(char** items, VstInt32 count, VstInt32 kind, const Point& where) override;
    bool wheel(DrawContext* context, const Point& where, float distance) override;
    GuiEditorBase* editor() override;

    // Children: the root takes over the caller's reference; the last one is topmost.
    virtual bool attachChild(View* view);
    virtual bool detachChild(View* view, bool withRelease);
    virtual bool detachAll(bool withRelease);
    virtual bool hasChild(View* view) const;
    virtual VstInt32 childCount() const;
    virtual View* childAt(VstInt32 index) const;

    void setBackgroundPicture(Picture* picture);
    Picture* getBackgroundPicture() const { return background; }
    // Refuses a second modal view while one is set; null ends the modal state.
    bool setModalView(View* view);
    View* getModalView() const { return modalView; }
    void setFocusView(View* view);
    View* getFocusView() const { return focusView; }
    void markDirtyIn(const Rect& rect);
    // Draws one child (or everything, for anything else) at once on the window.
    void drawView(View* view);
    // Runs draw with a fresh context on the window, when there is one; for drawing outside a
    // paint or a press, which come with their own context.
    void withWindowContext(const std::function<void(DrawContext*)>& draw);
    // The idle entry: draws the dirty views, but never before the first paint.
    void redrawDirty();
    bool anythingDirty() const;
    View* childUnderCursor();
    bool cursorInWindow(Point& where) const;
    // 0 restores the cursor in use before the first change; 1 wait, 2..6 sizing arrows.
    void setCursorShape(VstInt32 kind);
    bool enableFileDrops(bool on);
    // The editor was closed while busy: modal loops end, the focus view lets go, and the
    // window goes now; the views stay until the editor deletes this root.
    void shutWindow();

    // Gateway to the editor and the host.
    void runHostIdle();
    VstInt32 tickCount() const;
    void beginEdit(VstInt32 tag);
    bool endEdit(VstInt32 tag);
    static VstInt32 knobMode();
    bool resizeTo(VstInt32 width, VstInt32 height);
    bool hostFramePosition(VstInt32& x, VstInt32& y);
    bool hostFrameRect(Rect& rect);
    bool openOwnWindow(const Point* position);
    bool closeOwnWindow();

    NativeWindow getOwnWindow() const { return ownWindow; }
    NativeWindow getHostWindow() const { return hostWindow; }
    bool windowIsOpen() const { return isOpen; }
    bool isFirstDrawPending() const { return firstDrawPending; }
    bool fileDropsEnabled() const { return dropsEnabled; }
    const VstWindow* windowRecord() const { return record; }
    static const char* windowClassName();
    static VstInt32 windowClassUseCount();

private:
    // The window procedure and its messages, in RootViewWindow.cpp.
    struct Window;
    friend struct Window;

    VstInt32 offerKey(VstInt32 (View::*handler)(VstKeyCode&), VstKeyCode& key);
    void windowDestroyed();

    // The window's side of construction and destruction: OLE, the graphics library, the
    // window and its class.
    void startWindowing(bool loadGraphics);
    void stopWindowing();
    bool createOwnWindow();
    void destroyOwnWindow();
    static void registerWindowClass();
    static void unregisterWindowClass();
    bool askHostToResize(VstInt32 width, VstInt32 height);
    NativeWindow hostFrameWindow() const;

    GuiEditorBase* ownerEditor;
    NativeWindow hostWindow;
    Picture* background;
    VstInt32 count;
    VstInt32 capacity;
    View** children;
    View* modalView;
    View* focusView;
    bool firstDrawPending;
    bool isOpen;
    bool dropsEnabled;
    NativeWindow ownWindow;
    NativeModule graphicsLibrary;
    bool standAlone;
    VstWindow* record;
    NativeObject savedCursor;
    bool cursorSaved;
    bool holdsWindowClass;            // this root counts in the window class's use count
    ModalLoop* modalLoops = nullptr;  // the innermost running one
};

}  // namespace kelp
