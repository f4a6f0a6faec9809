// DrawContext, Picture and OffscreenContext for the native tests: every drawing operation is
// recorded into the DrawingLog that stands for the device. See RecordingBackend.h.
#include <cstring>
#include <map>
#include <utility>

#include "gui/draw/DrawContext.h"
#include "gui/draw/OffscreenContext.h"
#include "gui/draw/Picture.h"
#include "tests/toolkit/RecordingBackend.h"

namespace kelp {

namespace {

    std::map<int, std::pair<int, int>>& pictureSizes()
    {
        static std::map<int, std::pair<int, int>> sizes;
        return sizes;
    }

    DrawingLog* logOf(NativeSurface surface) { return static_cast<DrawingLog*>(surface); }

    void record(NativeSurface surface, DrawCall call)
    {
        if (DrawingLog* log = logOf(surface))
            log->calls.push_back(std::move(call));
    }

    std::vector<int> rectangle(const Rect& r, const Point& origin)
    {
        return {r.left + origin.h, r.top + origin.v, r.right + origin.h, r.bottom + origin.v};
    }

    std::vector<int> points(const Point* list, int count, const Point& origin)
    {
        std::vector<int> at;
        for (int i = 0; list && i < count; ++i) {
            at.push_back(list[i].h + origin.h);
            at.push_back(list[i].v + origin.v);
        }
        return at;
    }

