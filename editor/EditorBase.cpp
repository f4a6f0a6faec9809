#include "editor/EditorBase.h"

#include "host/EffectBase.h"

static_assert(std::atomic<VstInt32>::is_always_lock_free);

EditorBase::EditorBase(EffectBase* effect) : effect(effect), systemWindow(nullptr), updatePending(0)
{
    if (effect) {
        effect->editor = this;
        effect->setFlag(effFlagsHasEditor, true);
    }
}

EditorBase::~EditorBase() = default;

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
