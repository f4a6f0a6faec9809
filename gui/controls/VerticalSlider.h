// A Slider whose handle moves up and down.
#pragma once

#include "gui/controls/Slider.h"

namespace kelp {

class VerticalSlider : public Slider {
public:
    VerticalSlider(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 firstPosition,
                   VstInt32 lastPosition, Picture* handlePicture, Picture* background, const Point& offset,
                   VstInt32 style);
    VerticalSlider(const Rect& bounds, ControlListener* listener, VstInt32 tag, const Point& handleOffset,
                   VstInt32 trackLength, Picture* handlePicture, Picture* background, const Point& offset,
                   VstInt32 style);
    ~VerticalSlider() override;
};

}  // namespace kelp
