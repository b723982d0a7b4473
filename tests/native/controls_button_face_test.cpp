#include "controls/button_face.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace velmaro::controls {
namespace {

// Records every call as a line of text; text is measured as 7 px per character and
// 13 px high, like a small proportional font.
class RecordingCanvas : public FaceCanvas {
  public:
    std::vector<std::string> calls;
    ColorValue font_color = 0x123456;

    void set_brush_color(ColorValue c) override { calls.push_back("brush " + hex(c)); }
    void fill_rect(const FaceRect& r) override { calls.push_back("fill " + rect(r)); }
    void frame_rect(const FaceRect& r) override { calls.push_back("frame " + rect(r)); }
    void set_font_color(ColorValue c) override {
        font_color = c;
        calls.push_back("font " + hex(c));
    }
    int text_width(const std::string& s) override { return 7 * static_cast<int>(s.size()); }
    int text_height(const std::string&) override { return 13; }
    void text_out(int x, int y, const std::string& s) override {
        calls.push_back("text " + std::to_string(x) + "," + std::to_string(y) + " " + s + " in " +
                        hex(font_color));
    }

  private:
    static std::string hex(ColorValue c) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(c));
        return buf;
    }
    static std::string rect(const FaceRect& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    }
};

const ButtonColors kColors{
    .face = 0x8000000F, .font = 0x808080, .over = 0xA4B984, .over_caption = 0xFFFFFF, .down = 0x00FF00};

