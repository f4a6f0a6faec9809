#include "gui/controls/DigitTextDisplay.h"

namespace kelp {

namespace {

    VstInt32 glyphOf(char c)
    {
        if (c == '/')
            return DigitTextDisplay::slashImage;
        return c >= '1' && c <= '9' ? c - '0' : 0;
    }

}  // namespace

DigitTextDisplay::DigitTextDisplay(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 initialValue,
                                   VstInt32 digitCount, const VstInt32* digitX, const VstInt32* digitY,
                                   VstInt32 digitWidth, VstInt32 digitHeight, Picture* background)
    : DigitDisplay(bounds, listener, tag, initialValue, digitCount, digitX, digitY, digitWidth, digitHeight, background)
{
}

DigitTextDisplay::~DigitTextDisplay() = default;

void DigitTextDisplay::setValue(float newValue)
{
    showingText.store(false, std::memory_order_relaxed);
    DigitDisplay::setValue(newValue);
}

void DigitTextDisplay::setText(const char* text)
{
    bool ended = text == nullptr;
    for (VstInt32 i = 0; i < digitCount; ++i) {
        ended = ended || text[i] == 0;  // nothing is read past the terminator
        glyphs[i] = ended ? 0 : glyphOf(text[i]);
    }
    showingText.store(true, std::memory_order_relaxed);
    setDirty(true);
}

void DigitTextDisplay::shownImages(VstInt32 (&images)[maxDigits]) const
{
    if (!isShowingText()) {
        DigitDisplay::shownImages(images);
        return;
    }
    for (VstInt32 i = 0; i < maxDigits; ++i)
        images[i] = glyphs[i];
}

}  // namespace kelp
