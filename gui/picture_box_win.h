// The picture control: shows one picture (a bitmap, a JPEG picture or a picture of the
// system's codecs) in its frame, fitted by its layout. A JPEG picture is decoded when it
// is first drawn, by the decoder's own scaling at the smallest size that still covers the
// drawn size; with incremental display the rows appear while they decode.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/container_win.h"
#include "gui/widget_win.h"
#include "gui/window_class_win.h"
#include "imaging/fit.h"
#include "imaging/picture.h"

namespace velmaro::gui {

// How the picture sits in the control's frame (see imaging/fit.h).
using PictureLayout = imaging::FrameLayout;
using imaging::kPreviewLayout;

class PictureBox : public Widget {
  public:
    static constexpr const char* kWindowClass = "TImage";

    PictureBox() = default;

    // A child window of its own class at (x, y, w, h) in the parent's client area.
    void create(HWND parent, int x, int y, int w, int h, int id = 0);
    void create(Container& parent, int x, int y, int w, int h);

    PictureLayout layout() const { return layout_; }
    void set_layout(const PictureLayout& layout);
    bool incremental_display() const { return incremental_; }
    void set_incremental_display(bool on) { incremental_ = on; }

    // Picks the kind by the file's extension; transparent parts of a picture of the
    // system's codecs are laid over the desktop's background colour. Throws
    // velmaro::InvalidGraphic (another extension, a malformed bitmap, a JPEG header the
    // decoder rejects, a file the system's codecs cannot decode) or
    // velmaro::FileError (the file cannot be opened); either way the control keeps the
    // picture it had.
    void load_from_file(const std::string& path);
    // The same from bytes in memory (the start-up picture among the program's resources);
    // `name` only supplies the extension.
    void load_from_memory(std::vector<std::uint8_t> bytes, const std::string& name = "picture.jpg");
    void clear();

    const imaging::Picture& picture() const { return picture_; }
    bool empty() const { return picture_.empty(); }
    int width() const { return picture_.width(); }   // 0 when empty
    int height() const { return picture_.height(); } // 0 when empty

    // Where the picture goes in the control now (all zero when empty).
    imaging::FitRect drawn_rect() const;

    // Paints the control into a DC in its client coordinates (WM_PAINT and WM_PRINTCLIENT).
    void paint(HDC dc);

    // Watches incremental display: called after each band of rows reached the DC while
    // a picture decodes (rows decoded so far, of the decoded height).
    std::function<void(int rows_done, int rows_total)> on_progress;

  private:
    template <typename T> friend LRESULT CALLBACK window_procedure(HWND, UINT, WPARAM, LPARAM);
    static PictureBox* object_of(HWND hwnd);
    LRESULT window_message(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void guarded_paint(HDC dc) noexcept;
    imaging::DecodeProgress band_painter(HDC dc, const imaging::FitRect& r);
    void picture_changed();
    void fill_background(HDC dc, const RECT& area) const;

    imaging::Picture picture_;
    PictureLayout layout_ = kPreviewLayout;
    bool incremental_ = true;
    bool decoded_ = false;     // the pixels for the present layout and size are at hand
    bool draw_failed_ = false; // the decoder rejected this picture's data: draw nothing
};

} // namespace velmaro::gui
