#include "gui/controls/HorizontalSwitch.h"

#include "gui/draw/Picture.h"

namespace kelp {

int HorizontalSwitch::distanceAlong(const Point& at) const { return at.h - bounds.left; }

// The positions share the picture's width; without a picture, the switch's own.
double HorizontalSwitch::positionStep() const
{
    const int width = background ? background->getWidth() : bounds.width();
    return double(width) / positionCount;
}

}  // namespace kelp
