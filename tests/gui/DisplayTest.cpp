// The value display's box, bevel, text and dirty rules; the digit displays' digits, and that
// drawing copies exactly those images from the strip.
#include <gtest/gtest.h>

#include <vector>

#include "gui/controls/DigitTextDisplay.h"
#include "gui/controls/ValueDisplay.h"
#include "tests/gui/ControlTestSupport.h"

using namespace kelp;

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 200);
constexpr Rect kBox{10, 10, 50, 30};
constexpr VstInt32 kDigitX[] = {2, 12, 22, 32};
constexpr VstInt32 kDigitY[] = {3, 3, 3, 3};

void draw(Control& control, const DrawTestSurface& surface)
{
    DrawContext context(nullptr, surface.dc(), nullptr);
    control.draw(&context);
}

bool bufferWasCleared = false;
void writesNothing(float, char* text) { bufferWasCleared = text[0] == 0; }
void writesData(float, char* text, VstIntPtr data)
{
    text[0] = char('0' + data);
    text[1] = 0;
}

std::vector<VstInt32> images(const DigitDisplay& display)
{
    VstInt32 shown[DigitDisplay::maxDigits];
    display.shownImages(shown);
    return std::vector<VstInt32>(shown, shown + display.getDigitCount());
}

}  // namespace

TEST(ValueDisplayTest, ShowsItsTextCentredWhiteOnABlackFramedBox)
{
    useTestModule();
    DrawTestSurface shown(60, 40, kBlue);
    DrawTestSurface expected(60, 40, kBlue);
    const auto label = [&](const char* text) {
        DrawContext context(nullptr, expected.dc(), nullptr);
        context.fillRect(kBox);  // the context starts with a black brush
        context.setPenColor(colorBlack);
        context.frameRect(kBox);
        context.selectFont(fontNormal);
        context.drawText(text, kBox, false, alignCenter);  // and white text
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                if (shown.pixel(x, y) != expected.pixel(x, y))
                    return false;
        return true;
    };
    ValueDisplay display(kBox, nullptr, 0);
    display.setValue(0.5f);
    draw(display, shown);
    EXPECT_TRUE(label("0.50"));
    EXPECT_NEAR(shown.extent(RGB(255, 255, 255)).left + shown.extent(RGB(255, 255, 255)).right, 60, 3);

    display.setValueToText(writesNothing);
    draw(display, shown);
    EXPECT_TRUE(bufferWasCleared);
    EXPECT_EQ(shown.count(RGB(255, 255, 255)), 0) << "an empty text still gets its box";
    display.setValueToTextWithData(writesData, 7);
    draw(display, shown);
    EXPECT_TRUE(label("7")) << "the function with data comes first";
}

TEST(ValueDisplayTest, ABevelDrawsTopAndLeftInOneColourRightAndBottomInTheOther)
{
    DrawTestSurface surface(60, 40, RGB(255, 255, 255));
    ValueDisplay display(kBox, nullptr, ValueDisplay::styleBevelOut | ValueDisplay::styleNoText);
    display.setBackColor(colorRed);
    display.setFrameColor(colorGreen);
    draw(display, surface);
    EXPECT_EQ(surface.pixel(10, 20), RGB(255, 0, 0));
    EXPECT_EQ(surface.pixel(50, 10), RGB(255, 0, 0)) << "the top line reaches the right edge";
    EXPECT_EQ(surface.pixel(51, 10), RGB(255, 255, 255));
    EXPECT_EQ(surface.pixel(50, 20), RGB(0, 255, 0));
    EXPECT_EQ(surface.pixel(30, 30), RGB(0, 255, 0));
}

TEST(ValueDisplayTest, OnlyVisibleChangesMakeItDirtyAndAHiddenOneNeverIs)
{
    ValueDisplay hidden(kBox, nullptr, ValueDisplay::styleNoDraw);
    EXPECT_FALSE(hidden.isDirty());
    ValueDisplay display(kBox, nullptr, 0);
    display.setDirty(false);
    display.setFontColor(Color{255, 255, 255, 9});
    display.setStyle(0);
    EXPECT_FALSE(display.isDirty()) << "same red, green, blue and style";
    display.setFontColor(colorYellow);
    EXPECT_TRUE(display.isDirty());
}

TEST(DigitDisplayTest, ShowsTheWholeNumberHeldInRangeOrItsTextOfDigitsAndSlashes)
{
    DigitTextDisplay display(Rect{}, nullptr, 0, 0, 3, kDigitX, kDigitY, 7, 9, nullptr);
    const std::vector<std::pair<float, std::vector<VstInt32>>> numbers{
        {42.7f, {0, 4, 2}}, {1500.0f, {9, 9, 9}}, {-3.0f, {0, 0, 0}}};
    for (const auto& [value, digits] : numbers) {
        display.setValue(value);
        EXPECT_EQ(images(display), digits) << value;
    }
    EXPECT_EQ(display.normalizedValue(), 0.0f);
    display.setValue(1500.0f);
    EXPECT_EQ(display.normalizedValue(), 1.0f);

    DigitTextDisplay four(Rect{}, nullptr, 0, 0, 4, kDigitX, kDigitY, 7, 9, nullptr);
    four.setText("1/16");
    EXPECT_EQ(images(four), (std::vector<VstInt32>{1, 10, 1, 6}));
    four.setText("01/8");
    EXPECT_EQ(images(four), (std::vector<VstInt32>{0, 1, 10, 8}));
    four.setText("7");
    EXPECT_EQ(images(four), (std::vector<VstInt32>{7, 0, 0, 0})) << "padded with 0 after the end";
    four.setValue(12.0f);
    EXPECT_EQ(images(four), (std::vector<VstInt32>{0, 0, 1, 2}));

    four.setMax(5.0f);  // no divisor is left for the lower digits
    EXPECT_EQ(images(four), (std::vector<VstInt32>{0, 0, 0, 0}));
    DigitDisplay cut(Rect{}, nullptr, 0, 0, 9, nullptr, nullptr, 7, 9, nullptr);
    EXPECT_EQ(cut.getMax(), 9999999.0f);
}

TEST(DigitDisplayTest, CopiesEachImageFromTheStripIntoItsDigitsRectangle)
{
    useTestModule();
    Picture* strip = new Picture(132);  // 11 images of 7 x 9: 0 to 9 and the slash
    DigitTextDisplay display(Rect{}, nullptr, 0, 407, 3, kDigitX, kDigitY, 7, 9, strip);
    strip->release();
    DrawTestSurface surface(40, 15);
    const auto shown = [&] {
        draw(display, surface);
        std::vector<int> frames;
        for (int i = 0; i < 3; ++i)
            frames.push_back(frameShown(surface, Rect::fromSize(kDigitX[i], kDigitY[i], 7, 9), strip, 9, 11));
        return frames;
    };
    EXPECT_EQ(shown(), (std::vector<int>{4, 0, 7}));
    display.setText("1/2");
    EXPECT_EQ(shown(), (std::vector<int>{1, 10, 2}));
}
