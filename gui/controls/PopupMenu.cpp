#include "gui/controls/PopupMenu.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gui/controls/ControlListener.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/Picture.h"

namespace kelp {

namespace {

    constexpr VstInt32 entrySlotsPerGrowth = 32;
    constexpr VstInt32 submenuSlotsPerGrowth = 10;

    bool isSeparator(const char* text) { return std::strcmp(text, "-") == 0; }
    bool hasKind(const char* text, const char* kind) { return std::strncmp(text, kind, 2) == 0; }
    bool isSelectable(const char* text) { return !isSeparator(text) && !hasKind(text, "-T"); }

    void copyText(char* buffer, const char* text)
    {
        std::snprintf(buffer, ValueDisplay::textSize, "%s", text ? text : "");
    }

}  // namespace

PopupMenu::PopupMenu(const Rect& bounds, ControlListener* listener, VstInt32 tag, Picture* background,
                     Picture* pressedPicture, VstInt32 style)
    : ValueDisplay(bounds, listener, tag, background, style), pressedPicture(pressedPicture)
{
    if (pressedPicture)
        pressedPicture->retain();
}

PopupMenu::~PopupMenu()
{
    PopupMenu::removeAllEntries();
    if (pressedPicture)
        pressedPicture->release();
}

// --- entries -----------------------------------------------------------------------------

bool PopupMenu::growEntries()
{
    if (entryCount < entryCapacity)
        return true;
    const VstInt32 grown = entryCapacity + entrySlotsPerGrowth;
    auto* moreEntries = static_cast<char**>(std::realloc(entries, sizeof(char*) * std::size_t(grown)));
    if (!moreEntries)
        return false;
    entries = moreEntries;
    auto* moreChecks = static_cast<unsigned char*>(std::realloc(checks, std::size_t(grown)));
    if (!moreChecks)
        return false;
    checks = moreChecks;
    std::memset(checks + entryCapacity, 0, entrySlotsPerGrowth);
    entryCapacity = grown;
    return true;
}

VstInt32 PopupMenu::numberDigits() const { return prefixMode >= 2 && prefixMode <= 4 ? prefixMode - 1 : 0; }

bool PopupMenu::insertEntry(const char* kind, const char* text, VstInt32 index)
{
    if (entryCount >= maxEntries || !growEntries())
        return false;
    char* buffer = static_cast<char*>(std::malloc(textSize));
    if (!buffer)
        return false;
    const VstInt32 position = index < 0 || index > entryCount ? entryCount : index;
    const char* label = text ? text : "";
    if (const VstInt32 digits = numberDigits())
        std::snprintf(buffer, textSize, "%s%0*d %s", kind, int(digits), int(position + 1), label);
    else
        std::snprintf(buffer, textSize, "%s%s", kind, label);
    // Check marks move with their entries.
    const std::size_t later = std::size_t(entryCount - position);
    std::memmove(entries + position + 1, entries + position, sizeof(char*) * later);
    std::memmove(checks + position + 1, checks + position, later);
    entries[position] = buffer;
    checks[position] = 0;
    if (current >= position)
        ++current;
    ++entryCount;
    if (current < 0)
        current = 0;
    return true;
}

bool PopupMenu::addEntry(const char* text, VstInt32 index) { return insertEntry("", text, index); }

bool PopupMenu::holds(const PopupMenu* menu) const
{
    if (menu == this)
        return true;
    for (VstInt32 s = 0; s < submenuCount; ++s)
        if (submenus[s]->holds(menu))
            return true;
    return false;
}

bool PopupMenu::addSubmenu(PopupMenu* menu, const char* label)
{
    // A menu holding this one would make the tree endless.
    if (!menu || !label || entryCount >= maxEntries || menu->holds(this))
        return false;
    if (submenuCount == submenuCapacity) {
        const VstInt32 grown = submenuCapacity + submenuSlotsPerGrowth;
        auto* more = static_cast<PopupMenu**>(std::realloc(submenus, sizeof(PopupMenu*) * std::size_t(grown)));
        if (!more)
            return false;
        submenus = more;
        submenuCapacity = grown;
    }
    if (!insertEntry("-M", label, -1))
        return false;
    submenus[submenuCount++] = menu;
    menu->retain();
    return true;
}

VstInt32 PopupMenu::getCurrent(char* buffer, bool raw) const
{
    if (current < 0)
        return -1;
    if (buffer)
        copyText(buffer, entries[current]);
    if (raw)
        return current;
    VstInt32 before = 0;
    for (VstInt32 k = 0; k < current; ++k)
        before += isSelectable(entries[k]);
    return before;
}

VstInt32 PopupMenu::selectablePosition(VstInt32 index) const
{
    for (VstInt32 k = 0; k < entryCount; ++k)
        if (isSelectable(entries[k]) && index-- == 0)
            return k;
    return -1;
}

bool PopupMenu::setCurrent(VstInt32 index, bool raw)
{
    if (index < 0 || index >= entryCount)
        return false;
    const VstInt32 position = raw ? index : selectablePosition(index);
    if (position < 0 || isSeparator(entries[position]))
        return false;
    current = position;
    setDirty(true);
    return true;
}

bool PopupMenu::getEntry(VstInt32 index, char* buffer) const
{
    if (index < 0 || index >= entryCount || !buffer)
        return false;
    copyText(buffer, entries[index]);
    return true;
}

bool PopupMenu::setEntry(VstInt32 index, const char* text)
{
    if (index < 0 || index >= entryCount)
        return false;
    copyText(entries[index], text);
    if (index == current)
        setDirty(true);
    return true;
}

bool PopupMenu::removeEntry(VstInt32 index)
{
    if (index < 0 || index >= entryCount)
        return false;
    std::free(entries[index]);
    const std::size_t later = std::size_t(entryCount - index - 1);
    std::memmove(entries + index, entries + index + 1, sizeof(char*) * later);
    std::memmove(checks + index, checks + index + 1, later);
    checks[--entryCount] = 0;
    if (current >= index)
        --current;
    // Removing the first entry while it is current must not leave the others without one.
    current = entryCount == 0 ? -1 : (current < 0 ? 0 : current);
    setDirty(true);
    return true;
}

bool PopupMenu::removeAllEntries()
{
    for (VstInt32 k = 0; k < entryCount; ++k)
        std::free(entries[k]);
    std::free(entries);
    std::free(checks);
    entries = nullptr;
    checks = nullptr;
    entryCount = 0;
    entryCapacity = 0;
    for (VstInt32 s = 0; s < submenuCount; ++s)
        submenus[s]->release();
    std::free(submenus);
    submenus = nullptr;
    submenuCount = 0;
    submenuCapacity = 0;
    current = -1;
    if (lastMenu != this)
        lastMenu = nullptr;  // it may have gone with its last reference
    setDirty(true);
    return true;
}

VstInt32 PopupMenu::getEntryCount() const { return entryCount; }

VstInt32 PopupMenu::findEntry(const char* text) const
{
    if (!text)
        return -1;
    for (VstInt32 k = 0; k < entryCount; ++k)
        if (std::strcmp(entries[k], text) == 0)
            return k;
    return -1;
}

bool PopupMenu::setCheck(VstInt32 index, bool state)
{
    if (index < 0 || index >= entryCount)
        return false;
    checks[index] = state ? 1 : 0;
    return true;
}

bool PopupMenu::checkOnly(VstInt32 index)
{
    if (index < 0 || index >= entryCount)
        return false;
    std::memset(checks, 0, std::size_t(entryCount));
    checks[index] = 1;
    return true;
}

bool PopupMenu::isChecked(VstInt32 index) const { return index >= 0 && index < entryCount && checks[index]; }

void PopupMenu::setItemsPerColumn(VstInt32 count) { itemsPerColumn = count; }

VstInt32 PopupMenu::getItemsPerColumn() const { return itemsPerColumn; }

RootView::MenuItemPainter* PopupMenu::itemPainter() { return nullptr; }

void PopupMenu::setPrefixMode(VstInt32 mode) { prefixMode = mode; }

PopupMenu* PopupMenu::getLastMenu(VstInt32& index) const
{
    index = lastMenu ? VstInt32(lastMenu->getValue()) : -1;
    return lastMenu;
}

void PopupMenu::setValue(float newValue)
{
    // Truncated toward zero like the index it stands for; NaN fails the test.
    if (!(newValue > -1.0f && newValue < float(maxEntries)))
        return;
    const VstInt32 index = VstInt32(newValue);
    if (index >= entryCount)
        return;
    current = index;
    if (style & styleMultipleCheck)
        checks[index] = !checks[index];
    ValueDisplay::setValue(newValue);
    setDirty(true);
}

// --- the box -----------------------------------------------------------------------------

const char* PopupMenu::shownText() const
{
    if (current < 0)
        return nullptr;
    const char* text = entries[current];
    if (numberDigits() == 0)
        return text;
    // A text set after numbering may be shorter than the number.
    const std::size_t length = std::strlen(text);
    return text + (length < std::size_t(prefixMode) ? length : std::size_t(prefixMode));
}

void PopupMenu::draw(DrawContext* context) { drawLabel(context, shownText(), nullptr); }

void PopupMenu::mouseDown(DrawContext* context, const Point&)
{
    if (!mouseEnabled() || !root || !context)
        return;
    lastButtons = DrawContext::mouseButtons();
    if (!(lastButtons & (mouseLeft | mouseRight)))
        return;
    if (pressedPicture)
        drawLabel(context, current >= 0 ? entries[current] : nullptr, pressedPicture);
    root->setFocusView(this);
    focusGained(context);
}

void PopupMenu::focusLost(DrawContext*) { menuHandle = nullptr; }

void PopupMenu::focusGained(DrawContext* context)
{
    lastMenu = nullptr;
    lastResult = chooseFromNativeMenu(context);
    PopupMenu* owner = lastResult >= 0 ? ownerOf(lastResult) : nullptr;
    const VstInt32 index = owner ? lastResult - owner->idBase : -1;
    destroyMenus();
    if (root && root->getFocusView() == this)
        root->setFocusView(nullptr);
    if (pressedPicture)
        setDirty(true);
    if (!owner)
        return;
    if (context) {
        tellChoice(context, owner, index);
        return;
    }
    bool told = false;
    root->withWindowContext([&](DrawContext* made) {
        told = true;
        tellChoice(made, owner, index);
    });
    if (!told)
        tellChoice(nullptr, owner, index);
}

void PopupMenu::tellChoice(DrawContext* context, PopupMenu* owner, VstInt32 index)
{
    lastMenu = owner;
    owner->setValue(float(index));
    if (listener)
        listener->valueChanged(context, owner);
}

bool PopupMenu::showsCheck(VstInt32 k) const
{
    if (style & styleMultipleCheck)
        return checks[k] != 0;
    return (style & styleCheckCurrent) && k == current;
}

PopupMenu* PopupMenu::ownerOf(VstInt32 id)
{
    if (idBase >= 0 && id >= idBase && id < idBase + entryCount)
        return this;
    for (VstInt32 s = 0; s < submenuCount; ++s)
        if (PopupMenu* owner = submenus[s]->ownerOf(id))
            return owner;
    return nullptr;
}

void PopupMenu::forgetMenus()
{
    menuHandle = nullptr;
    idBase = -1;
    for (VstInt32 s = 0; s < submenuCount; ++s)
        submenus[s]->forgetMenus();
}

}  // namespace kelp
