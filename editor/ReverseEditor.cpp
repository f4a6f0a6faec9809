#include "editor/ReverseEditor.h"

#include <new>

#include "effect/ReverseEffect.h"
#include "gui/controls/ToggleButton.h"
#include "gui/draw/Picture.h"
#include "gui/draw/RootView.h"

using namespace kelp;

namespace {

constexpr Rect kFootswitchBounds{120, 95, 190, 165};

}  // namespace

// The effect keeps the editor even when it fails here, and deletes it with itself.
bool createEditor(ReverseEffect& effect) { return (new ReverseEditor(&effect))->hasFace(); }

ReverseEditor::ReverseEditor(EffectBase* effect) : GuiEditorBase(effect)
{
    facePicture = new Picture(kFacePicture);
    if (hasFace()) {
        rect.top = 0;
        rect.left = 0;
        rect.bottom = std::int16_t(facePicture->getHeight());
        rect.right = std::int16_t(facePicture->getWidth());
    }
}

ReverseEditor::~ReverseEditor()
{
    close();
    Picture::replace(knobPicture, nullptr);
    Picture::replace(labelsPicture, nullptr);
    Picture::replace(digitsPicture, nullptr);
    Picture::replace(facePicture, nullptr);
}

bool ReverseEditor::hasFace() const { return facePicture && facePicture->isLoaded(); }

void ReverseEditor::loadOnce(Picture*& picture, int resourceId)
{
    if (!picture)
        picture = new Picture(resourceId);
}

VstInt32 ReverseEditor::open(void* parentWindow)
{
    GuiEditorBase::open(parentWindow);
    loadOnce(footswitchPicture, kFootswitchPicture);
    loadOnce(knobPicture, kKnobStripPicture);
    loadOnce(labelsPicture, kUnitLabelsPicture);
    loadOnce(digitsPicture, kDigitStripPicture);

    const Rect faceBounds{0, 0, rect.right, rect.bottom};
    rootView = new RootView(faceBounds, parentWindow, this);
    rootView->setBackgroundPicture(facePicture);

    footswitch = new ToggleButton(kFootswitchBounds, this, kOnOff, footswitchPicture);
    shownOnOff = effect->getParameter(kOnOff);
    footswitch->setValue(shownOnOff);
    rootView->attachChild(footswitch);

    setKnobMode(2);
    return 1;
}

// The root view releases its views, the footswitch among them.
void ReverseEditor::close()
{
    delete rootView;
    rootView = nullptr;
    footswitch = nullptr;
    Picture::replace(footswitchPicture, nullptr);
}

// Called from whichever thread set the parameter, the audio thread among them, while the
// user-interface thread may be closing the editor: only a request is left here, and the
// next idle brings the controls up to date (update).
void ReverseEditor::setParameter(VstInt32, float) { requestUpdate(); }

// On the user-interface thread, from idle. The values are read back from the effect: it is
// what the effect stored that counts. A click runs idle between flipping the footswitch and
// telling the effect, so the footswitch follows only changes the editor did not make itself.
void ReverseEditor::update()
{
    if (!rootView)
        return;
    const float stored = effect->getParameter(kOnOff);
    if (footswitch && stored != shownOnOff) {
        shownOnOff = stored;
        footswitch->setValue(stored);
    }
    showBufferLength();
}

// Milliseconds mode only: the buffer length at 44.1 kHz, 23 to 2000 ms.
void ReverseEditor::showBufferLength()
{
    if (buffSizeControl)
        buffSizeControl->setValue(effect->getParameter(kBuffSize));
    if (timeDisplay && noteMsSwitch && noteMsSwitch->getValue() < 0.5f) {
        timeDisplay->setValue(effect->getParameter(kBuffSize) * 1977.0f + 23.0f);
        timeDisplay->setDirty(true);
    }
}

void ReverseEditor::valueChanged(DrawContext* context, Control* control)
{
    switch (control->getTag()) {
    case kOnOff:
        shownOnOff = control->getValue();
        effect->automateParameter(kOnOff, shownOnOff);
        break;
    case kBuffSize:
        effect->automateParameter(control->getTag(), control->getValue());
        break;
    case kNoteMs:
        effect->automateParameter(kNoteMs, control->getValue());
        // The effect recomputes the buffer length for the new mode.
        if (buffSizeControl)
            effect->automateParameter(kBuffSize, buffSizeControl->getValue());
        break;
    default:
        return;
    }
    if (context)  // changes from keys come without one; the next idle draws them
        control->redrawIfDirty(context);
}
