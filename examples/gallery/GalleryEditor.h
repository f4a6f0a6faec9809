// The gallery's face: every control of the toolkit at once, in six view groups on a bench
// panel. Controls with a parameter behind them automate it; the displays, the meter and the
// picture strip show parameters; the reel turns on idle; the splash opens over the bench; the
// tape menu and the sample's name are the native widgets, and a button opens the file chooser.
#pragma once

#include "GalleryEffect.h"
#include "editor/GuiEditorBase.h"
#include "gui/controls/ControlListener.h"

namespace kelp {
class AnimationControl;
class Control;
class Picture;
class PopupMenu;
class TextField;
class ViewGroup;
}  // namespace kelp

class GalleryEditor : public kelp::GuiEditorBase, public kelp::ControlListener {
public:
    explicit GalleryEditor(kelp::EffectBase* effect);
    ~GalleryEditor() override;

    // False when a bitmap is missing from the library's resources.
    bool hasArtwork() const;

    VstInt32 open(void* parentWindow) override;
    void close() override;
    void idle() override;
    void setParameter(VstInt32 index, float value) override;
    void update() override;
    void valueChanged(kelp::DrawContext* context, kelp::Control* control) override;

private:
    // The bitmaps of examples/gallery/resources, by resource number.
    enum Artwork : int {
        kBench = 200,
        kVerticalTrack = 202,
        kVerticalHandle,
        kHorizontalTrack,
        kHorizontalHandle,
        kSelectorStrip,
        kRockerStrip,
        kPushButtonStrip,
        kLedStrip,
        kMeterOff,
        kMeterOn,
        kReelStrip,
        kSplash,
        kAmberDigits,
        kKnobStrip,
        kKnobFace,
        kArtworkEnd
    };

    kelp::Picture* picture(int id) const { return pictures[id - kBench]; }
    kelp::ViewGroup* addSection(int column, int row);
    void buildKnobs(kelp::ViewGroup* section);
    void buildSliders(kelp::ViewGroup* section);
    void buildSwitches(kelp::ViewGroup* section);
    void buildButtons(kelp::ViewGroup* section);
    void buildDisplays(kelp::ViewGroup* section);
    void buildMeterAndMotion(kelp::ViewGroup* section);
    void add(kelp::ViewGroup* section, kelp::Control* control);
    void chooseSample();
    // The displays, the meter and the strip show parameters; they follow them here.
    void showParameters();

    kelp::Picture* pictures[kArtworkEnd - kBench] = {};
    kelp::Control* controls[kGalleryParameters] = {};
    // Each parameter as its control last learnt it from the effect or sent it: update moves a
    // control only for changes made elsewhere, so that it never undoes a gesture in progress.
    float shown[kGalleryParameters] = {};
    kelp::Control* knobText = nullptr;
    kelp::Control* sliderDigits = nullptr;
    kelp::Control* knobDigits = nullptr;
    kelp::Control* meter = nullptr;
    kelp::Control* stripView = nullptr;
    kelp::AnimationControl* reel = nullptr;
    kelp::PopupMenu* tapeMenu = nullptr;
    kelp::TextField* sampleName = nullptr;
};
