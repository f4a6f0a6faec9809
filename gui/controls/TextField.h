// An editable one-line text. Shown like a value display; a click lays a native edit box exactly
// over it, and losing the keyboard focus or Return takes the typed text over. TextField.cpp
// holds the text; TextFieldWin32.cpp the native edit box.
#pragma once

#include "gui/controls/ValueDisplay.h"
#include "gui/draw/RootView.h"

namespace kelp {

// Sent to the container each time editing ends; compared by address.
inline constexpr char kMsgLooseFocus[] = "LooseFocus";

class TextField : public ValueDisplay, public RootView::EditBoxColors {
public:
    // display points to textSize bytes, cleared before the call.
    using TextToText = void (*)(const char* text, char* display);
    using TextToTextWithData = void (*)(const char* text, char* display, VstIntPtr userData);

    enum { styleDoubleClick = 0x2000 };  // editing opens only on a double click

    // A null text is the empty text; longer texts are cut to textSize - 1 characters.
    TextField(const Rect& bounds, ControlListener* listener, VstInt32 tag, const char* text, Picture* background,
              VstInt32 style);
    ~TextField() override;

    void draw(DrawContext* context) override;
    void mouseDown(DrawContext* context, const Point& where) override;
    // Closes the edit box, takes its text over and tells the listener and the container.
    void focusLost(DrawContext* context) override;
    // Opens the edit box.
    void focusGained(DrawContext* context) override;

    virtual void setText(const char* newText);
    virtual void getText(char* buffer) const;
    virtual void setTextToTextWithData(TextToTextWithData function, VstIntPtr data);
    virtual void setTextToText(TextToText function);

    NativeWindow getEditWindow() const { return editWindow; }

    Color editTextColor() const override { return fontColor; }
    Color editBackColor() const override { return backColor; }
    NativeObject& editBackBrush() override { return editBrush; }

private:
    // The edit box's window procedure, in TextFieldWin32.cpp.
    struct EditBox;
    friend struct EditBox;

    NativeWindow openEditBox(const Rect& box, NativeWindow parent);
    // Copies the box's text into text.
    void readEditBox();
    void closeEditBox();

    NativeObject editBrush = nullptr;
    NativeWindow editWindow = nullptr;
    NativeObject editFont = nullptr;
    char text[textSize];
    TextToText textToText = nullptr;
    TextToTextWithData textToTextWithData = nullptr;
    void* previousProcedure = nullptr;  // the edit box's own window procedure
};

}  // namespace kelp
