// The editor tied to the GUI toolkit: owns the root view while open, reports its size,
// forwards keys and the wheel, and paces idle work so the host stays responsive.
//
// It is also the toolkit's one way to the editor and the host: the root view and the file
// chooser ask it (edits, window size, windows and file selectors of the host, the knob
// mode, the idle step), and only it knows the host layer.
#pragma once

#include <cstdint>

#include "editor/EditorBase.h"

namespace kelp {

class EffectBaseEx;
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

    // What the toolkit asks of the host; each answers false (or null) when the host cannot.
    virtual void beginEdit(VstInt32 tag);
    virtual bool endEdit(VstInt32 tag);
    virtual bool sizeWindow(VstInt32 width, VstInt32 height);
    virtual void* openHostWindow(VstWindow* window);
    virtual bool closeHostWindow(VstWindow* window);

    // The host's file selector, for the file chooser: an effect needs no editor for it.
    static bool hostOffersFileSelector(EffectBase* effect);
    static bool openFileSelector(EffectBase* effect, VstFileSelect* select);
    static bool closeFileSelector(EffectBase* effect, VstFileSelect* select);

    // The editor of an effect, when it has one of this kind.
    static GuiEditorBase* ofEffect(EffectBase* effect);

    RootView* getRootView() const { return rootView; }
    bool isInIdle() const { return inIdle; }

    // The last mode the host announced; knobs read it through the root view.
    static inline VstInt32 knobMode = 0;

protected:
    void shutWhileBusy() override;
    // An effect's host calls; null for an effect without them.
    static EffectBaseEx* hostOf(EffectBase* effect);
    EffectBaseEx* host() const { return hostOf(effect); }

    ERect rect;
    RootView* rootView;
    std::uint32_t nextIdleTime;
    bool inIdle;
};

}  // namespace kelp
