#include "GalleryEditor.h"

#include <cmath>
#include <cstdio>

#include "gui/controls/AnimationControl.h"
#include "gui/controls/DigitDisplay.h"
#include "gui/controls/DigitTextDisplay.h"
#include "gui/controls/FilmstripKnob.h"
#include "gui/controls/FilmstripView.h"
#include "gui/controls/HorizontalSlider.h"
#include "gui/controls/HorizontalSwitch.h"
#include "gui/controls/Knob.h"
#include "gui/controls/LevelMeter.h"
#include "gui/controls/MomentaryButton.h"
#include "gui/controls/PopupMenu.h"
#include "gui/controls/RockerSwitch.h"
#include "gui/controls/SplashControl.h"
#include "gui/controls/TextField.h"
#include "gui/controls/ToggleButton.h"
#include "gui/controls/TrackingToggleButton.h"
#include "gui/controls/ValueDisplay.h"
#include "gui/controls/VerticalSlider.h"
#include "gui/controls/VerticalSwitch.h"
#include "gui/draw/Picture.h"
#include "gui/draw/RootView.h"
#include "gui/draw/ViewGroup.h"
#include "gui/files/FileChooser.h"

using namespace kelp;

namespace {

// The bench is a 3 x 2 grid of 200 x 170 sections; controls sit in each section's inner
// area, (8, 24) to (196, 166) in the section's own coordinates.
constexpr int kSectionWidth = 200, kSectionHeight = 170;
constexpr Point kFirstSection{10, 50};
constexpr int kSectionGap = 10;

// Controls with no parameter behind them.
constexpr VstInt32 kReelTag = 100, kSplashTag = 101, kTapeTag = 102, kSpeedTag = 103, kOpenTag = 104, kSampleTag = 105;

const Color kCream{236, 226, 196, 0};
const Color kFloor{30, 37, 38, 0};
const Color kRaisedFloor{52, 64, 66, 0};

void percentText(float value, char* text) { std::snprintf(text, 256, "Knob %3d %%", int(std::lround(value * 100.0f))); }

// The look the text boxes share with the knob's display: cream on the floor, sunk in.
void styleLikeTheDisplay(ValueDisplay* display)
{
    display->setBackColor(kFloor);
    display->setFrameColor(colorBlack);
    display->setFontColor(kCream);
}

// The file name of a path, after its last backslash or slash.
const char* fileNameOf(const char* path)
{
    const char* name = path;
    for (const char* c = path; *c; ++c)
        if (*c == '\\' || *c == '/')
            name = c + 1;
    return name;
}

}  // namespace

GalleryEditor::GalleryEditor(EffectBase* effect) : GuiEditorBase(effect)
{
    for (int id = kBench; id < kArtworkEnd; ++id)
        if (id != kBench + 1)  // 201, the bare section plate, is not needed: groups show the bench
            pictures[id - kBench] = new Picture(id);
    rect = ERect{0, 0, std::int16_t(picture(kBench)->getHeight()), std::int16_t(picture(kBench)->getWidth())};
}

bool GalleryEditor::hasArtwork() const
{
    for (int id = kBench; id < kArtworkEnd; ++id)
        if (id != kBench + 1 && !picture(id)->isLoaded())
            return false;
    return true;
}

GalleryEditor::~GalleryEditor()
{
    close();
    for (Picture*& p : pictures)
        Picture::replace(p, nullptr);
}

VstInt32 GalleryEditor::open(void* parentWindow)
{
    GuiEditorBase::open(parentWindow);
    rootView = new RootView(Rect{0, 0, rect.right, rect.bottom}, parentWindow, this);
    rootView->setBackgroundPicture(picture(kBench));
    buildKnobs(addSection(0, 0));
    buildSliders(addSection(1, 0));
    buildSwitches(addSection(2, 0));
    buildButtons(addSection(0, 1));
    buildDisplays(addSection(1, 1));
    buildMeterAndMotion(addSection(2, 1));
    for (VstInt32 i = 0; i < kGalleryParameters; ++i) {
        shown[i] = effect->getParameter(i);
        controls[i]->setValue(shown[i]);
    }
    showParameters();
    return 1;
}

void GalleryEditor::close()
{
    delete rootView;  // releases the groups, which release their controls
    rootView = nullptr;
    for (Control*& control : controls)
        control = nullptr;
    knobText = sliderDigits = knobDigits = meter = stripView = nullptr;
    reel = nullptr;
    tapeMenu = nullptr;
    sampleName = nullptr;
}

