#include "gui/controls/HorizontalSlider.h"

namespace kelp {

HorizontalSlider::HorizontalSlider(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 firstPosition,
                                   VstInt32 lastPosition, Picture* handlePicture, Picture* background,
                                   const Point& offset, VstInt32 style)
    : Slider(bounds, listener, tag, firstPosition, lastPosition, handlePicture, background, offset, style | kHorizontal)
{
}

HorizontalSlider::HorizontalSlider(const Rect& bounds, ControlListener* listener, VstInt32 tag,
                                   const Point& handleOffset, VstInt32 trackLength, Picture* handlePicture,
                                   Picture* background, const Point& offset, VstInt32 style)
    : Slider(bounds, listener, tag, handleOffset, trackLength, handlePicture, background, offset, style | kHorizontal)
{
}

HorizontalSlider::~HorizontalSlider() = default;

}  // namespace kelp