TEST(ButtonFace, CaptionPositionForEachAlignmentAndFace) {
    // 105 x 20 button, caption 40 x 13.
    struct Case {
        TAlignment alignment;
        ButtonFace face;
        FacePoint expected;
    };
    const Case cases[] = {
        {taLeftJustify, ButtonFace::normal, {5, 4}},  {taLeftJustify, ButtonFace::hover, {5, 4}},
        {taLeftJustify, ButtonFace::pressed, {6, 5}}, {taRightJustify, ButtonFace::normal, {59, 4}},
        {taRightJustify, ButtonFace::hover, {59, 4}}, {taRightJustify, ButtonFace::pressed, {58, 5}},
        {taCenter, ButtonFace::normal, {32, 4}},      {taCenter, ButtonFace::hover, {32, 4}},
        {taCenter, ButtonFace::pressed, {33, 5}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(caption_position(c.alignment, c.face, 105, 20, 40, 13), c.expected)
            << "alignment " << int(c.alignment) << " face " << int(c.face);
}

TEST(ButtonFace, CaptionWiderThanTheButtonGoesNegative) {
    // Odd sizes check the truncating halves: 41 div 2 = 20, 55 div 2 = 27.
    EXPECT_EQ(caption_position(taCenter, ButtonFace::normal, 41, 17, 55, 13), (FacePoint{-7, 2}));
    EXPECT_EQ(caption_position(taRightJustify, ButtonFace::normal, 41, 17, 55, 13), (FacePoint{-20, 2}));
    EXPECT_EQ(caption_position(taRightJustify, ButtonFace::pressed, 41, 17, 55, 13), (FacePoint{-21, 3}));
    // Text taller than the button: Y negative too.
    EXPECT_EQ(caption_position(taLeftJustify, ButtonFace::normal, 41, 5, 10, 13), (FacePoint{5, -4}));
}

TEST(ButtonFace, BorderOutlinesGrowInward) {
    EXPECT_TRUE(border_outlines(105, 20, 0).empty());
    EXPECT_TRUE(border_outlines(105, 20, -3).empty());
    EXPECT_EQ(border_outlines(105, 20, 1), (std::vector<FaceRect>{{0, 0, 105, 20}}));
    EXPECT_EQ(border_outlines(105, 20, 2), (std::vector<FaceRect>{{0, 0, 105, 20}, {1, 1, 104, 19}}));
}

TEST(ButtonFace, DeepBordersStopAtTheMiddle) {
    // 9 px high: outlines at insets 0..4 are non-empty, the one at inset 4 a single row.
    const auto outlines = border_outlines(30, 9, 100);
    ASSERT_EQ(outlines.size(), 5u);
    EXPECT_EQ(outlines.back(), (FaceRect{4, 4, 26, 5}));
    EXPECT_EQ(border_outlines(30, 8, 100).size(), 4u);
    EXPECT_EQ(border_outlines(30, 8, 2147483647).size(), 4u);
    EXPECT_TRUE(border_outlines(0, 0, 5).empty());
}

TEST(ButtonFace, FaceLooks) {
    const FaceLook normal = face_look(ButtonFace::normal, kColors);
    EXPECT_EQ(normal.fill, kColors.face);
    EXPECT_EQ(normal.caption, kColors.font);
    EXPECT_FALSE(normal.shifted);
    const FaceLook hover = face_look(ButtonFace::hover, kColors);
    EXPECT_EQ(hover.fill, kColors.over);
    EXPECT_EQ(hover.caption, kColors.over_caption);
    EXPECT_FALSE(hover.shifted);
    const FaceLook pressed = face_look(ButtonFace::pressed, kColors);
    EXPECT_EQ(pressed.fill, kColors.down);
    EXPECT_FALSE(pressed.caption.has_value());
    EXPECT_TRUE(pressed.shifted);
}

TEST(ButtonFace, DrawsFillCaptionThenFrame) {
    RecordingCanvas canvas;
    const FaceLayout layout{.width = 41,
                            .height = 17,
                            .caption = "  >>",
                            .alignment = taLeftJustify,
                            .border_width = 2,
                            .border_color = 0x808080};
    draw_face(canvas, layout, ButtonFace::hover, kColors);
    const std::vector<std::string> expected = {
        "brush A4B984", "fill 1,1,40,16",  "font FFFFFF",     "text 5,2   >> in FFFFFF",
        "brush 808080", "frame 0,0,41,17", "frame 1,1,40,16",
    };
    EXPECT_EQ(canvas.calls, expected);
}

TEST(ButtonFace, ScaledMetricsMoveRingCaptionAndPress) {
    // The 41 x 17 ">>" button at 150 %: 62 x 26, ring 2, insets 8 and 9, press by 2, and
    // a one-pixel design border drawn as two outlines.
    const FaceMetrics at150{.ring = 2, .margin_left = 8, .margin_right = 9, .press_shift = 2};
    EXPECT_EQ(face_fill_rect(62, 26, at150), (FaceRect{2, 2, 60, 24}));
    EXPECT_EQ(caption_position(taLeftJustify, ButtonFace::pressed, 62, 26, 28, 13, at150),
              (FacePoint{10, 9}));
    EXPECT_EQ(caption_position(taRightJustify, ButtonFace::pressed, 62, 26, 28, 13, at150),
              (FacePoint{23, 9}));
    EXPECT_EQ(caption_position(taCenter, ButtonFace::hover, 62, 26, 28, 13, at150), (FacePoint{17, 7}));
    RecordingCanvas canvas;
    const FaceLayout layout{.width = 62,
                            .height = 26,
                            .caption = "  >>",
                            .alignment = taLeftJustify,
                            .border_width = 2,
                            .border_color = 0x808080,
                            .metrics = at150};
    draw_face(canvas, layout, ButtonFace::normal, kColors);
    const std::vector<std::string> expected = {
        "brush 8000000F", "fill 2,2,60,24",  "font 808080",     "text 8,7   >> in 808080",
        "brush 808080",   "frame 0,0,62,26", "frame 1,1,61,25",
    };
    EXPECT_EQ(canvas.calls, expected);
}

TEST(ButtonFace, PressedFaceKeepsTheLastCaptionColour) {
    RecordingCanvas canvas;
    const FaceLayout layout{.width = 185,
                            .height = 17,
                            .caption = "Close",
                            .alignment = taCenter,
                            .border_width = 1,
                            .border_color = 0x808080};
    draw_face(canvas, layout, ButtonFace::hover, kColors);
    canvas.calls.clear();
    draw_face(canvas, layout, ButtonFace::pressed, kColors);
    // No font colour call: the caption stays in the hover caption colour.
    const std::vector<std::string> after_hover = {
        "brush 00FF00", "fill 1,1,184,16", "text 76,3 Close in FFFFFF", "brush 808080", "frame 0,0,185,17",
    };
    EXPECT_EQ(canvas.calls, after_hover);

    draw_face(canvas, layout, ButtonFace::normal, kColors);
    canvas.calls.clear();
    draw_face(canvas, layout, ButtonFace::pressed, kColors);
    EXPECT_EQ(canvas.calls[2], "text 76,3 Close in 808080");
}

TEST(ButtonColorState, DisableAndEnableRestoreTheColour) {
    ButtonColorState state(0x8000000F);
    state.enable(); // a fresh button enabled again keeps its colour
    EXPECT_TRUE(state.enabled());
    EXPECT_EQ(state.face(), 0x8000000Fu);

    state.set_color(0x00FF00);
    state.disable(0xC0C0C0);
    EXPECT_FALSE(state.enabled());
    EXPECT_EQ(state.face(), 0xC0C0C0u);
    EXPECT_EQ(state.saved(), 0x00FF00u);
    state.enable();
    EXPECT_EQ(state.face(), 0x00FF00u);
}

TEST(ButtonColorState, RepeatedDisablingKeepsTheFirstSavedColour) {
    ButtonColorState state(0x0000FF);
    state.disable(0xC0C0C0);
    state.disable(0xD0D0D0);
    EXPECT_EQ(state.face(), 0xD0D0D0u);
    state.enable();
    EXPECT_EQ(state.face(), 0x0000FFu);
}

TEST(ButtonColorState, ColourAssignedWhileDisabledShowsAndSurvivesEnabling) {
    ButtonColorState state(0x0000FF);
    state.disable(0xC0C0C0);
    state.set_color(0x00FFFF);
    EXPECT_EQ(state.face(), 0x00FFFFu);
    state.enable();
    EXPECT_EQ(state.face(), 0x00FFFFu);
}

} // namespace
} // namespace velmaro::controls
