// Arithmetic and drawing shared by the controls that show one frame of a vertical picture strip.
#pragma once

#include <cmath>

#include "gui/draw/Picture.h"

namespace kelp {

namespace PictureStrip {

    // The frame nearest to value when frames 0 .. lastFrame stand for values 0 .. 1.
    inline int nearestFrame(float value, int lastFrame) { return int(std::trunc(double(lastFrame) * value + 0.5)); }

    // The switch value under a pointer `pixels` from the switch's edge, `step` pixels per
    // position: position i of n gives i / (n - 1), held in [0, 1].
    inline float positionValue(double pixels, double step, int positionCount)
    {
        if (positionCount < 2 || step <= 0.0)
            return 0.0f;
        const float value = float(std::trunc(pixels / step)) / float(positionCount - 1);
        return value > 1.0f ? 1.0f : value < 0.0f ? 0.0f : value;
    }

    // The picture area at source into r: keyed for transparent controls, plain otherwise.
    inline void drawFrame(Picture* picture, DrawContext* context, const Rect& r, Point source, bool keyed)
    {
        if (!picture)
            return;
        if (keyed)
            picture->drawKeyed(context, r, source);
        else
            picture->draw(context, r, source);
    }

}  // namespace PictureStrip

}  // namespace kelp
