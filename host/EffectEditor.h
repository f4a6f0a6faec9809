// The editor as the host layer sees it: what the editor opcodes, parameter changes and the
// effect's end ask of it. EditorBase implements it; the host layer knows nothing more of
// editors, so it builds and links without them.
#pragma once

#include "host/VstInterface.h"

namespace kelp {

class EffectEditor {
public:
    virtual ~EffectEditor() = default;

    virtual VstInt32 getRect(ERect** rect) = 0;
    virtual void idle() = 0;
    virtual void requestUpdate() = 0;
    virtual VstInt32 keyDown(VstKeyCode& key) = 0;
    virtual VstInt32 keyUp(VstKeyCode& key) = 0;
    virtual VstInt32 setKnobMode(VstInt32 mode) = 0;
    // Told of every parameter change, from whichever thread made it.
    virtual void setParameter(VstInt32 index, float value) = 0;

    // effEditOpen and effEditClose.
    virtual VstInt32 openFromHost(void* parentWindow) = 0;
    virtual void closeFromHost() = 0;
    // effClose, with the record already cut off from the host: true when the editor is inside
    // a call of its own and deletes the effect (and itself) once that call has returned.
    virtual bool deleteEffectWhenIdle() = 0;
};

}  // namespace kelp
