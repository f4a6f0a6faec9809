#include "gui/controls/ValueDisplay.h"

#include <cstdio>

#include "gui/controls/PictureStrip.h"
#include "gui/draw/DrawContext.h"

namespace kelp {

ValueDisplay::ValueDisplay(const Rect& bounds, Picture* background, VstInt32 style)
    : ValueDisplay(bounds, nullptr, 0, background, style)
{
}

ValueDisplay::ValueDisplay(const Rect& bounds, ControlListener* listener, VstInt32 tag, Picture* background,
                           VstInt32 style)
    : Control(bounds, listener, tag, background), style(style)
{
    if (style & styleNoDraw)
        setDirty(false);
}

ValueDisplay::~ValueDisplay() = default;

void ValueDisplay::valueText(char* text) const
{
    text[0] = 0;
    if (valueToTextWithData)
        valueToTextWithData(getValue(), text, userData);
    else if (valueToText)
        valueToText(getValue(), text);
    else
        std::snprintf(text, textSize, "%2.2f", double(getValue()));
    text[textSize - 1] = 0;
}

void ValueDisplay::draw(DrawContext* context)
{
    char text[textSize];
    valueText(text);
    drawLabel(context, text, nullptr);
}

void ValueDisplay::drawLabel(DrawContext* context, const char* text, Picture* picture)
{
    setDirty(false);
    if ((style & styleNoDraw) || !context)
        return;
    const bool bevel = style & (styleBevelOut | styleBevelIn);
    if (Picture* box = picture ? picture : background) {
        PictureStrip::drawFrame(box, context, bounds, backOffset, transparent);
    } else if (!transparent) {
        context->setBrushColor(backColor);
        context->fillRect(bounds);
        if (!bevel) {
            context->setPenColor(frameColor);
            context->frameRect(bounds);
        }
    }
    if (bevel) {
        const bool out = style & styleBevelOut;
        context->setPenColor(out ? backColor : frameColor);
        context->moveTo(Point{bounds.left, bounds.bottom});
        context->lineTo(Point{bounds.left, bounds.top});
        context->lineTo(Point{bounds.right + 1, bounds.top});
        context->setPenColor(out ? frameColor : backColor);
        context->moveTo(Point{bounds.right, bounds.top + 1});
        context->lineTo(Point{bounds.right, bounds.bottom});
        context->lineTo(Point{bounds.left, bounds.bottom});
    }
    if ((style & styleNoText) || !text)
        return;
    context->selectFont(fontId, 0, textFace);
    if (style & styleShadowText) {
        Rect shadow = bounds;
        shadow.offset(1, 1);
        context->setTextColor(shadowColor);
        context->drawText(text, shadow, !textTransparent, horizontalAlign);
    }
    context->setTextColor(fontColor);
    context->drawText(text, bounds, !textTransparent, horizontalAlign);
}

void ValueDisplay::changeColor(Color& field, const Color& color)
{
    if (field.red != color.red || field.green != color.green || field.blue != color.blue)
        setDirty(true);
    field = color;
}

void ValueDisplay::setFont(VstInt32 id)
{
    if (fontId != id)
        setDirty(true);
    fontId = id;
}

void ValueDisplay::setFontColor(const Color& color) { changeColor(fontColor, color); }

void ValueDisplay::setBackColor(const Color& color) { changeColor(backColor, color); }

void ValueDisplay::setFrameColor(const Color& color) { changeColor(frameColor, color); }

void ValueDisplay::setShadowColor(const Color& color) { changeColor(shadowColor, color); }

void ValueDisplay::setHorizontalAlign(VstInt32 align)
{
    if (horizontalAlign != align)
        setDirty(true);
    horizontalAlign = align;
}

void ValueDisplay::setValueToTextWithData(ValueToTextWithData function, VstIntPtr data)
{
    valueToTextWithData = function;
    userData = data;
}

void ValueDisplay::setValueToText(ValueToText function) { valueToText = function; }

void ValueDisplay::setTextToValue(TextToValue function) { textToValue = function; }

void ValueDisplay::setStyle(VstInt32 newStyle)
{
    if (style == newStyle)
        return;
    style = newStyle;
    setDirty(true);
}

void ValueDisplay::setTextFace(VstInt32 face)
{
    if (textFace != face)
        setDirty(true);
    textFace = face;
}

void ValueDisplay::setTextTransparent(bool flag) { textTransparent = flag; }

}  // namespace kelp
