// The controls' value logic without a window: knob angles and what a knob draws for them,
// switch positions, the popup menu's entries and box, the text field's text and conversions.
// Drawing is read from the recording backend: what each control asked of its context.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "gui/controls/FilmstripKnob.h"
#include "gui/controls/PictureStrip.h"
#include "gui/controls/PopupMenu.h"
#include "gui/controls/RockerSwitch.h"
#include "gui/controls/TextField.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/Picture.h"
#include "tests/toolkit/RecordingBackend.h"

using namespace kelp;

namespace {

constexpr float pi = std::numbers::pi_v<float>;

Point pointFor(Knob& knob, float value)
{
    knob.setValue(value);
    Point p;
    knob.valueToPoint(p);
    return p;
}

// What a control drew, as the recording backend saw it.
DrawingLog drawn(View& view)
{
    DrawingLog log;
    DrawContext context(nullptr, &log, nullptr);
    view.draw(&context);
    return log;
}

// The text a box shows; empty when it draws none.
std::string shownText(View& view)
{
    const std::vector<DrawCall> texts = drawn(view).of("text");
    return texts.empty() ? std::string() : texts.back().text;
}

}  // namespace

TEST(KnobMapping, DefaultSweepRunsClockwiseFromLowerLeftOverTheTopToLowerRight)
{
    Knob knob(Rect{10, 10, 50, 50}, nullptr, 0, nullptr, nullptr, Point{});
    EXPECT_EQ(knob.getInset(), 3);
    EXPECT_EQ(pointFor(knob, 0.5f), (Point{20, 3}));
    EXPECT_EQ(pointFor(knob, 0.0f), (Point{8, 32}));   // 225 degrees
    EXPECT_EQ(pointFor(knob, 1.0f), (Point{32, 32}));  // -45 degrees
    EXPECT_FLOAT_EQ(knob.pointToValue(Point{20, 0}), 0.5f);
    EXPECT_EQ(knob.pointToValue(Point{21, 39}), 1.0f) << "right half of the bottom gap";
    EXPECT_EQ(knob.pointToValue(Point{19, 39}), 0.0f) << "left half of the bottom gap";
    for (float value = 0.0f; value <= 1.0f; value += 0.125f)
        EXPECT_NEAR(knob.pointToValue(pointFor(knob, value)), value, 0.02f) << value;
}

TEST(KnobMapping, CounterClockwiseSweepFollowsTheRangeAsItWasWhenAnAngleWasSet)
{
    Knob knob(Rect{0, 0, 40, 40}, nullptr, 0, nullptr, nullptr, Point{});
    knob.setStartAngle(pi);  // from the left through the bottom to the right
    knob.setRangeAngle(pi);
    EXPECT_NEAR(knob.pointToValue(Point{20, 39}), 0.5f, 0.01f);
    EXPECT_EQ(knob.pointToValue(Point{19, 0}), 0.0f);
    EXPECT_EQ(knob.pointToValue(Point{21, 0}), 1.0f);
    EXPECT_EQ(pointFor(knob, 0.5f), (Point{20, 37}));

    knob.setMax(2.0f);
    EXPECT_NEAR(knob.pointToValue(Point{20, 39}), 0.5f, 0.01f);
    knob.setRangeAngle(pi);
    EXPECT_NEAR(knob.pointToValue(Point{20, 39}), 1.0f, 0.01f);
}

// Without a range or a sweep there is no angle for a value: the handle stays at the start
// and no point maps to a value outside the range.
TEST(KnobMapping, EmptyRangeOrSweepKeepsEverythingAtTheStart)
{
    Knob knob(Rect{0, 0, 40, 40}, nullptr, 0, nullptr, nullptr, Point{});
    knob.setMax(0.0f);
    knob.setRangeAngle(-pi);
    EXPECT_EQ(pointFor(knob, 0.0f), (Point{8, 32}));

    knob.setMax(1.0f);
    knob.setStartAngle(0.0f);
    knob.setRangeAngle(0.0f);
    EXPECT_EQ(pointFor(knob, 0.7f), (Point{37, 20}));
    EXPECT_EQ(knob.pointToValue(Point{40, 20}), 0.0f);
}

