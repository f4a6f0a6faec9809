// The minimal editor: knows its effect and the host's window, keeps an update request,
// and answers every editor opcode with a neutral value. Window-free.
#pragma once

#include <atomic>

#include "host/VstInterface.h"

class EffectBase;

class EditorBase {
public:
    explicit EditorBase(EffectBase* effect);
    virtual ~EditorBase();

    EditorBase(const EditorBase&) = delete;
    EditorBase& operator=(const EditorBase&) = delete;

    virtual VstInt32 getRect(ERect** rect);
    virtual VstInt32 open(void* parentWindow);
    virtual void close();
    virtual void idle();
    virtual void update();
    virtual void requestUpdate();
    virtual VstInt32 keyDown(VstKeyCode& key);
    virtual VstInt32 keyUp(VstKeyCode& key);
    virtual VstInt32 setKnobMode(VstInt32 mode);
    virtual bool wheel(float distance);
    // Told of every parameter change by the effect, from whichever thread made it. Here
    // rather than in the GUI base so that the window-free effect can reach it.
    virtual void setParameter(VstInt32 index, float value);

    EffectBase* getEffect() const { return effect; }
    void* getSystemWindow() const { return systemWindow; }

protected:
    EffectBase* effect;
    void* systemWindow;
    // Set from whichever thread sets a parameter, consumed on the user-interface thread.
    std::atomic<VstInt32> updatePending;
};
