// An option menu: a box showing its current entry's text that opens a native popup menu of all
// its entries when clicked. Submenus are popup menus themselves; entry kinds are prefixes of the
// entry text: "-" a separator, "-M" a submenu, "-G" a greyed entry, "-T" a title. Choosing an
// entry makes it current in the menu holding it, whose value becomes the entry's index, and this
// menu's listener is told which menu that was. PopupMenu.cpp holds the entries;
// PopupMenuWin32.cpp the native menu.
#pragma once

#include "gui/controls/ValueDisplay.h"
#include "gui/draw/RootView.h"

namespace kelp {

class PopupMenu : public ValueDisplay, public RootView::MenuItemPainterSource {
public:
    enum Style {
        styleMultipleCheck = 0x1,  // each entry has a check mark of its own, toggled when chosen
        styleOpenAbove = 0x200,    // the menu opens at the top edge of the box
        styleCheckCurrent = 0x400  // without styleMultipleCheck: the current entry is checked
    };

    static constexpr VstInt32 maxEntries = 1024;

    // pressedPicture, drawn as the box while the menu is open, is retained; any may be null.
    PopupMenu(const Rect& bounds, ControlListener* listener, VstInt32 tag, Picture* background, Picture* pressedPicture,
              VstInt32 style);
    ~PopupMenu() override;

    void draw(DrawContext* context) override;
    void mouseDown(DrawContext* context, const Point& where) override;
    void focusLost(DrawContext* context) override;
    // Opens the menu and tracks it until the user chooses or dismisses it.
    void focusGained(DrawContext* context) override;
    // An index in range makes that entry current (and toggles its check with
    // styleMultipleCheck); anything else changes nothing.
    void setValue(float newValue) override;

    // Texts are raw, prefixes and numbers included; buffers hold textSize bytes. A negative
    // index appends.
    virtual bool addEntry(const char* text, VstInt32 index = -1);
    // Appends a "-M" entry and retains the menu; refuses one that already holds this menu.
    virtual bool addSubmenu(PopupMenu* menu, const char* label);
    // Not raw: the index counts only entries that are neither separators nor titles.
    virtual VstInt32 getCurrent(char* buffer, bool raw) const;
    virtual bool setCurrent(VstInt32 index, bool raw);
    virtual bool getEntry(VstInt32 index, char* buffer) const;
    virtual bool setEntry(VstInt32 index, const char* text);
    // Submenus stay: the k-th "-M" entry left opens the k-th submenu.
    virtual bool removeEntry(VstInt32 index);
    virtual bool removeAllEntries();
    virtual VstInt32 getEntryCount() const;
    virtual VstInt32 findEntry(const char* text) const;
    virtual bool setCheck(VstInt32 index, bool state);
    virtual bool checkOnly(VstInt32 index);
    virtual bool isChecked(VstInt32 index) const;
    // 0 or less: a single column.
    virtual void setItemsPerColumn(VstInt32 count);
    virtual VstInt32 getItemsPerColumn() const;
    // Nothing sets a painter: the system draws every entry.
    RootView::MenuItemPainter* itemPainter() override;
    // 2, 3, 4: new entries are numbered "%1d ", "%02d ", "%03d "; anything else: not numbered.
    virtual void setPrefixMode(VstInt32 mode);

    // The menu that held the entry chosen last, with its value as index; null and -1 for none.
    PopupMenu* getLastMenu(VstInt32& index) const;
    VstInt32 getLastResult() const { return lastResult; }
    VstInt32 getLastButtons() const { return lastButtons; }

private:
    bool growEntries();
    // Digits of the number new entries get; 0 when they get none.
    VstInt32 numberDigits() const;
    // kind: "" or "-M", put before the number.
    bool insertEntry(const char* kind, const char* text, VstInt32 index);
    bool holds(const PopupMenu* menu) const;
    // Where a non-raw index lies among all entries; -1 when there is no such entry.
    VstInt32 selectablePosition(VstInt32 index) const;
    const char* shownText() const;
    void tellChoice(DrawContext* context, PopupMenu* owner, VstInt32 index);

    // Builds the native menu tree and tracks it; answers the chosen command id, or -1. The
    // tree stays built (idBase set) until destroyMenus.
    VstInt32 chooseFromNativeMenu(DrawContext* context);
    // Builds the native menu tree; ids run on through the submenus, depth first.
    bool buildMenu(VstInt32& nextId);
    // True when the entry became an item of the native menu.
    bool appendEntry(VstInt32 k, VstInt32& submenuIndex, VstInt32& nextId, VstInt32 items);
    bool showsCheck(VstInt32 k) const;
    // The screen point of the box's bottom left corner, or its top left one with styleOpenAbove.
    Point menuPosition(DrawContext* context, NativeWindow window) const;
    VstInt32 trackMenu(NativeWindow window, const Point& position);
    PopupMenu* ownerOf(VstInt32 id);
    void destroyMenus();
    void forgetMenus();

    NativeObject menuHandle = nullptr;
    char** entries = nullptr;
    PopupMenu** submenus = nullptr;
    unsigned char* checks = nullptr;
    VstInt32 entryCount = 0;
    VstInt32 submenuCount = 0;
    VstInt32 current = -1;
    Picture* pressedPicture;
    VstInt32 lastButtons = 4;
    VstInt32 itemsPerColumn = -1;
    VstInt32 entryCapacity = 0;
    VstInt32 submenuCapacity = 0;
    VstInt32 lastResult = -1;
    VstInt32 prefixMode = 0;
    PopupMenu* lastMenu = nullptr;
    VstInt32 idBase = -1;  // the first command id of this menu's entries while a tree is built
};

}  // namespace kelp
