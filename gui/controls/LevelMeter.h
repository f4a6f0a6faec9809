// Shows its value as a bar of whole segments: the on picture where the bar is, the off picture
// (optional) over the rest. The bar jumps up at once and falls back by decayStep per drawing;
// until it has reached the value the meter stays dirty, so every update pass draws it again.
#pragma once

#include "gui/controls/Control.h"

namespace kelp {

class LevelMeter : public Control {
public:
    enum Style { styleHorizontal = 1 };  // growing to the right; without it, upwards

    // Both pictures are retained; offPicture may be null. At least one segment.
    LevelMeter(const Rect& bounds, Picture* onPicture, Picture* offPicture, VstInt32 segmentCount, VstInt32 style);
    ~LevelMeter() override;

    void draw(DrawContext* context) override;
    // The flag alone: oldValue is the level shown, which only drawing moves.
    void setDirty(bool flag) override;
    virtual void setDecayStep(float step);

protected:
    Picture* onPicture;
    Picture* offPicture;
    VstInt32 segmentCount;
    VstInt32 style;
    float decayStep = 0.1f;
    Rect onRect;   // where the on picture went last
    Rect offRect;  // where the off picture went last
};

}  // namespace kelp
