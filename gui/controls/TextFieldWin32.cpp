// TextField's native edit box on user32: an "EDIT" child of the root's window laid over the
// field (one pixel larger), in the field's font at normal weight, with margins of 3, all text
// selected and a limit of 255 characters. Its procedure is replaced so that it
//   answers WM_GETDLGCODE with DLGC_WANTALLKEYS (Return and Tab belong to the box), and
//   ends editing on WM_KILLFOCUS and on Return.
// Quirk: ending destroys the box from inside its own procedure, so the message that ended it
// is not passed on to the dead window.
#include "gui/controls/TextField.h"

#include <windows.h>

#include <algorithm>

#include "editor/GuiEditorBase.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/GraphicsLibrary.h"
#include "host/ModuleInstance.h"

namespace kelp {

namespace {

    constexpr int editMargin = 3;
    constexpr int typedLimit = ValueDisplay::textSize - 1;

    DWORD alignmentStyle(VstInt32 align)
    {
        if (align == 1)
            return ES_CENTER;
        return align == 2 ? ES_RIGHT : ES_LEFT;
    }

}  // namespace

struct TextField::EditBox {
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* field = reinterpret_cast<TextField*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        const auto previous = reinterpret_cast<WNDPROC>(field->previousProcedure);
        if (message == WM_GETDLGCODE)
            return DLGC_WANTALLKEYS;  // Return and Tab belong to the edit box
        // The listener may call a host that closes the editor: the field stays until we are done.
        EditorBase::Busy busy(field->editor());
        if (message == WM_KILLFOCUS || (message == WM_KEYDOWN && wParam == VK_RETURN)) {
            try {
                field->focusLost(nullptr);
            } catch (...) {  // nothing may unwind into the system's message dispatch
            }
            // Closing destroyed the edit box: there is nobody left to pass the message to.
            if (!::IsWindow(window))
                return 0;
        }
        return ::CallWindowProcA(previous, window, message, wParam, lParam);
    }
};

void TextField::focusGained(DrawContext* context)
{
    NativeWindow rootWindow = root ? root->getOwnWindow() : nullptr;
    if (editWindow || !rootWindow)
        return;
    // Only the focus view is ever closed again, so an edit box is never opened without being it.
    if (root->getFocusView() != this)
        root->setFocusView(this);
    Rect box = bounds;
    if (context)
        box.offset(context->getOrigin().h, context->getOrigin().v);
    HWND window = static_cast<HWND>(openEditBox(box, rootWindow));
    editWindow = window;
    if (!window)
        return;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previousProcedure = reinterpret_cast<void*>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditBox::procedure)));
    ::SetFocus(window);
}

NativeWindow TextField::openEditBox(const Rect& box, NativeWindow parent)
{
    const DWORD windowStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | alignmentStyle(horizontalAlign);
    HWND window =
        ::CreateWindowExA(0, "EDIT", text, windowStyle, box.left, box.top, box.width() + 1, box.height() + 1,
                          static_cast<HWND>(parent), nullptr, static_cast<HINSTANCE>(moduleInstance), nullptr);
    if (!window)
        return nullptr;
    const int height = std::max(1, std::min(box.height() - 2, DrawContext::fontDefaultSize(fontId)));
    HFONT font = GraphicsLibrary::created(::CreateFontA(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                                        DEFAULT_PITCH | FF_DONTCARE, DrawContext::fontFace(fontId)));
    editFont = font;
    if (font)
        ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::SendMessageA(window, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(editMargin, editMargin));
    ::SendMessageA(window, EM_SETSEL, 0, -1);
    ::SendMessageA(window, EM_LIMITTEXT, typedLimit, 0);
    return window;
}

void TextField::readEditBox()
{
    if (::GetWindowTextA(static_cast<HWND>(editWindow), text, textSize) == 0)
        text[0] = 0;
    text[textSize - 1] = 0;
}

void TextField::closeEditBox()
{
    if (!editWindow)
        return;
    HWND window = static_cast<HWND>(editWindow);
    editWindow = nullptr;
    // The edit box's own procedure sees its destruction; the field is done with it.
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure));
    ::DestroyWindow(window);
    GraphicsLibrary::deleteObject(editFont);
    editFont = nullptr;
    GraphicsLibrary::deleteObject(editBrush);
    editBrush = nullptr;
}

}  // namespace kelp
