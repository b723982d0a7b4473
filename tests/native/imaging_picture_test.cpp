#include "imaging/picture.h"

#include "base/error.h"
#include "base/file_read.h"
#include "imaging/fit.h"
#include "imaging_test_files.h"

#include <gtest/gtest.h>

namespace velmaro::imaging {
namespace {

using testing::data_file;
using testing::data_path;

TEST(FitRule, TheExamplesOfThePreview) {
    EXPECT_EQ(fit_in_frame(1024, 768), (FitRect{12, 0, 193, 145}));
    EXPECT_EQ(fit_in_frame(100, 50), (FitRect{58, 47, 100, 50}));
    EXPECT_EQ(fit_in_frame(145, 300), (FitRect{73, 0, 70, 145}));
}

TEST(FitRule, EdgesOfTheRule) {
    // The frame's own size and smaller pictures are never scaled.
    EXPECT_EQ(fit_in_frame(217, 145), (FitRect{0, 0, 217, 145}));
    EXPECT_EQ(fit_in_frame(1, 1), (FitRect{108, 72, 1, 1}));
    // One side too large is enough to scale.
    EXPECT_EQ(fit_in_frame(218, 10), (FitRect{0, 68, 217, 9}));   // 217 / 21.8 = 9.95
    EXPECT_EQ(fit_in_frame(100, 146), (FitRect{59, 0, 99, 145})); // 145 * 0.6849 = 99.3
    // Wide but not wide enough: the height limit wins and the width is recomputed.
    EXPECT_EQ(fit_in_frame(300, 240), (FitRect{18, 0, 181, 145})); // 217 / 1.25 = 173.6
    // Square pictures take the "not wider than tall" branch.
    EXPECT_EQ(fit_in_frame(1000, 1000), (FitRect{36, 0, 145, 145}));
    // Extreme shapes truncate to 0 along the short side.
    EXPECT_EQ(fit_in_frame(1, 1000), (FitRect{108, 0, 0, 145}));
    EXPECT_EQ(fit_in_frame(5000, 1), (FitRect{0, 72, 217, 0}));
    // An empty picture is drawn nowhere.
    EXPECT_EQ(fit_in_frame(0, 0), (FitRect{}));
    EXPECT_EQ(fit_in_frame(0, 500), (FitRect{}));
}

TEST(FitRule, OtherLayouts) {
    // The start-up picture: proportional, from the top-left.
    const FrameLayout startup{false, true, false};
    EXPECT_EQ(fit_in_frame(566, 283, 465, 233, startup), (FitRect{0, 0, 465, 232}));
    EXPECT_EQ(fit_in_frame(300, 100, 465, 233, startup), (FitRect{0, 0, 300, 100}));
    // Stretching fills the frame; with proportions it enlarges as far as they allow.
    EXPECT_EQ(fit_in_frame(50, 25, 217, 145, {false, false, true}), (FitRect{0, 0, 217, 145}));
    EXPECT_EQ(fit_in_frame(50, 25, 217, 145, {true, true, true}), (FitRect{0, 18, 217, 108}));
    // Neither: own size, centred even when larger (offsets truncated toward zero).
    EXPECT_EQ(fit_in_frame(1024, 767, 217, 145, {true, false, false}), (FitRect{-403, -311, 1024, 767}));
    EXPECT_EQ(fit_in_frame(1024, 767, 217, 145, {false, false, false}), (FitRect{0, 0, 1024, 767}));
}

TEST(FitRule, TheStartUpPicture) {
    // 566 x 283 in the start-up window's 465 x 233 control comes out 465 x 232.
    const FitRect r = fit_in_frame(566, 283, 465, 233);
    EXPECT_EQ(r.width, 465);
    EXPECT_EQ(r.height, 232);
}

TEST(PictureKind, ByExtensionWithoutRegardToCase) {
    EXPECT_EQ(picture_kind_for("a.bmp"), PictureKind::Bitmap);
    EXPECT_EQ(picture_kind_for("C:\\Pictures\\A.BMP"), PictureKind::Bitmap);
    EXPECT_EQ(picture_kind_for("x.JpG"), PictureKind::Jpeg);
    EXPECT_EQ(picture_kind_for("x.y.jpeg"), PictureKind::Jpeg);
    EXPECT_EQ(picture_kind_for(".Jpeg"), PictureKind::Jpeg);
    for (const char* name : {"", "bmp", "a.pcx", "a.jpg.bak", "a.jpe", "a.bmpx", "C:\\dir.jpg\\file",
                             "dir.bmp/x", "a.", "a.jpg "})
        EXPECT_THROW(picture_kind_for(name), InvalidGraphic) << name;
}

TEST(PictureLoad, TheExtensionIsCheckedBeforeTheFile) {
    EXPECT_THROW(Picture::load_file(""), InvalidGraphic);
    EXPECT_THROW(Picture::load_file(data_path("does-not-exist.pcx")), InvalidGraphic);
    const std::string missing = data_path("does-not-exist.JPG");
    try {
        Picture::load_file(missing);
        FAIL() << "a missing file loaded";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
    }
    // A folder is no picture file, whatever its name.
    EXPECT_THROW(Picture::load_file(data_path("")), InvalidGraphic);
    EXPECT_THROW(Picture::load_file(data_path("folder.jpg")), FileError);
}

TEST(PictureLoad, ContentMustMatchTheExtension) {
    EXPECT_THROW(Picture::load_bytes("a.bmp", data_file("jpeg-base.jpg")), InvalidGraphic);
    EXPECT_THROW(Picture::load_bytes("a.jpg", data_file("bmp3-24.bmp")), InvalidGraphic);
    EXPECT_THROW(Picture::load_bytes("a.jpeg", {'t', 'e', 'x', 't'}), InvalidGraphic);
    EXPECT_THROW(Picture::load_bytes("a.bmp", {}), InvalidGraphic);
}

TEST(PictureLoad, ABitmap) {
    const Picture p = Picture::load_file(data_path("bmp3-8.bmp"));
    EXPECT_EQ(p.kind(), PictureKind::Bitmap);
    EXPECT_FALSE(p.empty());
    EXPECT_EQ(p.width(), 97);
    EXPECT_EQ(p.height(), 61);
    ASSERT_NE(p.bitmap(), nullptr);
    const Pixels& px = p.pixels_for(217, 145);
    EXPECT_EQ(px.width, 97);
    EXPECT_EQ(px.bgra, p.bitmap()->to_pixels().bgra);
    EXPECT_EQ(&p.pixels_for(10, 10), &px);
}

TEST(PictureLoad, AJpegDecodesWhenDrawnAndKeepsItsPixels) {
    const Picture p = Picture::load_file(data_path("scale-base.jpg"));
    EXPECT_EQ(p.kind(), PictureKind::Jpeg);
    EXPECT_EQ(p.width(), 640);
    EXPECT_EQ(p.height(), 400);
    EXPECT_EQ(p.bitmap(), nullptr);

    const FitRect r = fit_in_frame(p.width(), p.height());
    int progress_calls = 0;
    const Pixels& preview = p.pixels_for(r.width, r.height, [&](const Pixels&, int) { ++progress_calls; });
    EXPECT_EQ(preview.width, 240); // 3/8 is the first scale covering 217 x 135
    EXPECT_EQ(preview.height, 150);
    EXPECT_GT(progress_calls, 0);
    const std::uint8_t* first = preview.bgra.data();
    // A smaller frame reuses the pixels; a larger one decodes again.
    EXPECT_EQ(p.pixels_for(100, 60).bgra.data(), first);
    EXPECT_EQ(p.pixels_for(217, 145).width, 240);
    EXPECT_EQ(p.pixels_for(0, 0).width, 640);
    EXPECT_EQ(p.pixels_for(217, 145).width, 640);
}

TEST(PictureLoad, AJpegWhoseDataFailsFailsEveryTimeItIsDrawn) {
    std::vector<std::uint8_t> f = data_file("jpeg-base.jpg");
    // Point the first component at a quantisation table that is never defined.
    for (std::size_t i = 2; i + 1 < f.size(); ++i)
        if (f[i] == 0xFF && f[i + 1] == 0xC0) {
            f[i + 12] = 3;
            break;
        }
    const Picture p = Picture::load_bytes("x.jpg", f);
    EXPECT_EQ(p.width(), 97);
    EXPECT_THROW(p.pixels_for(217, 145), InvalidGraphic);
    EXPECT_THROW(p.pixels_for(217, 145), InvalidGraphic);
}

TEST(PictureLoad, EmptyingLeavesNoPicture) {
    Picture p = Picture::load_file(data_path("jpeg-gray.jpg"));
    p.clear();
    EXPECT_TRUE(p.empty());
    EXPECT_EQ(p.kind(), PictureKind::None);
    EXPECT_EQ(p.width(), 0);
    EXPECT_EQ(p.height(), 0);
    EXPECT_TRUE(p.pixels_for(217, 145).empty());
    const Picture none;
    EXPECT_EQ(none.width(), 0);
    // A moved-from picture reads as empty too.
    Picture a = Picture::load_file(data_path("bmp3-1.bmp"));
    Picture b = std::move(a);
    EXPECT_EQ(b.kind(), PictureKind::Bitmap);
    EXPECT_EQ(a.kind(), PictureKind::None); // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(a.width(), 0);                // NOLINT(bugprone-use-after-move)
}

TEST(ReadWholeFile, WhatCannotBeReadIsAFileError) {
    EXPECT_EQ(read_whole_file(data_path("bmp3-rle8.bmp")), data_file("bmp3-rle8.bmp"));
    for (const char* name : {"missing.jpg", "folder.jpg"})
        EXPECT_THROW(read_whole_file(data_path(name)), FileError) << name;
}

} // namespace
} // namespace velmaro::imaging
