#include "gui/controls/TextField.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "editor/GuiEditorBase.h"
#include "gui/controls/ControlListener.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/GraphicsLibrary.h"
#include "host/ModuleInstance.h"

namespace {

constexpr int editMargin = 3;
constexpr int typedLimit = ValueDisplay::textSize - 1;

void copyText(char* to, const char* from) { std::snprintf(to, ValueDisplay::textSize, "%s", from ? from : ""); }

DWORD alignmentStyle(VstInt32 align)
{
    if (align == 1)
        return ES_CENTER;
    return align == 2 ? ES_RIGHT : ES_LEFT;
}

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

void TextField::focusGained(DrawContext* context)
{
    HWND rootWindow = root ? root->getOwnWindow() : nullptr;
    if (editWindow || !rootWindow)
        return;
    // Only the focus view is ever closed again, so an edit box is never opened without being it.
    if (root->getFocusView() != this)
        root->setFocusView(this);
    Rect box = bounds;
    if (context)
        box.offset(context->getOrigin().h, context->getOrigin().v);
    editWindow = openEditBox(box, rootWindow);
    if (!editWindow)
        return;
    SetWindowLongPtrA(editWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previousProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(editWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextField::editProcedure)));
    SetFocus(editWindow);
}

HWND TextField::openEditBox(const Rect& box, HWND parent)
{
    const DWORD windowStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | alignmentStyle(horizontalAlign);
    HWND window = CreateWindowExA(0, "EDIT", text, windowStyle, box.left, box.top, box.width() + 1, box.height() + 1,
                                  parent, nullptr, static_cast<HINSTANCE>(moduleInstance), nullptr);
    if (!window)
        return nullptr;
    const int height = std::max(1, std::min(box.height() - 2, DrawContext::fontDefaultSize(fontId)));
    editFont = GraphicsLibrary::created(CreateFontA(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                                    DEFAULT_PITCH | FF_DONTCARE, DrawContext::fontFace(fontId)));
    if (editFont)
        SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(editFont), TRUE);
    SendMessageA(window, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(editMargin, editMargin));
    SendMessageA(window, EM_SETSEL, 0, -1);
    SendMessageA(window, EM_LIMITTEXT, typedLimit, 0);
    return window;
}

LRESULT CALLBACK TextField::editProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* field = reinterpret_cast<TextField*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    const WNDPROC previous = field->previousProcedure;
    if (message == WM_GETDLGCODE)
        return DLGC_WANTALLKEYS;  // Return and Tab belong to the edit box
    // The listener may call a host that closes the editor: the field stays until we are done.
    EditorBase::Busy busy(field->editor());
    if (message == WM_KILLFOCUS || (message == WM_KEYDOWN && wParam == VK_RETURN)) {
        field->focusLost(nullptr);
        // Closing destroyed the edit box: there is nobody left to pass the message to.
        if (!IsWindow(window))
            return 0;
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

void TextField::focusLost(DrawContext* context)
{
    if (!editWindow || !root)
        return;
    RootView* rootView = root;
    char before[textSize];
    std::memcpy(before, text, textSize);
    if (GetWindowTextA(editWindow, text, textSize) == 0)
        text[0] = 0;
    text[textSize - 1] = 0;
    // Closed before the focus view is cleared, so the nested call that clearing makes ends at
    // once, and before anyone is told, so a listener that redraws the field shows the new text.
    // A view that took the focus already gets it closed all the same.
    closeEditBox();
    if (rootView->getFocusView() == this)
        rootView->setFocusView(nullptr);

    HWND window = rootView->getOwnWindow();
    HDC device = nullptr;
    std::optional<DrawContext> temporary;
    if (!context && window && (device = GetDC(window))) {
        temporary.emplace(rootView, device, window);
        if (parent) {
            Rect parentBounds;
            temporary->setOrigin(parent->getBounds(parentBounds).topLeft());
        }
        context = &*temporary;
    }
    if (std::strcmp(before, text) != 0 && listener)
        listener->valueChanged(context, this);
    temporary.reset();
    if (device)
        ReleaseDC(window, device);

    View* container = parent ? parent : rootView;
    container->notify(this, kMsgLooseFocus);
}

void TextField::closeEditBox()
{
    if (!editWindow)
        return;
    HWND window = editWindow;
    editWindow = nullptr;
    // The edit box's own procedure sees its destruction; the field is done with it.
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure));
    DestroyWindow(window);
    GraphicsLibrary::deleteObject(editFont);
    editFont = nullptr;
    GraphicsLibrary::deleteObject(editBrush);
    editBrush = nullptr;
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
