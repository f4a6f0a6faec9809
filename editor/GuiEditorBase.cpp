#include "editor/GuiEditorBase.h"

#include "gui/draw/RootView.h"
#include "host/EffectBaseEx.h"

namespace kelp {

VstInt32 GuiEditorBase::getRect(ERect** out)
{
    *out = &rect;
    return 1;
}

VstInt32 GuiEditorBase::open(void* parentWindow)
{
    requestUpdate();
    systemWindow = parentWindow;
    return 0;
}

// A host that calls back into idle from its own idle (made by idleStep) gets nothing done,
// so the pending update waits for the next regular idle.
void GuiEditorBase::idle()
{
    if (inIdle)
        return;
    if (updatePending.exchange(0, std::memory_order_relaxed) != 0)
        update();
    if (rootView)
        rootView->redrawDirty();
}

// Keys and the wheel reach controls, whose listeners call the host.
VstInt32 GuiEditorBase::keyDown(VstKeyCode& key)
{
    Busy busy(this);
    return rootView ? rootView->keyDown(key) : -1;
}

VstInt32 GuiEditorBase::keyUp(VstKeyCode& key)
{
    Busy busy(this);
    return rootView ? rootView->keyUp(key) : -1;
}

VstInt32 GuiEditorBase::setKnobMode(VstInt32 mode)
{
    knobMode = mode;
    return 1;
}

bool GuiEditorBase::wheel(float distance)
{
    Busy busy(this);
    return rootView ? rootView->wheel(nullptr, Point{0, 0}, distance) : false;
}

// --- the toolkit's way to the host --------------------------------------------------------

// The one cast from the toolkit's side to the host layer.
EffectBaseEx* GuiEditorBase::hostOf(EffectBase* effect) { return dynamic_cast<EffectBaseEx*>(effect); }

GuiEditorBase* GuiEditorBase::ofEffect(EffectBase* effect)
{
    EffectBaseEx* withEditor = hostOf(effect);
    return withEditor ? dynamic_cast<GuiEditorBase*>(withEditor->getEditor()) : nullptr;
}

void GuiEditorBase::beginEdit(VstInt32 tag)
{
    if (EffectBaseEx* h = host())
        h->hostBeginEdit(tag);
}

bool GuiEditorBase::endEdit(VstInt32 tag)
{
    EffectBaseEx* h = host();
    return h && h->hostEndEdit(tag);
}

bool GuiEditorBase::sizeWindow(VstInt32 width, VstInt32 height)
{
    char capability[] = "sizeWindow";
    EffectBaseEx* h = host();
    return h && h->hostCanDo(capability) && h->hostSizeWindow(width, height);
}

void* GuiEditorBase::openHostWindow(VstWindow* window)
{
    EffectBaseEx* h = host();
    return h ? h->hostOpenWindow(window) : nullptr;
}

bool GuiEditorBase::closeHostWindow(VstWindow* window)
{
    EffectBaseEx* h = host();
    return h && h->hostCloseWindow(window);
}

bool GuiEditorBase::hostOffersFileSelector(EffectBase* effect)
{
    char openSelector[] = "openFileSelector";
    char closeSelector[] = "closeFileSelector";
    EffectBaseEx* h = hostOf(effect);
    return h && h->hostCanDo(openSelector) && h->hostCanDo(closeSelector);
}

bool GuiEditorBase::openFileSelector(EffectBase* effect, VstFileSelect* select)
{
    EffectBaseEx* h = hostOf(effect);
    return h && h->hostOpenFileSelector(select);
}

bool GuiEditorBase::closeFileSelector(EffectBase* effect, VstFileSelect* select)
{
    char closeSelector[] = "closeFileSelector";
    EffectBaseEx* h = hostOf(effect);
    return h && h->hostCanDo(closeSelector) && h->hostCloseFileSelector(select);
}

void GuiEditorBase::shutWhileBusy()
{
    if (rootView)
        rootView->shutWindow();
}

void GuiEditorBase::redrawAll()
{
    if (rootView)
        rootView->drawView(nullptr);
}

}  // namespace kelp
