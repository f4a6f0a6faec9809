// A digit display that can show, instead of its number, a short text of digits and slashes
// (a note value such as 1/16): the strip's eleventh image, below the 9, is the slash.
#pragma once

#include <atomic>

#include "gui/controls/DigitDisplay.h"

namespace kelp {

class DigitTextDisplay : public DigitDisplay {
public:
    static constexpr VstInt32 slashImage = 10;

    DigitTextDisplay(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 initialValue,
                     VstInt32 digitCount, const VstInt32* digitX, const VstInt32* digitY, VstInt32 digitWidth,
                     VstInt32 digitHeight, Picture* background);
    ~DigitTextDisplay() override;

    // Back to showing the number.
    void setValue(float newValue) override;
    // One character per digit: '1'..'9' and '/' show themselves, anything else (and the
    // positions past the end of a shorter text) a 0.
    virtual void setText(const char* text);

    // The text's images while it is shown, else the number's: draw shows these.
    void shownImages(VstInt32 (&images)[maxDigits]) const override;
    bool isShowingText() const { return showingText.load(std::memory_order_relaxed); }

protected:
    VstInt32 glyphs[maxDigits] = {};
    // Cleared by setValue, which may come from the host's thread.
    std::atomic<bool> showingText{false};
};

}  // namespace kelp
