// Shared by the group and control tests: which frame of a strip a surface shows, and real
// gestures on controls in a root view whose editor automates the effect's parameters the way
// the plug-in's editor does.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gui/controls/Control.h"
#include "gui/controls/ControlListener.h"
#include "gui/draw/Picture.h"
#include "tests/gui/DrawTestSurface.h"
#include "tests/gui/RootViewTestSupport.h"

using namespace kelp;

// The frame (each frameHeight high) the surface shows in area; -1 for none of them.
inline int frameShown(const DrawTestSurface& surface, const Rect& area, Picture* strip, int frameHeight, int frames)
{
    DrawTestSurface reference(area.width(), area.height());
    DrawContext context(nullptr, reference.dc(), nullptr);
    for (int frame = 0; frame < frames; ++frame) {
        strip->draw(&context, Rect{0, 0, area.width(), area.height()}, Point{0, frame * frameHeight});
        bool same = true;
        for (int y = 0; y < area.height() && same; ++y)
            for (int x = 0; x < area.width() && same; ++x)
                same = surface.pixel(area.left + x, area.top + y) == reference.pixel(x, y);
        if (same)
            return frame;
    }
    return -1;
}

class AutomatingEditor : public TestEditor, public ControlListener {
public:
    using TestEditor::TestEditor;
    void valueChanged(DrawContext* context, Control* control) override
    {
        heard.push_back(control->getValue());
        effect->automateParameter(control->getTag(), control->getValue());
        control->redrawIfDirty(context);
    }
    std::vector<float> heard;
};

class ControlGestureTest : public ::testing::Test {
protected:
    static constexpr Point hostCorner{560, 380};

    void SetUp() override
    {
        useTestModule();
        // One host window for all: destroying a top-level window costs Wine seconds.
        static HWND host = makeHostWindow(hostCorner.h, hostCorner.v, 300, 200, "BacktwisterGestureHost");
        ASSERT_NE(host, nullptr);
        SetWindowPos(host, HWND_TOP, hostCorner.h, hostCorner.v, 300, 200, 0);
        editor = new AutomatingEditor(&effect);
        root = new RootView(Rect{0, 0, 300, 200}, host, editor);
        editor->setRootView(root);
    }

    void TearDown() override
    {
        if (GetAsyncKeyState(VK_LBUTTON) < 0)
            startUnix("/usr/bin/xdotool mouseup 1");
        pumpUntil([] { return GetAsyncKeyState(VK_LBUTTON) >= 0; });
    }

    template <typename C>
    C* attach(C* control)
    {
        root->attachChild(control);
        return control;
    }

    // Paints the window, so the controls start clean.
    void showAll()
    {
        RedrawWindow(static_cast<HWND>(root->getOwnWindow()), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        pumpMessages(30);
    }

    // xdotool's words for moving the pointer to a point of the root's window.
    static std::string to(const Point& p) { return moveTo(hostCorner.h + p.h, hostCorner.v + p.v); }
    static std::string moveTo(int x, int y)
    {
        char words[48];
        std::snprintf(words, sizeof words, " mousemove %d %d ", x, y);
        return words;
    }

    // Runs the script while handling messages (a press handler tracking the button runs inside
    // that). Wine cannot wait for a Unix program: the script ends by parking the pointer where
    // no window is, at a new spot each time, and that marks its end.
    void perform(const std::string& script)
    {
        static int scripts = 0;
        const POINT parked{1010, 700 + scripts++ % 60};
        ASSERT_TRUE(startUnix("/usr/bin/xdotool " + script + moveTo(parked.x, parked.y))) << "xdotool is needed";
        POINT cursor{};
        bool down = false;
        // Generous: a loaded machine can hold xdotool or the X server back for seconds.
        const bool ended = pumpUntil(
            [&] {
                GetCursorPos(&cursor);
                down = GetAsyncKeyState(VK_LBUTTON) < 0;
                return cursor.x == parked.x && cursor.y == parked.y && !down;
            },
            20000);
        pumpMessages(30);
        ASSERT_TRUE(ended) << "xdotool " << script << ": the pointer is at " << cursor.x << "," << cursor.y
                           << (down ? " with the left button down" : "") << ", not parked at " << parked.x << ","
                           << parked.y;
    }

    void click(const Point& p) { perform(to(p) + "mousedown 1 sleep 0.3 mouseup 1"); }

    // Holds the left button down over p; the press reaches whatever lies there.
    void holdButton(const Point& p)
    {
        ASSERT_TRUE(startUnix("/usr/bin/xdotool" + to(p) + "mousedown 1")) << "xdotool is needed";
        ASSERT_TRUE(pumpUntil([] { return GetAsyncKeyState(VK_LBUTTON) < 0; }));
    }

    using Edits = std::vector<std::string>;

    // The edit calls the host received, in order: "begin 3", "automate 3 0.5", "end 3".
    Edits edits() const
    {
        Edits found;
        char line[64];
        for (const HostCall& call : recorder.calls) {
            if (call.opcode == audioMasterBeginEdit)
                std::snprintf(line, sizeof line, "begin %d", int(call.index));
            else if (call.opcode == audioMasterEndEdit)
                std::snprintf(line, sizeof line, "end %d", int(call.index));
            else if (call.opcode == audioMasterAutomate)
                std::snprintf(line, sizeof line, "automate %d %g", int(call.index), double(call.opt));
            else
                continue;
            found.emplace_back(line);
        }
        return found;
    }

    RecordingHost recorder;
    MinimalEffect effect{RecordingHost::callback};
    AutomatingEditor* editor = nullptr;  // deleted by the effect, the root view with it
    RootView* root = nullptr;
};
