#pragma once

// Small movies for the runtime's tests, written with swfgen.
#include <cstdint>
#include <string>
#include <vector>

#include "flash/swf/button.h"
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

// A movie with one button, 100 px square at (100, 100) px on a 550 x 400 stage: red when up,
// green under the pointer, blue pressed, its hit area the square. Each of its actions adds
// the event's name and a comma to _level0.log; the key action runs on "k".
inline swfgen::MovieWriter ButtonMovie() {
    swfgen::MovieWriter m(8, kStage, 24);
    m.SetBackgroundColor({255, 255, 255, 255});
    DefineSquare(m, 1, 2000, {255, 0, 0, 255});
    DefineSquare(m, 2, 2000, {0, 255, 0, 255});
    DefineSquare(m, 3, 2000, {0, 0, 255, 255});
    swf::Button button;
    button.version = 2;
    auto record = [](std::uint8_t states, std::uint16_t id) {
        swf::ButtonRecord r;
        r.states = states;
        r.characterId = id;
        r.depth = id;
        return r;
    };
    button.records = {record(swf::kButtonUp | swf::kButtonHitTest, 1), record(swf::kButtonOver, 2),
                      record(swf::kButtonDown, 3)};
    auto logged = [](const std::string& name) {
        return swfgen::ActionBuilder()
            .Push("log")
            .Push("log")
            .GetVariable()
            .Push(name + ",")
            .Op(0x47)  // Add2
            .SetVariable()
            .Build();
    };
    const std::pair<std::uint16_t, const char*> conditions[] = {
        {swf::kCondIdleToOverUp, "over"},          {swf::kCondOverUpToIdle, "out"},
        {swf::kCondOverUpToOverDown, "press"},     {swf::kCondOverDownToOverUp, "release"},
        {swf::kCondOverDownToOutDown, "dragOut"},  {swf::kCondOutDownToOverDown, "dragOver"},
        {swf::kCondOutDownToIdle, "releaseOutside"},
    };
    for (const auto& [condition, name] : conditions) {
        button.actions.push_back({condition, 0, logged(name)});
    }
    button.actions.push_back({0, static_cast<std::uint8_t>('k'), logged("key")});
    m.DefineButton(10, button);
    m.DoAction(swfgen::ActionBuilder().SetVar("log", "").Build());
    swfgen::Place place = PlaceNew(10, 1, "button");
    place.matrix = Matrix::Translate(2000, 2000);
    m.PlaceObject2(place);
    m.ShowFrame();
    return m;
}

}  // namespace flash::testmovies