// Each section is a group drawn over its own part of the bench picture.
ViewGroup* GalleryEditor::addSection(int column, int row)
{
    const Point corner{kFirstSection.h + column * (kSectionWidth + kSectionGap),
                       kFirstSection.v + row * (kSectionHeight + kSectionGap)};
    auto* section =
        new ViewGroup(Rect::fromSize(corner.h, corner.v, kSectionWidth, kSectionHeight), rootView, picture(kBench));
    section->setBackgroundOffset(corner);
    rootView->attachChild(section);
    return section;
}

void GalleryEditor::add(ViewGroup* section, Control* control)
{
    const VstInt32 tag = control->getTag();
    if (tag >= 0 && tag < kGalleryParameters)
        controls[tag] = control;
    section->attachChild(control);
}

void GalleryEditor::buildKnobs(ViewGroup* section)
{
    auto* knob = new Knob(Rect::fromSize(22, 50, 64, 64), this, kKnob, picture(kKnobFace), nullptr, Point{});
    knob->setHandleColor(kCream);
    knob->setShadowColor(colorBlack);
    knob->setInset(14);
    add(section, knob);
    add(section,
        new FilmstripKnob(Rect::fromSize(114, 50, 64, 64), this, kStripKnob, 80, 64, picture(kKnobStrip), Point{}));
}

void GalleryEditor::buildSliders(ViewGroup* section)
{
    add(section, new VerticalSlider(Rect::fromSize(30, 32, 24, 120), this, kVerticalSlider, Point{1, 0}, 120,
                                    picture(kVerticalHandle), picture(kVerticalTrack), Point{},
                                    Slider::kVertical | Slider::kBottom));
    add(section, new HorizontalSlider(Rect::fromSize(66, 80, 120, 24), this, kHorizontalSlider, Point{0, 1}, 120,
                                      picture(kHorizontalHandle), picture(kHorizontalTrack), Point{},
                                      Slider::kHorizontal | Slider::kLeft));
    controls[kVerticalSlider]->setTransparent(true);
    controls[kHorizontalSlider]->setTransparent(true);
}

void GalleryEditor::buildSwitches(ViewGroup* section)
{
    add(section, new HorizontalSwitch(Rect::fromSize(20, 45, 40, 40), this, kSelector, 3, 40, 3,
                                      picture(kSelectorStrip), Point{}));
    add(section, new VerticalSwitch(Rect::fromSize(80, 45, 40, 40), this, kVerticalSelector, 3, 40, 3,
                                    picture(kSelectorStrip), Point{}));
    add(section,
        new RockerSwitch(Rect::fromSize(145, 40, 30, 50), this, kRocker, 50, picture(kRockerStrip), Point{}, 0));

    // An option menu of tape stocks with the tape speed in a submenu; each checks its current entry.
    auto* speeds = new PopupMenu(Rect{}, this, kSpeedTag, nullptr, nullptr, PopupMenu::styleCheckCurrent);
    for (const char* speed : {"3.75 ips", "7.5 ips", "15 ips"})
        speeds->addEntry(speed);
    speeds->setCurrent(1, true);
    tapeMenu =
        new PopupMenu(Rect::fromSize(20, 112, 160, 24), this, kTapeTag, nullptr, nullptr, PopupMenu::styleCheckCurrent);
    styleLikeTheDisplay(tapeMenu);
    tapeMenu->setBackColor(kRaisedFloor);
    for (const char* entry : {"-TTape stock", "Ferric C-60", "Chrome C-90", "Metal C-46", "-GWire (retired)", "-"})
        tapeMenu->addEntry(entry);
    tapeMenu->addSubmenu(speeds, "Speed");
    speeds->release();  // the tape menu holds it now
    tapeMenu->setCurrent(0, false);
    section->attachChild(tapeMenu);
}

void GalleryEditor::buildButtons(ViewGroup* section)
{
    add(section, new ToggleButton(Rect::fromSize(20, 40, 40, 40), this, kPushButton, picture(kPushButtonStrip)));
    add(section,
        new MomentaryButton(Rect::fromSize(80, 40, 40, 40), this, kMomentary, 40, picture(kPushButtonStrip), Point{}));
    add(section,
        new TrackingToggleButton(Rect::fromSize(145, 50, 20, 20), this, kLed, 20, picture(kLedStrip), Point{}));

    // A button that asks for a sample with the file chooser, and the sample's name, editable.
    section->attachChild(new ToggleButton(Rect::fromSize(20, 100, 40, 40), this, kOpenTag, picture(kPushButtonStrip)));
    sampleName = new TextField(Rect::fromSize(68, 108, 112, 24), this, kSampleTag, "no sample", nullptr,
                               ValueDisplay::styleBevelIn);
    styleLikeTheDisplay(sampleName);
    section->attachChild(sampleName);
}

