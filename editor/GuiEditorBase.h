// The editor tied to the GUI toolkit: owns the root view while open, reports its size,
// forwards keys and the wheel, and paces idle work so the host stays responsive.
#pragma once

#include <cstdint>

#include "editor/EditorBase.h"

class RootView;

class GuiEditorBase : public EditorBase {
public:
    explicit GuiEditorBase(EffectBase* effect);
    ~GuiEditorBase() override;

    VstInt32 getRect(ERect** out) override;
    VstInt32 open(void* parentWindow) override;
    void idle() override;
    VstInt32 keyDown(VstKeyCode& key) override;
    VstInt32 keyUp(VstKeyCode& key) override;
    VstInt32 setKnobMode(VstInt32 mode) override;
    bool wheel(float distance) override;

    // Draws every view of the root view at once.
    virtual void redrawAll();
    // Idle work no more often than about every 50 to 100 ms, then the host's idle.
    virtual void idleStep();

    RootView* getRootView() const { return rootView; }
    bool isInIdle() const { return inIdle; }

    // The last mode the host announced; knobs read it through the root view.
    static inline VstInt32 knobMode = 0;

protected:
    void shutWhileBusy() override;

    ERect rect;
    RootView* rootView;
    std::uint32_t nextIdleTime;
    bool inIdle;
};
