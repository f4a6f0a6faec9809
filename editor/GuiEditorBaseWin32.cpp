// GuiEditorBase's side on Win32: OLE for the editor's thread (the root view's file drops
// need it) and the paced idle step on the system tick counter, which dispatches a waiting
// paint and gives the host its idle.
#include "editor/GuiEditorBase.h"

#include <windows.h>

#include "host/EffectBase.h"

namespace kelp {

GuiEditorBase::GuiEditorBase(EffectBase* effect)
    : EditorBase(effect), rect{}, rootView(nullptr), nextIdleTime(::GetTickCount()), inIdle(false)
{
    // Drops onto the editor window need OLE on this thread.
    ::OleInitialize(nullptr);
}

GuiEditorBase::~GuiEditorBase() { ::OleUninitialize(); }

void GuiEditorBase::idleStep()
{
    std::uint32_t now = ::GetTickCount();
    if (now < nextIdleTime) {
        ::Sleep(4);
        now += 4;
        if (now < nextIdleTime - 50)
            return;
    }
    idle();
    MSG message;
    if (::PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        ::DispatchMessageA(&message);
    nextIdleTime = now + 100;
    inIdle = true;
    if (effect)
        effect->hostIdle();
    inIdle = false;
}

}  // namespace kelp
