// A knob drawn as one frame of a vertical film strip chosen by the value (0 shows the first
// frame, 1 the last); it turns exactly like a Knob.
#pragma once

#include "gui/controls/Knob.h"

namespace kelp {

class FilmstripKnob : public Knob {
public:
    // background is the strip: frameCount frames of frameHeight pixels stacked from the top.
    FilmstripKnob(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 frameCount,
                  VstInt32 frameHeight, Picture* background, const Point& offset);
    ~FilmstripKnob() override;

    void draw(DrawContext* context) override;

    // Top of the frame for the current value: the integer part of value x (frames - 1), kept
    // within the strip.
    VstInt32 frameTop() const;

protected:
    VstInt32 frameCount;
    VstInt32 frameHeight;
};

}  // namespace kelp
