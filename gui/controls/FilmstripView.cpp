#include "gui/controls/FilmstripView.h"

#include "gui/controls/PictureStrip.h"

namespace kelp {

FilmstripView::FilmstripView(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 frameCount,
                             VstInt32 frameHeight, Picture* background, const Point& offset)
    : Control(bounds, listener, tag, background), offset(offset), frameHeight(frameHeight), frameCount(frameCount)
{
}

FilmstripView::~FilmstripView() = default;

void FilmstripView::draw(DrawContext* context)
{
    if (getValue() > 1.0f)
        setValue(1.0f);
    Point source = offset;
    if (getValue() > 0.0f)
        source.v += PictureStrip::nearestFrame(getValue(), frameCount - 1) * frameHeight;
    PictureStrip::drawFrame(background, context, bounds, source, transparent);
    setDirty(false);
}

}  // namespace kelp