    void recordPicture(const char* op, int id, DrawContext* context, const Rect& r, Point offset)
    {
        std::vector<int> at = rectangle(r, context->getOrigin());
        at.push_back(offset.h);
        at.push_back(offset.v);
        record(context->getDeviceContext(), DrawCall{op, at, {}, {}, id});
    }

}  // namespace

std::vector<DrawCall> DrawingLog::of(const std::string& op) const
{
    std::vector<DrawCall> found;
    for (const DrawCall& call : calls)
        if (call.op == op)
            found.push_back(call);
    return found;
}

DrawingLog& DrawingLog::window()
{
    static DrawingLog log;
    return log;
}

void FakePictures::define(int resourceId, int width, int height) { pictureSizes()[resourceId] = {width, height}; }

// --- DrawContext ---------------------------------------------------------------------------

DrawContext::DrawContext(RootView* root, NativeSurface deviceContext, NativeWindow window)
    : deviceContext(deviceContext), window(window), root(root)
{
    clipRect = rootBounds();
    screenOrigin = windowCorner(window);
}

DrawContext::~DrawContext() = default;

void DrawContext::moveTo(const Point& p)
{
    if (DrawingLog* log = logOf(deviceContext))
        log->position = p + origin;
}

void DrawContext::lineTo(const Point& p)
{
    DrawingLog* log = logOf(deviceContext);
    if (log == nullptr)
        return;
    const Point to = p + origin;
    log->calls.push_back(DrawCall{"line", {log->position.h, log->position.v, to.h, to.v}, penColor, {}, 0});
    log->position = to;
}

void DrawContext::drawPolyline(const Point* list, int count)
{
    record(deviceContext, DrawCall{"polyline", points(list, count, origin), penColor, {}, 0});
}

void DrawContext::fillPolygon(const Point* list, int count)
{
    record(deviceContext, DrawCall{"polygon", points(list, count, origin), brushColor, {}, 0});
}

void DrawContext::fillRect(const Rect& r)
{
    record(deviceContext, DrawCall{"fillRect", rectangle(r, origin), brushColor, {}, 0});
}

void DrawContext::frameArc(const Rect& r, const Point& start, const Point& end)
{
    std::vector<int> at = rectangle(r, origin);
    for (const Point& p : {start + origin, end + origin}) {
        at.push_back(p.h);
        at.push_back(p.v);
    }
    record(deviceContext, DrawCall{"arc", at, penColor, {}, 0});
}

void DrawContext::fillPie(const Rect& r, const Point& start, const Point& end)
{
    std::vector<int> at = rectangle(r, origin);
    for (const Point& p : {start + origin, end + origin}) {
        at.push_back(p.h);
        at.push_back(p.v);
    }
    record(deviceContext, DrawCall{"pie", at, brushColor, {}, 0});
}

void DrawContext::fillEllipse(const Rect& r)
{
    record(deviceContext, DrawCall{"ellipse", rectangle(r, origin), brushColor, {}, 0});
}

void DrawContext::setPixel(const Point& p, const Color& c)
{
    record(deviceContext, DrawCall{"pixel", {p.h + origin.h, p.v + origin.v}, c, {}, 0});
}

Color DrawContext::getPixel(const Point&) { return colorBlack; }

void DrawContext::floodFill(const Point& p)
{
    record(deviceContext, DrawCall{"flood", {p.h + origin.h, p.v + origin.v}, brushColor, {}, 0});
}

void DrawContext::copyFrom(DrawContext* source, const Rect& r, const Point& dest)
{
    if (source == nullptr)
        return;
    record(deviceContext, DrawCall{"copy", {dest.h, dest.v, dest.h + r.width(), dest.v + r.height()}, {}, {}, 0});
}

void DrawContext::applyPen() {}
void DrawContext::applyMixMode() {}
void DrawContext::applyBrush() {}
void DrawContext::applyTextColor() {}
void DrawContext::applyFont(int) {}
void DrawContext::applyClip() {}

// Six pixels a character: enough for the layouts that measure text.
int DrawContext::textWidth(const char* text) { return text ? 6 * int(std::strlen(text)) : 0; }

void DrawContext::drawText(const char* text, const Rect& r, bool, int)
{
    if (text == nullptr)
        return;
    record(deviceContext, DrawCall{"text", rectangle(r, origin), textColor, text, 0});
}

void DrawContext::setMouseButtonsSwapped(bool) {}

int DrawContext::mouseButtons() { return FakeInput::buttons; }

int DrawContext::doubleClickTime() { return FakeInput::doubleClickTime; }

Point DrawContext::windowCorner(NativeWindow) { return Point{}; }

void DrawContext::cursorPosition(Point& where) const { where = FakeInput::cursor - screenOrigin; }

bool DrawContext::detectDoubleClick() { return false; }

// --- Picture -------------------------------------------------------------------------------

Picture::Picture(int resourceId) : resourceId(resourceId)
{
    const auto size = pictureSizes().find(resourceId & 0xFFFF);
    if (size == pictureSizes().end())
        return;
    width = size->second.first;
    height = size->second.second;
    bitmap = this;  // any non-null handle: loaded
}

Picture::Picture(void*, int width, int height) : width(width), height(height), bitmap(this) {}

Picture::~Picture() = default;

void Picture::draw(DrawContext* context, const Rect& r, Point offset)
{
    if (bitmap && context)
        recordPicture("picture", resourceId, context, r, offset);
}

void Picture::drawKeyed(DrawContext* context, const Rect& r, Point offset)
{
    if (bitmap && context)
        recordPicture("keyed", resourceId, context, r, offset);
}

void Picture::drawBlended(DrawContext* context, const Rect& r, Point offset, int)
{
    if (bitmap && context)
        recordPicture("blended", resourceId, context, r, offset);
}

void Picture::buildMask(DrawContext*, const Point&) { maskBitmap = this; }

// --- OffscreenContext: a log of its own, copied as one call ----------------------------------

OffscreenContext::OffscreenContext(DrawContext* source, Picture* picture, bool)
    : DrawContext(source != nullptr ? source->getRoot() : nullptr, new DrawingLog, nullptr), backgroundPicture(picture)
{
    if (picture != nullptr) {
        width = picture->getWidth();
        height = picture->getHeight();
        picture->draw(this, Rect{0, 0, width, height}, Point{});
    }
    setClipRect(Rect{0, 0, width, height});
}

OffscreenContext::OffscreenContext(RootView* root, int width, int height, const Color& background)
    : DrawContext(root, new DrawingLog, nullptr), height(height), width(width), ownsBitmap(true),
      backgroundColor(background)
{
    setClipRect(Rect{0, 0, width, height});
}

OffscreenContext::~OffscreenContext() { delete logOf(getDeviceContext()); }

void OffscreenContext::selectSurface() {}

void OffscreenContext::copyTo(DrawContext* destination, const Rect& r, const Point& offset)
{
    if (destination == nullptr)
        return;
    std::vector<int> at = rectangle(r, destination->getOrigin());
    at.push_back(offset.h);
    at.push_back(offset.v);
    record(destination->getDeviceContext(), DrawCall{"copy", at, {}, {}, 0});
}

}  // namespace kelp
