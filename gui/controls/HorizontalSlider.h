// A Slider whose handle moves left and right.
#pragma once

#include "gui/controls/Slider.h"

namespace kelp {

class HorizontalSlider : public Slider {
public:
    HorizontalSlider(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 firstPosition,
                     VstInt32 lastPosition, Picture* handlePicture, Picture* background, const Point& offset,
                     VstInt32 style);
    HorizontalSlider(const Rect& bounds, ControlListener* listener, VstInt32 tag, const Point& handleOffset,
                     VstInt32 trackLength, Picture* handlePicture, Picture* background, const Point& offset,
                     VstInt32 style);
    ~HorizontalSlider() override;
};

}  // namespace kelp