// Lines: tip to centre in the shadow colour, then both one pixel right and up in the handle
// colour. A picture: centred on the handle point, drawn keyed.
TEST(KnobDrawing, HandleIsALightLineOverItsShadowOrAPictureCentredOnTheHandlePoint)
{
    Knob lineKnob(Rect{10, 10, 50, 50}, nullptr, 0, nullptr, nullptr, Point{});
    lineKnob.setHandleColor(colorRed);
    lineKnob.setShadowColor(colorBlue);
    lineKnob.setValue(0.5f);
    std::vector<DrawCall> lines = drawn(lineKnob).of("line");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].at, (std::vector<int>{29, 13, 29, 30}));  // straight up from the centre
    EXPECT_EQ(lines[0].color, colorBlue);
    EXPECT_EQ(lines[1].at, (std::vector<int>{30, 12, 30, 29}));
    EXPECT_EQ(lines[1].color, colorRed);
    EXPECT_FALSE(lineKnob.isDirty());

    lineKnob.setValue(0.0f);  // 225 degrees: to the lower left
    lines = drawn(lineKnob).of("line");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].at, (std::vector<int>{17, 42, 29, 30}));

    FakePictures::define(900, 4, 4);
    auto* handle = new Picture(900);
    Knob pictureKnob(Rect{10, 10, 50, 50}, nullptr, 0, nullptr, handle, Point{});
    handle->release();
    EXPECT_EQ(pictureKnob.getInset(), 4);  // 2.5 + 4 / 2: the point is (20, 4)
    pictureKnob.setValue(0.5f);
    const std::vector<DrawCall> keyed = drawn(pictureKnob).of("keyed");
    ASSERT_EQ(keyed.size(), 1u);
    EXPECT_EQ(keyed[0].picture, 900);
    EXPECT_EQ(keyed[0].at, (std::vector<int>{28, 12, 32, 16, 0, 0}));
}

TEST(SwitchTest, PointerPositionsPickPositionsAndValuesTheNearestFrame)
{
    EXPECT_EQ(PictureStrip::positionValue(45, 20.0, 3), 1.0f);
    EXPECT_EQ(PictureStrip::positionValue(25, 20.0, 3), 0.5f);
    EXPECT_EQ(PictureStrip::positionValue(-30, 20.0, 3), 0.0f);
    EXPECT_EQ(PictureStrip::positionValue(500, 20.0, 3), 1.0f);
    EXPECT_EQ(PictureStrip::nearestFrame(0.5f, 9), 5);
    EXPECT_EQ(PictureStrip::nearestFrame(0.24f, 2), 0);

    RockerSwitch across(Rect{10, 10, 30, 20}, nullptr, 0, 10, nullptr, Point{}, RockerSwitch::styleLeftRight);
    EXPECT_EQ(across.valueAt(Point{20, 15}, 0.0f), -1.0f) << "the middle belongs to the first half";
    EXPECT_EQ(across.valueAt(Point{21, 20}, 0.0f), 1.0f);
    EXPECT_EQ(across.valueAt(Point{31, 15}, 0.5f), 0.5f) << "outside: the value at the press";
    RockerSwitch upDown(Rect{10, 10, 30, 20}, nullptr, 0, 10, nullptr, Point{}, 0);
    EXPECT_EQ(upDown.valueAt(Point{29, 14}, 0.0f), -1.0f);
}

namespace {

constexpr Rect kBox{20, 20, 120, 40};
using Texts = std::vector<std::string>;

PopupMenu* filled(PopupMenu* menu, std::initializer_list<const char*> texts)
{
    for (const char* text : texts)
        menu->addEntry(text);
    return menu;
}

Texts texts(const PopupMenu& menu)
{
    Texts all;
    char text[ValueDisplay::textSize];
    for (VstInt32 k = 0; menu.getEntry(k, text); ++k)
        all.emplace_back(text);
    return all;
}

VstInt32 current(const PopupMenu& menu) { return menu.getCurrent(nullptr, true); }

}  // namespace

