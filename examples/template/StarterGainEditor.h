// The editor: a knob for the gain on a face picture, and the gain in decibels below it. The
// knob follows the parameter when the host automates it.
#pragma once

#include "editor/GuiEditorBase.h"
#include "gui/controls/ControlListener.h"

namespace kelp {
class Knob;
class Picture;
class ValueDisplay;
}  // namespace kelp

class StarterGainEditor : public kelp::GuiEditorBase, public kelp::ControlListener {
public:
    static constexpr int kFacePicture = 128;

    explicit StarterGainEditor(kelp::EffectBase* effect);
    ~StarterGainEditor() override;

    // False when the face could not be loaded from the library's resources.
    bool hasFace() const;

    VstInt32 open(void* parentWindow) override;
    void close() override;
    void setParameter(VstInt32 index, float value) override;
    void update() override;
    void valueChanged(kelp::DrawContext* context, kelp::Control* control) override;

private:
    kelp::Picture* face = nullptr;
    // Views of the open editor; the root view owns them.
    kelp::Knob* knob = nullptr;
    kelp::ValueDisplay* display = nullptr;
    // The gain as the knob last learnt it from the effect or sent it: update moves the knob
    // only for changes made elsewhere, so that it never undoes a drag in progress.
    float shownGain = 0.0f;
};
