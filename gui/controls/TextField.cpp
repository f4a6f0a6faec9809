#include "gui/controls/TextField.h"

#include <cstdio>
#include <cstring>

#include "gui/controls/ControlListener.h"
#include "gui/draw/DrawContext.h"

namespace kelp {

namespace {

    void copyText(char* to, const char* from) { std::snprintf(to, ValueDisplay::textSize, "%s", from ? from : ""); }

}  // namespace

TextField::TextField(const Rect& bounds, ControlListener* listener, VstInt32 tag, const char* initialText,
                     Picture* background, VstInt32 style)
    : ValueDisplay(bounds, listener, tag, background, style)
{
    copyText(text, initialText);
}

TextField::~TextField()
{
    // Normally closed already: the root view takes the focus away before it lets go of its views.
    if (!editWindow)
        return;
    closeEditBox();
    if (root && root->getFocusView() == this)
        root->setFocusView(nullptr);
}

void TextField::draw(DrawContext* context)
{
    // While editing, the edit box covers the field.
    if (!editWindow) {
        char shown[textSize];
        shown[0] = 0;
        if (textToTextWithData)
            textToTextWithData(text, shown, userData);
        else if (textToText)
            textToText(text, shown);
        else
            copyText(shown, text);
        shown[textSize - 1] = 0;
        drawLabel(context, shown, nullptr);
    }
    setDirty(false);
}

void TextField::mouseDown(DrawContext* context, const Point&)
{
    if (!mouseEnabled() || !(DrawContext::mouseButtons() & mouseLeft))
        return;
    if (!root || root->getFocusView() == this)
        return;
    if ((style & styleDoubleClick) && !isDoubleClick())
        return;
    root->setFocusView(this);
    focusGained(context);
}

void TextField::focusLost(DrawContext* context)
{
    if (!editWindow || !root)
        return;
    RootView* rootView = root;
    char before[textSize];
    std::memcpy(before, text, textSize);
    readEditBox();
    // Closed before the focus view is cleared, so the nested call that clearing makes ends at
    // once, and before anyone is told, so a listener that redraws the field shows the new text.
    // A view that took the focus already gets it closed all the same.
    closeEditBox();
    if (rootView->getFocusView() == this)
        rootView->setFocusView(nullptr);

    if (std::strcmp(before, text) != 0 && listener) {
        if (context) {
            listener->valueChanged(context, this);
        } else {
            bool told = false;
            rootView->withWindowContext([&](DrawContext* made) {
                if (parent) {
                    Rect parentBounds;
                    made->setOrigin(parent->getBounds(parentBounds).topLeft());
                }
                told = true;
                listener->valueChanged(made, this);
            });
            if (!told)
                listener->valueChanged(nullptr, this);
        }
    }

    View* container = parent ? parent : rootView;
    container->notify(this, kMsgLooseFocus);
}

void TextField::setText(const char* newText)
{
    if (!newText)
        return;
    char copy[textSize];
    copyText(copy, newText);
    if (std::strcmp(copy, text) == 0)
        return;
    std::memcpy(text, copy, textSize);
    setDirty(true);
}

void TextField::getText(char* buffer) const
{
    if (buffer)
        std::memcpy(buffer, text, std::strlen(text) + 1);
}

void TextField::setTextToTextWithData(TextToTextWithData function, VstIntPtr data)
{
    textToTextWithData = function;
    userData = data;
}

void TextField::setTextToText(TextToText function) { textToText = function; }

}  // namespace kelp