TEST(PopupMenuEntries, InsertingNumbersAndKeepsCurrentAndChecksWithTheirEntriesRemovingToo)
{
    PopupMenu menu(kBox, nullptr, 0, nullptr, nullptr, 0);
    EXPECT_EQ(current(menu), -1);
    filled(&menu, {"A", "C"});
    EXPECT_EQ(current(menu), 0);
    menu.setCheck(1, true);
    menu.setCurrent(1, true);
    menu.addEntry("B", 1);
    menu.addEntry(nullptr, 99);
    EXPECT_EQ(texts(menu), (Texts{"A", "B", "C", ""}));
    EXPECT_EQ(current(menu), 2);
    EXPECT_TRUE(menu.isChecked(2));
    menu.setPrefixMode(3);
    menu.addEntry("Alpha");
    menu.setPrefixMode(4);
    menu.addEntry(std::string(300, 'x').c_str(), 0);
    EXPECT_EQ(texts(menu)[5], "05 Alpha");
    EXPECT_EQ(texts(menu)[0], "001 " + std::string(251, 'x')) << "cut to 255 characters";

    menu.removeEntry(0);
    EXPECT_TRUE(menu.removeEntry(1));
    EXPECT_FALSE(menu.removeEntry(4));
    EXPECT_EQ(texts(menu), (Texts{"A", "C", "", "05 Alpha"}));
    EXPECT_EQ(current(menu), 1);
    EXPECT_TRUE(menu.isChecked(1));
    EXPECT_EQ(menu.findEntry("Alpha"), -1);
    menu.setCurrent(0, true);
    menu.removeEntry(0);
    EXPECT_EQ(current(menu), 0) << "entries are left, so one of them is current";
}

TEST(PopupMenuEntries, NonRawIndicesCountNeitherSeparatorsNorTitles)
{
    PopupMenu menu(kBox, nullptr, 0, nullptr, nullptr, 0);
    filled(&menu, {"-TTitle", "A", "-", "B", "C"});
    ASSERT_TRUE(menu.setCurrent(2, false));
    char text[ValueDisplay::textSize];
    EXPECT_EQ(menu.getCurrent(text, false), 2);
    EXPECT_STREQ(text, "C");
    EXPECT_EQ(current(menu), 4);
    EXPECT_FALSE(menu.setCurrent(3, false)) << "only three entries count";
    EXPECT_FALSE(menu.setCurrent(2, true)) << "a separator";
    EXPECT_EQ(current(menu), 4);
}

TEST(PopupMenuEntries, SubmenusAndThePressedPictureAreHeldUntilReleasedAndTheTreeStaysFinite)
{
    FakePictures::define(911, 8, 8);
    Picture* picture = new Picture(911);
    auto* sub = new PopupMenu(kBox, nullptr, 0, nullptr, nullptr, 0);
    {
        PopupMenu menu(kBox, nullptr, 0, nullptr, picture, 0);
        EXPECT_EQ(picture->referenceCount(), 2);
        menu.setPrefixMode(2);
        EXPECT_TRUE(menu.addSubmenu(sub, "More"));
        EXPECT_EQ(texts(menu), Texts{"-M1 More"});
        EXPECT_FALSE(sub->addSubmenu(sub, "Self"));
        EXPECT_FALSE(sub->addSubmenu(&menu, "Loop"));
        menu.removeEntry(0);
        EXPECT_EQ(sub->referenceCount(), 2) << "removing its entry keeps the submenu";
        menu.removeAllEntries();
        EXPECT_EQ(sub->referenceCount(), 1);
        menu.addSubmenu(sub, "Again");
        while (menu.addEntry("x")) {}
        EXPECT_EQ(menu.getEntryCount(), PopupMenu::maxEntries);
        EXPECT_FALSE(menu.addSubmenu(sub, "Full"));
        EXPECT_EQ(sub->referenceCount(), 2);
    }
    EXPECT_EQ(sub->referenceCount(), 1);
    EXPECT_EQ(picture->referenceCount(), 1);
    sub->release();
    picture->release();
}

