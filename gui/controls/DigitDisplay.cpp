#include "gui/controls/DigitDisplay.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gui/controls/PictureStrip.h"

namespace kelp {

namespace {

    VstInt32 digitCountOf(VstInt32 requested) { return std::clamp(requested, VstInt32(0), DigitDisplay::maxDigits); }

    // Whole numbers beyond what the digits can show are of no interest; this keeps them in range.
    std::int64_t wholePart(double value) { return std::int64_t(std::clamp(std::trunc(value), -1e15, 1e15)); }

}  // namespace

DigitDisplay::DigitDisplay(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 initialValue,
                           VstInt32 digitCount, const VstInt32* digitX, const VstInt32* digitY, VstInt32 digitWidth,
                           VstInt32 digitHeight, Picture* background)
    : Control(bounds, listener, tag, background), digitCount(digitCountOf(digitCount)), digitWidth(digitWidth),
      digitHeight(digitHeight)
{
    // Only as many positions as there are digits: the caller's arrays may be no longer.
    for (VstInt32 i = 0; i < this->digitCount; ++i) {
        this->digitX[i] = digitX ? digitX[i] : 0;
        this->digitY[i] = digitY ? digitY[i] : 0;
    }
    setValue(float(initialValue));
    minValue = 0.0f;
    maxValue = float(std::pow(10.0, this->digitCount) - 1.0);
}

DigitDisplay::~DigitDisplay() = default;

float DigitDisplay::normalizedValue() const
{
    if (!(getMax() > 0.0f))
        return 0.0f;
    return std::clamp(getValue() / getMax(), 0.0f, 1.0f);
}

void DigitDisplay::shownImages(VstInt32 (&images)[maxDigits]) const
{
    const std::int64_t t = wholePart(getValue());
    const std::int64_t highest = wholePart(getMax());
    const std::int64_t lowest = wholePart(getMin());
    std::int64_t n = highest <= t ? highest : lowest > t ? lowest : t;
    std::int64_t q = (highest + 1) / 10;
    for (VstInt32 i = 0; i < maxDigits; ++i) {
        if (i >= digitCount) {
            images[i] = 0;
            continue;
        }
        // A maximum below 9 leaves no divisor for the lower digits.
        const std::int64_t digit = q > 0 ? n / q : 0;
        n -= digit * q;
        q /= 10;
        images[i] = VstInt32(std::clamp<std::int64_t>(digit, 0, 9));
    }
}

void DigitDisplay::drawImages(DrawContext* context, const VstInt32 (&images)[maxDigits])
{
    for (VstInt32 i = 0; i < digitCount; ++i) {
        const Rect r{digitX[i], digitY[i], digitX[i] + digitWidth, digitY[i] + digitHeight};
        PictureStrip::drawFrame(background, context, r, Point{0, images[i] * digitHeight}, transparent);
    }
}

void DigitDisplay::draw(DrawContext* context)
{
    VstInt32 images[maxDigits];
    shownImages(images);
    drawImages(context, images);
    setDirty(false);
}

}  // namespace kelp
