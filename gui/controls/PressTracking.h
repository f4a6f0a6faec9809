// The press gesture shared by the switches and buttons that follow the pointer while a button
// is held, and the listener notifications they send.
#pragma once

#include "gui/controls/Control.h"
#include "gui/controls/ControlListener.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/RootView.h"

namespace kelp {

namespace PressTracking {

    inline void tell(ControlListener* listener, DrawContext* context, Control* control)
    {
        if (listener)
            listener->valueChanged(context, control);
    }

    // Only a value not yet drawn is news to the listener.
    inline void tellIfDirty(ControlListener* listener, DrawContext* context, Control* control)
    {
        if (control->isDirty())
            tell(listener, context, control);
    }

    // Brackets the gesture with the host's begin and end of an edit of the control's parameter.
    // pass(where) runs at the press position, then again at each cursor position read while
    // holding(buttons) says the press goes on and the window is open; every pass ends with an
    // idle step, so the host keeps running and the control is drawn.
    template <typename Pass, typename Holding>
    void track(Control& control, DrawContext* context, Point where, Pass pass, Holding holding)
    {
        RootView* root = control.getRoot();
        if (root)
            root->beginEdit(control.getTag());
        do {
            pass(where);
            if (context)
                context->cursorPosition(where);
            control.idleNow();
        } while (holding(DrawContext::mouseButtons()) && control.inOpenWindow());
        if (root)
            root->endEdit(control.getTag());
    }

}  // namespace PressTracking

}  // namespace kelp