TEST(PopupMenuEntries, ValuesInRangeMakeTheEntryCurrentAndToggleItsCheckOthersChangeNothing)
{
    PopupMenu menu(kBox, nullptr, 0, nullptr, nullptr, PopupMenu::styleMultipleCheck);
    filled(&menu, {"A", "B", "C"});
    menu.setValue(1.7f);
    EXPECT_TRUE(menu.isChecked(1));
    menu.setValue(1.0f);
    EXPECT_FALSE(menu.isChecked(1));
    for (float outside : {3.0f, -1.0f, NAN})
        menu.setValue(outside);
    EXPECT_EQ(menu.getValue(), 1.0f);
    EXPECT_EQ(current(menu), 1);
    menu.setValue(0.0f);
    EXPECT_TRUE(menu.checkOnly(2) && menu.isChecked(2));
    EXPECT_FALSE(menu.isChecked(0) || menu.checkOnly(3));
    PopupMenu empty(kBox, nullptr, 0, nullptr, nullptr, PopupMenu::styleMultipleCheck);
    empty.setValue(-0.5f);
    EXPECT_EQ(empty.getValue(), 0.0f);
}

TEST(PopupMenuDrawing, TheBoxShowsTheCurrentTextWithoutItsNumber)
{
    PopupMenu menu(kBox, nullptr, 0, nullptr, nullptr, 0);
    EXPECT_EQ(shownText(menu), "") << "an empty box";
    menu.setPrefixMode(3);
    filled(&menu, {"A", "B", "C", "D", "Alpha"})->setCurrent(4, true);
    EXPECT_EQ(shownText(menu), "Alpha");
    menu.setEntry(4, "X");
    EXPECT_EQ(shownText(menu), "") << "nothing past a text shorter than the number";
}

namespace {

void upperCase(const char* text, char* shown)
{
    int i = 0;
    for (; text[i] && i < ValueDisplay::textSize - 1; ++i)
        shown[i] = char(std::toupper(static_cast<unsigned char>(text[i])));
    shown[i] = 0;
}

void withPrefix(const char* text, char* shown, VstIntPtr prefix)
{
    std::snprintf(shown, ValueDisplay::textSize, "%s%s", reinterpret_cast<const char*>(prefix), text);
}

std::string textOf(const TextField& field)
{
    char text[ValueDisplay::textSize];
    field.getText(text);
    return text;
}

}  // namespace

TEST(TextFieldText, ConstructionSettersAndConversions)
{
    TextField empty(Rect{0, 0, 60, 20}, nullptr, 0, nullptr, nullptr, 0);
    EXPECT_EQ(textOf(empty), "");

    const std::string tooLong(400, 'x');
    TextField cut(Rect{0, 0, 60, 20}, nullptr, 0, tooLong.c_str(), nullptr, 0);
    EXPECT_EQ(textOf(cut), std::string(255, 'x'));

    TextField field(Rect{0, 0, 60, 20}, nullptr, 0, "Tape", nullptr, 0);
    field.setDirty(false);
    field.setText(nullptr);
    field.setText("Tape");
    EXPECT_FALSE(field.isDirty()) << "the same text or none changes nothing";
    field.setText("Reel");
    EXPECT_TRUE(field.isDirty());
    EXPECT_EQ(textOf(field), "Reel");
    field.getText(nullptr);

    // Shown converted, stored as typed; the function with data wins over the plain one.
    field.setTextToText(upperCase);
    EXPECT_EQ(shownText(field), "REEL");
    EXPECT_EQ(textOf(field), "Reel");
    EXPECT_FALSE(field.isDirty());
    field.setTextToTextWithData(withPrefix, reinterpret_cast<VstIntPtr>(">"));
    EXPECT_EQ(shownText(field), ">Reel");
}