// Runs inside the button's press: the dialog is modal over the editor.
void GalleryEditor::chooseSample()
{
    VstFileType wave{};
    std::snprintf(wave.name, sizeof wave.name, "WAVE audio");
    std::snprintf(wave.dosType, sizeof wave.dosType, "wav");
    VstFileSelect request{};
    request.command = kVstFileLoad;
    request.nbFileTypes = 1;
    request.fileTypes = &wave;
    std::snprintf(request.title, sizeof request.title, "Load a sample");
    FileChooser chooser(effect);
    if (chooser.run(&request) > 0 && request.returnPath)
        sampleName->setText(fileNameOf(request.returnPath));
}

void GalleryEditor::buildDisplays(ViewGroup* section)
{
    auto* text = new ValueDisplay(Rect::fromSize(14, 36, 172, 26), nullptr, ValueDisplay::styleBevelIn);
    styleLikeTheDisplay(text);
    text->setValueToText(percentText);
    section->attachChild(knobText = text);

    // Four amber digits side by side, for the horizontal slider and the knob.
    const VstInt32 top[] = {100, 100, 100, 100};
    const VstInt32 sliderLeft[] = {30, 42, 54, 66};
    const VstInt32 knobLeft[] = {110, 122, 134, 146};
    section->attachChild(sliderDigits = new DigitDisplay(Rect::fromSize(30, 100, 48, 18), nullptr, -1, 0, 4, sliderLeft,
                                                         top, 12, 18, picture(kAmberDigits)));
    section->attachChild(knobDigits = new DigitTextDisplay(Rect::fromSize(110, 100, 48, 18), nullptr, -1, 0, 4,
                                                           knobLeft, top, 12, 18, picture(kAmberDigits)));
}

void GalleryEditor::buildMeterAndMotion(ViewGroup* section)
{
    section->attachChild(
        meter = new LevelMeter(Rect::fromSize(24, 32, 16, 120), picture(kMeterOn), picture(kMeterOff), 12, 0));
    reel = new AnimationControl(Rect::fromSize(70, 40, 40, 40), this, kReelTag, 12, 40, picture(kReelStrip), Point{});
    reel->start();
    section->attachChild(reel);
    section->attachChild(stripView = new FilmstripView(Rect::fromSize(134, 40, 40, 40), nullptr, -1, 12, 40,
                                                       picture(kReelStrip), Point{}));
    // A click on the spool below shows the splash card over the bench until clicked again.
    auto* splash = new SplashControl(Rect::fromSize(134, 100, 40, 40), this, kSplashTag, picture(kSplash),
                                     Rect::fromSize(200, 130, 240, 140), Point{});
    section->attachChild(splash);
}

void GalleryEditor::showParameters()
{
    if (!rootView)
        return;
    knobText->setValue(effect->getParameter(kKnob));
    sliderDigits->setValue(std::round(effect->getParameter(kHorizontalSlider) * 9999.0f));
    knobDigits->setValue(std::round(effect->getParameter(kKnob) * 9999.0f));
    meter->setValue(effect->getParameter(kVerticalSlider));
    stripView->setValue(effect->getParameter(kStripKnob));
}

// The reel turns one frame per idle while it runs.
void GalleryEditor::idle()
{
    if (reel && rootView && !isInIdle())
        reel->nextFrame();
    GuiEditorBase::idle();
}

// From whichever thread set the parameter, while the user-interface thread may be closing the
// editor: the controls are brought up to date by the next idle.
void GalleryEditor::setParameter(VstInt32, float) { requestUpdate(); }

void GalleryEditor::update()
{
    if (!rootView)
        return;
    for (VstInt32 i = 0; i < kGalleryParameters; ++i) {
        const float stored = effect->getParameter(i);
        if (controls[i] && stored != shown[i]) {
            shown[i] = stored;
            controls[i]->setValue(stored);
        }
    }
    showParameters();
}

void GalleryEditor::valueChanged(DrawContext* context, Control* control)
{
    const VstInt32 tag = control->getTag();
    if (tag == kOpenTag && control->getValue() != 0.0f) {
        control->redrawIfDirty(context);
        chooseSample();
        control->setValue(0.0f);
    }
    if (tag < 0 || tag >= kGalleryParameters)
        return;
    shown[tag] = control->getValue();
    effect->automateParameter(tag, shown[tag]);
    if (context)  // changes from keys come without one; the next idle draws them
        control->redrawIfDirty(context);
}
