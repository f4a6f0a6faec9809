// The root view's window, the popup menu's native menu, the text field's edit box and the
// editor's idle step for the native tests: there is no window, so a root view is open without
// one, draws outside a paint into DrawingLog::window, reads the cursor from FakeInput and
// resizes only its bounds; no menu or edit box ever opens, and the idle step is plain idle
// and the host's idle. See RecordingBackend.h.
#include "editor/GuiEditorBase.h"
#include "gui/controls/PopupMenu.h"
#include "gui/controls/TextField.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/RootView.h"
#include "host/EffectBase.h"
#include "tests/toolkit/RecordingBackend.h"

namespace kelp {

namespace {

    VstInt32 classUseCount = 0;

}  // namespace

// --- RootView ----------------------------------------------------------------------------

void RootView::startWindowing(bool) {}

void RootView::stopWindowing()
{
    if (holdsWindowClass)
        unregisterWindowClass();
}

bool RootView::createOwnWindow()
{
    if (!holdsWindowClass) {
        registerWindowClass();
        holdsWindowClass = true;
    }
    return false;
}

void RootView::destroyOwnWindow() { ownWindow = nullptr; }

void RootView::registerWindowClass() { ++classUseCount; }

void RootView::unregisterWindowClass() { --classUseCount; }

const char* RootView::windowClassName() { return "Plugin00000000"; }

VstInt32 RootView::windowClassUseCount() { return classUseCount; }

void RootView::windowDestroyed()
{
    isOpen = false;
    hostWindow = nullptr;
}

void RootView::withWindowContext(const std::function<void(DrawContext*)>& draw)
{
    DrawContext context(this, &DrawingLog::window(), nullptr);
    draw(&context);
}

bool RootView::cursorInWindow(Point& where) const
{
    where = FakeInput::cursor;
    return true;
}

void RootView::setCursorShape(VstInt32) {}

bool RootView::enableFileDrops(bool on) { return !on; }

VstInt32 RootView::tickCount() const { return 0; }

bool RootView::resizeTo(VstInt32 width, VstInt32 height)
{
    if (!isOpen || (width == bounds.width() && height == bounds.height()))
        return false;
    if (!askHostToResize(width, height)) {
        bounds.right = bounds.left + width;
        bounds.bottom = bounds.top + height;
    }
    return true;
}

NativeWindow RootView::hostFrameWindow() const { return nullptr; }

bool RootView::hostFramePosition(VstInt32&, VstInt32&) { return false; }

bool RootView::hostFrameRect(Rect&) { return false; }

bool RootView::openOwnWindow(const Point*) { return false; }

// --- GuiEditorBase ------------------------------------------------------------------------

GuiEditorBase::GuiEditorBase(EffectBase* effect)
    : EditorBase(effect), rect{}, rootView(nullptr), nextIdleTime(0), inIdle(false)
{
}

GuiEditorBase::~GuiEditorBase() = default;

void GuiEditorBase::idleStep()
{
    idle();
    inIdle = true;
    if (effect)
        effect->hostIdle();
    inIdle = false;
}

// --- PopupMenu and TextField -------------------------------------------------------------

VstInt32 PopupMenu::chooseFromNativeMenu(DrawContext*) { return -1; }

void PopupMenu::destroyMenus() { forgetMenus(); }

void TextField::focusGained(DrawContext*) {}

void TextField::readEditBox() {}

void TextField::closeEditBox() { editWindow = nullptr; }

}  // namespace kelp
