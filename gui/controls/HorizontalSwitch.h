// A vertical switch turned on its side: the position is taken from how far across the switch
// the pointer is. The strip of frames is the same.
#pragma once

#include "gui/controls/VerticalSwitch.h"

namespace kelp {

class HorizontalSwitch : public VerticalSwitch {
public:
    using VerticalSwitch::VerticalSwitch;

protected:
    int distanceAlong(const Point& at) const override;
    double positionStep() const override;
};

}  // namespace kelp
