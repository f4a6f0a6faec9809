// Shows the integer part of its value as up to 7 decimal digits, leading zeros included, each
// copied from a vertical strip of digit images (0 at the top) into a rectangle of its own.
// The value is the number itself, held in [0, 10^digitCount - 1].
#pragma once

#include "gui/controls/Control.h"

namespace kelp {

class DigitDisplay : public Control {
public:
    static constexpr int maxDigits = 7;

    // digitX and digitY give each digit's top-left corner, most significant first; digitCount
    // entries are read from each. More than maxDigits digits are cut to maxDigits.
    DigitDisplay(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 initialValue,
                 VstInt32 digitCount, const VstInt32* digitX, const VstInt32* digitY, VstInt32 digitWidth,
                 VstInt32 digitHeight, Picture* background);
    ~DigitDisplay() override;

    void draw(DrawContext* context) override;
    // value / max, held in [0, 1].
    virtual float normalizedValue() const;

    // The strip image each digit position shows now, most significant first.
    virtual void shownImages(VstInt32 (&images)[maxDigits]) const;
    VstInt32 getDigitCount() const { return digitCount; }

protected:
    void drawImages(DrawContext* context, const VstInt32 (&images)[maxDigits]);

    VstInt32 digitCount;
    VstInt32 digitX[maxDigits] = {};
    VstInt32 digitY[maxDigits] = {};
    VstInt32 digitWidth;
    VstInt32 digitHeight;
};

}  // namespace kelp
