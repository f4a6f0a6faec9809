#include "editor/EditorBase.h"

#include "host/EffectBase.h"

namespace kelp {

static_assert(std::atomic<VstInt32>::is_always_lock_free);

EditorBase::EditorBase(EffectBase* effect) : effect(effect), systemWindow(nullptr), updatePending(0)
{
    if (effect)
        effect->registerEditor(this);
}

EditorBase::~EditorBase()
{
    if (effect)
        effect->unregisterEditor(this);
}

VstInt32 EditorBase::getRect(ERect** rect)
{
    *rect = nullptr;
    return 0;
}

VstInt32 EditorBase::open(void* parentWindow)
{
    systemWindow = parentWindow;
    return 0;
}

void EditorBase::close() {}

void EditorBase::idle()
{
    if (updatePending.exchange(0, std::memory_order_relaxed) != 0)
        update();
}

void EditorBase::update() {}

void EditorBase::requestUpdate() { updatePending.store(1, std::memory_order_relaxed); }

VstInt32 EditorBase::keyDown(VstKeyCode&) { return -1; }

VstInt32 EditorBase::keyUp(VstKeyCode&) { return -1; }

VstInt32 EditorBase::setKnobMode(VstInt32) { return 0; }

bool EditorBase::wheel(float) { return false; }

void EditorBase::setParameter(VstInt32, float) { requestUpdate(); }

void EditorBase::shutWhileBusy() {}

// --- the host's open and close, and busy calls ---------------------------------------------

EditorBase::Busy::Busy(EditorBase* editor) : editor(editor)
{
    if (editor)
        ++editor->busyDepth;
}

EditorBase::Busy::~Busy()
{
    if (editor)
        editor->leaveBusy();
}

VstInt32 EditorBase::openFromHost(void* parentWindow)
{
    if (isBusy()) {
        deferred = Deferred::reopen;
        deferredParent = parentWindow;
        shutWhileBusy();
        return 1;
    }
    if (opened)
        close();
    opened = true;
    return open(parentWindow);
}

void EditorBase::closeFromHost()
{
    if (isBusy()) {
        deferred = Deferred::close;
        shutWhileBusy();
        return;
    }
    opened = false;
    close();
}

bool EditorBase::deleteEffectWhenIdle()
{
    if (!isBusy())
        return false;
    effectClosed = true;
    shutWhileBusy();
    return true;
}

void EditorBase::leaveBusy()
{
    if (--busyDepth > 0)
        return;
    if (effectClosed) {
        delete effect;  // and with it this editor
        return;
    }
    const Deferred what = deferred;
    deferred = Deferred::nothing;
    if (what == Deferred::close)
        closeFromHost();
    else if (what == Deferred::reopen)
        openFromHost(deferredParent);
}

}  // namespace kelp
