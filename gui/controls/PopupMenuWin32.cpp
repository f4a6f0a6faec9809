// PopupMenu's native menu on user32: the entries become a tree of popup menus (separators,
// greyed and disabled entries, checks, column breaks, submenus), tracked with TrackPopupMenu
// at the box's corner. Without TPM_RETURNCMD the choice arrives as a WM_COMMAND posted to the
// root's window; a command carries 16 bits, so entries beyond id 65535 are left out. The menu
// ends (EndMenu) when the editor closes while it is open.
#include "gui/controls/PopupMenu.h"

#include <windows.h>

#include <cstring>

#include "gui/draw/DrawContext.h"

namespace kelp {

namespace {

    // Long menus get no column breaks of ours: the system fits them to the screen itself.
    constexpr VstInt32 longestColumnedMenu = 160;
    // A command message carries 16 bits of id; a larger one would arrive as another entry's.
    constexpr VstInt32 largestCommandId = 0xFFFF;

    bool isSeparator(const char* text) { return std::strcmp(text, "-") == 0; }
    bool hasKind(const char* text, const char* kind) { return std::strncmp(text, kind, 2) == 0; }

    HMENU menuOf(NativeObject menu) { return static_cast<HMENU>(menu); }

    // The menu is dismissed when the editor closes while it is open.
    class MenuLoop : public RootView::ModalLoop {
    public:
        using ModalLoop::ModalLoop;

    protected:
        void endLoop() override { ::EndMenu(); }
    };

}  // namespace

VstInt32 PopupMenu::chooseFromNativeMenu(DrawContext* context)
{
    HWND window = root ? static_cast<HWND>(root->getOwnWindow()) : nullptr;
    VstInt32 nextId = 0;
    if (!window || !buildMenu(nextId))
        return -1;
    NativeObject built = menuHandle;  // a view taking the focus while the menu is open makes us forget it
    const VstInt32 chosen = trackMenu(window, menuPosition(context, window));
    menuHandle = built;
    return chosen;
}

bool PopupMenu::buildMenu(VstInt32& nextId)
{
    menuHandle = ::CreatePopupMenu();
    if (!menuHandle)
        return false;
    idBase = nextId;
    nextId += entryCount;
    VstInt32 submenuIndex = 0;
    VstInt32 items = 0;
    for (VstInt32 k = 0; k < entryCount; ++k)
        items += appendEntry(k, submenuIndex, nextId, items);
    return true;
}

bool PopupMenu::appendEntry(VstInt32 k, VstInt32& submenuIndex, VstInt32& nextId, VstInt32 items)
{
    const char* text = entries[k];
    if (isSeparator(text))
        return ::AppendMenuA(menuOf(menuHandle), MF_SEPARATOR, 0, nullptr);
    UINT flags = MF_STRING;
    if (entryCount < longestColumnedMenu && itemsPerColumn > 0 && items > 0 && items % itemsPerColumn == 0)
        flags |= MF_MENUBREAK;
    if (!hasKind(text, "-M") && idBase + k > largestCommandId)
        return false;
    const UINT_PTR id = UINT_PTR(idBase + k);
    if (hasKind(text, "-G"))
        return ::AppendMenuA(menuOf(menuHandle), flags | MF_GRAYED, id, text + 2);
    if (hasKind(text, "-T"))
        return ::AppendMenuA(menuOf(menuHandle), flags | MF_DISABLED, id, text + 2);
    if (!hasKind(text, "-M"))
        return ::AppendMenuA(menuOf(menuHandle), flags | (showsCheck(k) ? MF_CHECKED : 0), id, text);
    PopupMenu* submenu = submenuIndex < submenuCount ? submenus[submenuIndex] : nullptr;
    ++submenuIndex;
    // A menu met twice in the tree already has its native menu; it is attached once only.
    if (!submenu || submenu->menuHandle || !submenu->buildMenu(nextId))
        return false;
    if (::AppendMenuA(menuOf(menuHandle), flags | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu->menuHandle), text + 2))
        return true;
    submenu->destroyMenus();
    return false;
}

Point PopupMenu::menuPosition(DrawContext* context, NativeWindow window) const
{
    Point position = context ? context->getScreenOrigin() : DrawContext::windowCorner(window);
    position.h += bounds.left;
    position.v += (style & styleOpenAbove) ? bounds.top : bounds.bottom;
    return position;
}

// Without TPM_RETURNCMD the choice arrives as a command message posted to the window.
VstInt32 PopupMenu::trackMenu(NativeWindow window, const Point& position)
{
    const UINT button = (lastButtons & mouseRight) ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON;
    MenuLoop loop(root);
    HWND owner = static_cast<HWND>(window);
    if (!::TrackPopupMenu(menuOf(menuHandle), TPM_LEFTALIGN | TPM_TOPALIGN | button, position.h, position.v, 0, owner,
                          nullptr) ||
        loop.ended())
        return -1;
    MSG message;
    if (!::PeekMessageA(&message, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE) ||
        message.wParam > WPARAM(largestCommandId))
        return -1;
    return VstInt32(message.wParam);
}

// Destroying a native menu destroys the submenus attached to it.
void PopupMenu::destroyMenus()
{
    if (menuHandle)
        ::DestroyMenu(menuOf(menuHandle));
    forgetMenus();
}

}  // namespace kelp
