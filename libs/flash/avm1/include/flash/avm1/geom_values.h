#pragma once

// flash.geom values as the runtime exchanges them with scripts: matrices and rectangles in
// pixels, colour transforms as ColorTransform holds them.

#include <optional>

#include "flash/avm1/value.h"

namespace flash::avm1 {

class Vm;

struct GeomMatrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
};

struct GeomColor {
    double rMult = 1, gMult = 1, bMult = 1, aMult = 1;
    double rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;
};

// New flash.geom objects, made by the classes' constructors as scripts see them; undefined
// when a script took the class away.
Value NewGeomPoint(Vm& vm, double x, double y, int version);
Value NewGeomRectangle(Vm& vm, double x, double y, double width, double height, int version);
Value NewGeomMatrix(Vm& vm, const GeomMatrix& m, int version);
Value NewGeomColorTransform(Vm& vm, const GeomColor& c, int version);

// The matrix of an object with all of a, b, c, d, tx and ty; nullopt otherwise.
std::optional<GeomMatrix> GeomMatrixOf(Vm& vm, const Value& v, int version);
// The colour of a ColorTransform object; nullopt for anything else.
std::optional<GeomColor> GeomColorOf(const Value& v);

}  // namespace flash::avm1
