// The native tests' side of the toolkit's platform. A DrawContext whose surface is a
// DrawingLog records each call that reaches the device, in device coordinates (the origin
// added, as a device sees it), with the colour in force. Pictures take their sizes from a
// table the test fills. The input the views poll (buttons, cursor, double-click time) is what
// the test sets. There is no window: a root view draws outside a paint into DrawingLog::window,
// and native menus and edit boxes never open.
#pragma once

#include <string>
#include <vector>

#include "gui/draw/Geometry.h"

namespace kelp {

struct DrawCall {
    std::string op;       // "line", "polyline", "polygon", "fillRect", "arc", "pie", "ellipse",
                          // "pixel", "text", "picture", "keyed", "blended", "copy"
    std::vector<int> at;  // the points (h, v, ...) or the rectangle (left, top, right, bottom)
    Color color{};        // the pen for lines and arcs, the brush for fills, the text colour
    std::string text;     // what "text" drew
    int picture = 0;      // the resource id of what "picture", "keyed" and "blended" drew
};

class DrawingLog {
public:
    // The calls of one kind, in order.
    std::vector<DrawCall> of(const std::string& op) const;
    void clear() { calls.clear(); }

    std::vector<DrawCall> calls;
    Point position{};  // where the next line starts, as a device keeps it

    // What root views draw outside a paint (idle redraws, drawView, presses).
    static DrawingLog& window();
};

struct FakeInput {
    static inline int buttons = 0;  // what DrawContext::mouseButtons answers
    static inline Point cursor{};   // the screen position of the cursor
    static inline int doubleClickTime = 500;
    static void reset()
    {
        buttons = 0;
        cursor = Point{};
        doubleClickTime = 500;
    }
};

// Bitmap resources by number: a Picture of an id not defined here is not loaded.
struct FakePictures {
    static void define(int resourceId, int width, int height);
};

}  // namespace kelp
