#pragma once

// Draws the characters of a movie into a pixel buffer with Cairo. The runtime drives it once
// per frame: BeginFrame, one Draw call per display object in depth order (masks around the
// objects they clip), EndFrame. Needs no window.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "flash/geom.h"
#include "flash/swf/movie.h"

namespace flash::render {

// Low: no anti-aliasing, bitmaps unsmoothed. Medium and High: anti-aliased, bitmaps smoothed
// where their fill asks for it (High with the better rasteriser). Best: as High with the best
// bitmap filter.
enum class Quality : std::uint8_t { Low, Medium, High, Best };

// A rectangle of device pixels.
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct FrameOptions {
    Rgba background{255, 255, 255, 255};
    Quality quality = Quality::High;
    // Device pixels per stage pixel (the stage transform's scale): the width of strokes that
    // do not scale with their object.
    double stageScale = 1;
    // Redraw only this area (what changed since the last frame); the pixels outside it keep
    // what they hold. Objects wholly outside it are skipped.
    std::optional<PixelRect> redraw;
};

// Where a drawn object goes: its matrix from its own twips to device pixels (the stage
// transform times every parent's matrix times its own) and its colour transform
// (concatenated down the same chain).
struct Transform {
    Matrix matrix;
    ColorTransform color;
};

// The characters of the drawn object's movie by id, for bitmap fills and fonts; null for an
// unknown id.
using CharacterLookup = std::function<const swf::Character*(std::uint16_t id)>;

// The frame of an edit text field, which scripts may change; a field's border flag turns on
// both a black border and a white background.
struct EditTextLook {
    bool border = false;
    bool background = false;
    Rgba borderColor{0, 0, 0, 255};
    Rgba backgroundColor{255, 255, 255, 255};

    static EditTextLook Of(const swf::EditText& field) {
        EditTextLook look;
        look.border = look.background = field.border;
        return look;
    }
};

// The device pixels a box of twips covers under `toDevice`, rounded outwards and grown by
// `margin` pixels on every side; empty (width 0) for an empty box or an unusable matrix.
PixelRect DeviceRect(const Rect& twips, const Matrix& toDevice, double margin);

class Renderer {
  public:
    Renderer();
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;
    Renderer(Renderer&&) noexcept;
    Renderer& operator=(Renderer&&) noexcept;

    // Starts a frame over `pixels`: premultiplied ARGB32 in native byte order (Cairo's
    // ARGB32), `stride` bytes per row, kept alive until EndFrame. Fills it (or the redraw
    // area) with the background.
    // A buffer that is null or of an impossible size makes a frame that draws nothing.
    void BeginFrame(std::uint32_t* pixels, int width, int height, int stride,
                    const FrameOptions& options);
    // Finishes the frame; masks still open are closed.
    void EndFrame();

    void DrawShape(const std::shared_ptr<const swf::Shape>& shape, const Transform& transform,
                   const CharacterLookup& lookup);
    // The morph shape at `ratio`, 0 (start) .. 65535 (end).
    void DrawMorphShape(const std::shared_ptr<const swf::MorphShape>& morph, std::uint16_t ratio,
                        const Transform& transform, const CharacterLookup& lookup);
    // Static text (DefineText 1 and 2) from its fonts' glyphs.
    void DrawText(const std::shared_ptr<const swf::Text>& text, const Transform& transform,
                  const CharacterLookup& lookup);
    // An edit text field showing `text` (UTF-8; HTML when `html`) in place of its initial
    // text: background and border as `look` says, the text laid out in the field's bounds.
    void DrawEditText(const std::shared_ptr<const swf::EditText>& field, std::string_view text,
                      bool html, const EditTextLook& look, const Transform& transform,
                      const CharacterLookup& lookup);
    // A bitmap character on its own: one bitmap pixel is 20 twips.
    void DrawBitmap(const std::shared_ptr<const swf::Bitmap>& bitmap, const Transform& transform,
                    bool smoothing);
    // A decoded picture (premultiplied ARGB32, a video frame) stretched over `width` x
    // `height` twips of its object's space, smoothed when scaled if `smoothing` and the
    // quality allow. The pixels are read during the call only.
    void DrawImage(const swf::Image& image, double width, double height, const Transform& transform,
                   bool smoothing);
    // Any of the above by its character (ratio for morph shapes only; edit text with its
    // initial text); false for characters
    // that are not drawn this way (sprites, buttons, fonts, sounds...).
    bool DrawCharacter(const swf::Character& character, std::uint16_t ratio,
                       const Transform& transform, const CharacterLookup& lookup);

    // The device pixels a DrawCharacter call of `character` (or a DrawEditText call of an edit
    // text field) under `transform` may touch, strokes, anti-aliasing and the frame's
    // `stageScale` included; empty (width 0) for what draws nothing. For finding what changed
    // between frames; never smaller than what is drawn.
    PixelRect DeviceBounds(const swf::Character& character, std::uint16_t ratio,
                           const Transform& transform, double stageScale);

    // Masks by clip depth: BeginMask(), draw the mask's characters, EndMask(), draw what it
    // clips, PopMask(). The mask is the area its characters fill (their lines, colours and
    // alpha do not count). Masks nest: content is clipped by every mask around it.
    void BeginMask();
    void EndMask();
    void PopMask();

    // Keeps the paths built for each shape between frames (the default); off rebuilds them
    // on every draw.
    void SetPathCaching(bool on);
    // Drops every cached path and bitmap, for example after a movie is unloaded. Entries of
    // characters that no longer exist are dropped on their own.
    void ClearCaches();

  private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace flash::render
