// The gallery's face: every control of the toolkit at once, in six view groups on a bench
// panel. Controls with a parameter behind them automate it; the displays, the meter and the
// picture strip show parameters; the reel turns on idle; the splash opens over the bench; the
// tape menu and the sample's name are the native widgets, and a button opens the file chooser.
#pragma once

#include "GalleryEffect.h"
#include "editor/GuiEditorBase.h"
#include "gui/controls/ControlListener.h"

class AnimationControl;
class Control;
class Picture;
class PopupMenu;
class TextField;
class ViewGroup;

class GalleryEditor : public GuiEditorBase, public ControlListener {
public:
    explicit GalleryEditor(EffectBase* effect);
    ~GalleryEditor() override;

    // False when a bitmap is missing from the library's resources.
    bool hasArtwork() const;

    VstInt32 open(void* parentWindow) override;
    void close() override;
    void idle() override;
    void setParameter(VstInt32 index, float value) override;
    void update() override;
    void valueChanged(DrawContext* context, Control* control) override;

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

    Picture* picture(int id) const { return pictures[id - kBench]; }
    ViewGroup* addSection(int column, int row);
    void buildKnobs(ViewGroup* section);
    void buildSliders(ViewGroup* section);
    void buildSwitches(ViewGroup* section);
    void buildButtons(ViewGroup* section);
    void buildDisplays(ViewGroup* section);
    void buildMeterAndMotion(ViewGroup* section);
    void add(ViewGroup* section, Control* control);
    void chooseSample();
    // The displays, the meter and the strip show parameters; they follow them here.
    void showParameters();

    Picture* pictures[kArtworkEnd - kBench] = {};
    Control* controls[kGalleryParameters] = {};
    // Each parameter as its control last learnt it from the effect or sent it: update moves a
    // control only for changes made elsewhere, so that it never undoes a gesture in progress.
    float shown[kGalleryParameters] = {};
    Control* knobText = nullptr;
    Control* sliderDigits = nullptr;
    Control* knobDigits = nullptr;
    Control* meter = nullptr;
    Control* stripView = nullptr;
    AnimationControl* reel = nullptr;
    PopupMenu* tapeMenu = nullptr;
    TextField* sampleName = nullptr;
};
