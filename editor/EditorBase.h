// The minimal editor: knows its effect and the host's window, keeps an update request,
// and answers every editor opcode with a neutral value. Window-free.
//
// Hosts close editors and effects at any moment, also from inside a call the editor is
// making (a host callback during a drag, a timer in a menu's or a dialog's modal loop). So
// every input call and gesture holds the editor busy (Busy); a close from the host meanwhile
// shuts the window at once (shutWhileBusy), and the editor's own close, a new open, or the
// deletion of the effect wait until the outermost busy call has returned. Code that runs
// after a modal call (a listener's included) never meets a freed editor, view or effect.
#pragma once

#include <atomic>

#include "host/EffectEditor.h"

namespace kelp {

class EffectBase;

class EditorBase : public EffectEditor {
public:
    explicit EditorBase(EffectBase* effect);
    ~EditorBase() override;

    EditorBase(const EditorBase&) = delete;
    EditorBase& operator=(const EditorBase&) = delete;

    VstInt32 getRect(ERect** rect) override;
    virtual VstInt32 open(void* parentWindow);
    virtual void close();
    void idle() override;
    virtual void update();
    void requestUpdate() override;
    VstInt32 keyDown(VstKeyCode& key) override;
    VstInt32 keyUp(VstKeyCode& key) override;
    VstInt32 setKnobMode(VstInt32 mode) override;
    virtual bool wheel(float distance);
    // Here rather than in the GUI base so that the window-free effect can reach it.
    void setParameter(VstInt32 index, float value) override;

    // Held across anything that runs control code or calls the host on the user-interface
    // thread. Its end may delete the effect and this editor: the holder's last use of them.
    class Busy {
    public:
        explicit Busy(EditorBase* editor);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        EditorBase* editor;
    };

    // A second open while open closes the first window.
    VstInt32 openFromHost(void* parentWindow) override;
    void closeFromHost() override;
    bool deleteEffectWhenIdle() override;
    bool isBusy() const { return busyDepth > 0; }

    EffectBase* getEffect() const { return effect; }
    void* getSystemWindow() const { return systemWindow; }

protected:
    // The host closed the editor while busy: its window must go now, and any modal loop
    // running inside the busy call must end. Nothing is freed here.
    virtual void shutWhileBusy();

    EffectBase* effect;
    void* systemWindow;
    // Set from whichever thread sets a parameter, consumed on the user-interface thread.
    std::atomic<VstInt32> updatePending;

private:
    enum class Deferred { nothing, close, reopen };

    void leaveBusy();

    // Touched on the user-interface thread only.
    VstInt32 busyDepth = 0;
    bool opened = false;
    Deferred deferred = Deferred::nothing;
    void* deferredParent = nullptr;
    bool effectClosed = false;
};

}  // namespace kelp
