// The plug-in's editor: a 320 x 240 stomp box whose footswitch switches parameter 0, and
// follows that parameter when the host, a program change or MIDI moves it.
#pragma once

#include "editor/GuiEditorBase.h"
#include "gui/controls/ControlListener.h"

namespace kelp {
class Control;
class Picture;
class ToggleButton;
}  // namespace kelp

class ReverseEditor : public kelp::GuiEditorBase, public kelp::ControlListener {
public:
    static constexpr int kFacePicture = 133;
    static constexpr int kFootswitchPicture = 129;
    static constexpr int kKnobStripPicture = 130;
    static constexpr int kUnitLabelsPicture = 131;
    static constexpr int kDigitStripPicture = 132;

    explicit ReverseEditor(kelp::EffectBase* effect);
    ~ReverseEditor() override;

    VstInt32 open(void* parentWindow) override;
    void close() override;
    void setParameter(VstInt32 index, float value) override;
    void update() override;
    void valueChanged(kelp::DrawContext* context, kelp::Control* control) override;

    // False when the face could not be loaded from the library's resources.
    bool hasFace() const;
    kelp::ToggleButton* getFootswitch() const { return footswitch; }

private:
    static void loadOnce(kelp::Picture*& picture, int resourceId);
    void showBufferLength();

    kelp::ToggleButton* footswitch = nullptr;
    // Parameter 0 as the footswitch last learnt it from the effect or sent it: only a change
    // made elsewhere moves the footswitch, so a pending update never undoes a click.
    float shownOnOff = 0.0f;
    // The face is laid out for these too; nothing builds them yet, so they stay null.
    kelp::Control* buffSizeControl = nullptr;
    kelp::Control* noteMsSwitch = nullptr;
    kelp::Control* timeDisplay = nullptr;

    kelp::Picture* facePicture = nullptr;
    kelp::Picture* footswitchPicture = nullptr;
    kelp::Picture* knobPicture = nullptr;
    kelp::Picture* labelsPicture = nullptr;
    kelp::Picture* digitsPicture = nullptr;
};
