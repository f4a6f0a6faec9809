#include "StarterGainEditor.h"

#include <cstdio>

#include "StarterGainEffect.h"
#include "gui/controls/Knob.h"
#include "gui/controls/ValueDisplay.h"
#include "gui/draw/Picture.h"
#include "gui/draw/RootView.h"

using namespace kelp;

namespace {

// Where resources/make-face.py painted the knob and left room for the display.
constexpr Rect kKnobBounds{78, 18, 142, 82};
constexpr Rect kDisplayBounds{35, 104, 185, 128};
constexpr VstInt32 kKnobInset = 10;  // the pointer ends inside the painted knob
const Color kCream{236, 226, 196, 0};
const Color kWell{21, 24, 28, 0};

// Rounded to a tenth: the host shows the eight characters of the factor's decibels.
void gainText(float value, char* text)
{
    std::snprintf(text, ValueDisplay::textSize, "Gain  %+.1f dB", double(StarterGainEffect::decibelsFor(value)));
}

}  // namespace

StarterGainEditor::StarterGainEditor(EffectBase* effect) : GuiEditorBase(effect)
{
    face = new Picture(kFacePicture);
    if (hasFace())
        rect = ERect{0, 0, std::int16_t(face->getHeight()), std::int16_t(face->getWidth())};
}

StarterGainEditor::~StarterGainEditor()
{
    close();
    Picture::replace(face, nullptr);
}

bool StarterGainEditor::hasFace() const { return face && face->isLoaded(); }

VstInt32 StarterGainEditor::open(void* parentWindow)
{
    GuiEditorBase::open(parentWindow);
    rootView = new RootView(Rect{0, 0, rect.right, rect.bottom}, parentWindow, this);
    rootView->setBackgroundPicture(face);

    // The knob draws its part of the face, then its pointer: a line, as it has no handle picture.
    knob = new Knob(kKnobBounds, this, kGain, face, nullptr, kKnobBounds.topLeft());
    knob->setDefaultValue(StarterGainEffect::kDefaultGain);  // Ctrl+click goes back to unity
    knob->setHandleColor(kCream);
    knob->setShadowColor(colorBlack);
    knob->setInset(kKnobInset);
    rootView->attachChild(knob);  // the root view now holds the knob's reference

    display = new ValueDisplay(kDisplayBounds, nullptr, 0);
    display->setValueToText(gainText);
    display->setBackColor(kWell);
    display->setFrameColor(colorBlack);
    display->setFontColor(kCream);
    rootView->attachChild(display);

    shownGain = effect->getParameter(kGain);
    knob->setValue(shownGain);
    display->setValue(shownGain);
    return 1;
}

// The root view releases the knob and the display; the face stays for the next open.
void StarterGainEditor::close()
{
    delete rootView;
    rootView = nullptr;
    knob = nullptr;
    display = nullptr;
}

// From whichever thread set the parameter, the audio thread among them, while the
// user-interface thread may be closing the editor: only a request is left here.
void StarterGainEditor::setParameter(VstInt32, float) { requestUpdate(); }

// On the user-interface thread, from idle: the views follow what the effect stored.
void StarterGainEditor::update()
{
    if (!rootView)
        return;
    const float stored = effect->getParameter(kGain);
    if (stored != shownGain) {
        shownGain = stored;
        knob->setValue(stored);
    }
    display->setValue(stored);
}

void StarterGainEditor::valueChanged(DrawContext* context, Control* control)
{
    if (control->getTag() != kGain)
        return;
    shownGain = control->getValue();
    effect->automateParameter(kGain, shownGain);  // the effect stores it, the host records it
    display->setValue(effect->getParameter(kGain));
    if (context) {  // changes from keys and the wheel come without one; the next idle draws them
        control->redrawIfDirty(context);
        display->redrawIfDirty(context);
    }
}
