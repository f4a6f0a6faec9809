// Shows the frame of a vertical picture strip that its value selects; takes no input.
#pragma once

#include "gui/controls/Control.h"

namespace kelp {

class FilmstripView : public Control {
public:
    // offset: where the strip begins in the background picture.
    FilmstripView(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 frameCount,
                  VstInt32 frameHeight, Picture* background, const Point& offset);
    ~FilmstripView() override;

    // Values above 1 are stored back as 1.
    void draw(DrawContext* context) override;

protected:
    Point offset;
    VstInt32 frameHeight;
    VstInt32 frameCount;
};

}  // namespace kelp
