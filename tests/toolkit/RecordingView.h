// A view that records every call its container makes on it; window-free, for the native
// toolkit tests and the ones under Wine alike.
#pragma once

#include <string>
#include <vector>

#include "gui/controls/View.h"
#include "gui/draw/DrawContext.h"

using namespace kelp;

class RecordingView : public View {
public:
    explicit RecordingView(const Rect& bounds, int* destroyed = nullptr) : View(bounds), destroyed(destroyed) {}
    ~RecordingView() override
    {
        if (destroyed)
            ++*destroyed;
    }

    void draw(DrawContext* context) override
    {
        ++draws;
        View::draw(context);
    }
    void drawInRect(DrawContext* context, const Rect& updateRect) override
    {
        paintedAreas.push_back(updateRect);
        View::drawInRect(context, updateRect);
    }
    void mouseDown(DrawContext* context, const Point& where) override
    {
        presses.push_back(where);
        pressHadContext = context != nullptr;
        buttonsAtPress = DrawContext::mouseButtons();
    }
    VstInt32 keyDown(VstKeyCode&) override
    {
        ++keysSeen;
        return keyAnswer;
    }
    bool drop(char** items, VstInt32 count, VstInt32 kind, const Point& where) override
    {
        dropKind = kind;
        dropCount = count;
        dropWhere = where;
        droppedItems.clear();
        const VstInt32 strings = kind == 0 ? count : 1;
        for (VstInt32 i = 0; i < strings; ++i)
            droppedItems.emplace_back(items[i]);
        ++drops;
        return acceptsDrops;
    }
    bool wheel(DrawContext* context, const Point& where, float distance) override
    {
        wheelWhere = where;
        wheelDistance = distance;
        wheelHadContext = context != nullptr;
        return true;
    }
    void focusLost(DrawContext*) override { ++focusLosses; }
    bool addedTo(View* container) override
    {
        addedContainers.push_back(container);
        return true;
    }
    bool removedFrom(View* container) override
    {
        removedContainers.push_back(container);
        return true;
    }

    int* destroyed;
    int draws = 0;
    std::vector<Rect> paintedAreas;
    std::vector<Point> presses;
    bool pressHadContext = false;
    int buttonsAtPress = 0;
    VstInt32 keyAnswer = -1;
    int keysSeen = 0;
    bool acceptsDrops = true;
    int drops = 0;
    VstInt32 dropKind = -1;
    VstInt32 dropCount = -1;
    Point dropWhere{};
    std::vector<std::string> droppedItems;
    Point wheelWhere{};
    float wheelDistance = 0.0f;
    bool wheelHadContext = false;
    int focusLosses = 0;
    std::vector<View*> addedContainers;
    std::vector<View*> removedContainers;
};
