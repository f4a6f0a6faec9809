// Shows its value as text in a box: a background picture, or a filled box with a frame or a
// bevel, with font, colours, alignment and an optional shadow of its own. The text comes from
// a conversion function when one is set. Takes no input; text fields and popup menus build on
// it and draw through drawLabel.
#pragma once

#include "gui/controls/Control.h"

namespace kelp {

class ValueDisplay : public Control {
public:
    // text points to textSize bytes, cleared before the call; write at most that, terminator
    // included.
    using ValueToText = void (*)(float value, char* text);
    using ValueToTextWithData = void (*)(float value, char* text, VstIntPtr userData);
    // For editable displays: true when text gave a value.
    using TextToValue = bool (*)(const char* text, float& value, VstIntPtr userData);

    static constexpr int textSize = 256;

    enum Style {
        styleShadowText = 0x4,  // text in shadowColor one pixel right and down, then in fontColor
        styleBevelOut = 0x80,   // top and left edges in backColor, right and bottom in frameColor
        styleBevelIn = 0x100,   // the other way round (ignored with styleBevelOut)
        styleNoText = 0x800,
        styleNoDraw = 0x1000  // never drawn, never dirty
    };

    ValueDisplay(const Rect& bounds, Picture* background, VstInt32 style);
    ~ValueDisplay() override;

    void draw(DrawContext* context) override;

    // The setters that change the look mark the display dirty when the look changes.
    virtual void setFont(VstInt32 id);
    virtual void setFontColor(const Color& color);
    virtual void setBackColor(const Color& color);
    virtual void setFrameColor(const Color& color);
    virtual void setShadowColor(const Color& color);
    virtual void setHorizontalAlign(VstInt32 align);
    virtual void setValueToTextWithData(ValueToTextWithData function, VstIntPtr data);
    virtual void setValueToText(ValueToText function);
    virtual void setTextToValue(TextToValue function);
    virtual void setStyle(VstInt32 newStyle);
    virtual void setTextFace(VstInt32 face);
    virtual void setTextTransparent(bool flag);

    // The box and the text; a null text draws the box only, a picture replaces the background
    // for this call. Leaves the display clean.
    void drawLabel(DrawContext* context, const char* text, Picture* picture);

protected:
    // For the editable kinds, which tell a listener.
    ValueDisplay(const Rect& bounds, ControlListener* listener, VstInt32 tag, Picture* background, VstInt32 style);

    // The value's text as the display shows it, into textSize bytes.
    void valueText(char* text) const;
    // Marks dirty when red, green or blue differ, then stores all four bytes.
    void changeColor(Color& field, const Color& color);

    ValueToText valueToText = nullptr;
    ValueToTextWithData valueToTextWithData = nullptr;
    TextToValue textToValue = nullptr;
    VstIntPtr userData = 0;
    VstInt32 horizontalAlign = 1;  // 0 left, 1 centre, 2 right
    VstInt32 style;
    VstInt32 fontId = 3;  // fontNormal
    VstInt32 textFace = 0;
    Color fontColor = colorWhite;
    Color backColor = colorBlack;
    Color frameColor = colorBlack;
    Color shadowColor = colorRed;
    bool textTransparent = true;
};

}  // namespace kelp
