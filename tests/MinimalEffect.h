// The smallest effect on the extended base: supplies only `process`, so everything else
// answers the base defaults. Counts its destruction and records what reaches resume.
#pragma once

#include "editor/EditorBase.h"
#include "host/EffectBaseEx.h"

using namespace kelp;

class MinimalEffect : public EffectBaseEx {
public:
    explicit MinimalEffect(HostCallback host, int* destroyed = nullptr) : EffectBaseEx(host, 2, 4), destroyed(destroyed)
    {
    }
    ~MinimalEffect() override
    {
        if (destroyed)
            ++*destroyed;
    }
    void process(float**, float**, VstInt32) override {}
    void resume() override { ++resumed; }
    void suspend() override { ++suspended; }
    void close() override { ++closed; }

    using EffectBase::setFlag;

    int* destroyed;
    int resumed = 0;
    int suspended = 0;
    int closed = 0;
};

// An editor that records the key codes and modes it is handed.
class RecordingEditor : public EditorBase {
public:
    explicit RecordingEditor(EffectBase* effect, int* destroyed = nullptr) : EditorBase(effect), destroyed(destroyed) {}
    ~RecordingEditor() override
    {
        if (destroyed)
            ++*destroyed;
    }
    VstInt32 keyDown(VstKeyCode& key) override
    {
        lastKey = key;
        return 7;
    }
    VstInt32 open(void* parent) override
    {
        EditorBase::open(parent);
        return 1;
    }
    void update() override { ++updates; }
    bool isUpdatePending() const { return updatePending.load() != 0; }

    VstKeyCode lastKey{};
    int updates = 0;
    int* destroyed;
};
