#pragma once

// Small movies for the runtime's tests, written with swfgen.
#include <cstdint>
#include <string>
#include <vector>

#include "flash/swf/tag_codes.h"
#include "swfgen/action_builder.h"
#include "swfgen/shape_builder.h"
#include "swfgen/tag_writer.h"

namespace flash::testmovies {

inline constexpr Rect kStage{0, 11000, 0, 8000};  // 550 x 400

// A filled square of `size` twips at the origin.
inline void DefineSquare(swfgen::TagList& tags, std::uint16_t id, std::int32_t size = 200,
                         Rgba color = {255, 0, 0, 255}) {
    swfgen::ShapeBuilder shape;
    shape.Fill1(shape.AddSolidFill(color)).Rectangle(Rect{0, size, 0, size});
    swfgen::Bytes body = shape.DefineShape(id, 3);
    tags.Tag(swf::kTagDefineShape3, body);
}

inline swfgen::Bytes Trace(const std::string& text) {
    return swfgen::ActionBuilder().TraceText(text).Build();
}

inline swfgen::Place PlaceNew(std::uint16_t id, std::uint16_t depth,
                              std::optional<std::string> name = std::nullopt) {
    swfgen::Place p;
    p.characterId = id;
    p.depth = depth;
    p.name = std::move(name);
    return p;
}

inline swfgen::Place MoveTo(std::uint16_t depth, double x, double y) {
    swfgen::Place p;
    p.depth = depth;
    p.move = true;
    p.matrix = Matrix::Translate(x, y);
    return p;
}

}  // namespace flash::testmovies
