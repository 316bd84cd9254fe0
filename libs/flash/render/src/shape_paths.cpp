#include "shape_paths.h"

#include <bit>
#include <cstring>
#include <unordered_map>

namespace flash::render {
namespace {

// An edge walked so that its fill lies on its right.
struct DirectedEdge {
    Point from;
    Point control;
    Point to;
    bool curved;
};

struct PointKey {
    std::uint64_t x, y;
    bool operator==(const PointKey&) const = default;
};

PointKey KeyOf(Point p) {
    // +0.0 folds -0.0 into 0.0 so equal points get equal keys.
    return {std::bit_cast<std::uint64_t>(p.x + 0.0), std::bit_cast<std::uint64_t>(p.y + 0.0)};
}

struct PointKeyHash {
    std::size_t operator()(const PointKey& k) const {
        return std::hash<std::uint64_t>()(k.x * 0x9E3779B97F4A7C15ull ^ k.y);
    }
};

void AddSegment(Path& path, const DirectedEdge& e) {
    if (e.curved) {
        path.QuadTo(e.control, e.to);
    } else {
        path.LineTo(e.to);
    }
}

}  // namespace

Path BuildFillPath(const std::vector<swf::Edge>& edges, std::uint16_t fill) {
    std::vector<DirectedEdge> directed;
    for (const swf::Edge& e : edges) {
        if (e.fill0 == e.fill1) {
            continue;
        }
        if (e.fill1 == fill) {
            directed.push_back({e.from, e.control, e.to, e.curved});
        } else if (e.fill0 == fill) {
            directed.push_back({e.to, e.control, e.from, e.curved});
        }
    }

    // Unused edges by their start point; the last of each list is taken first, so the lists
    // are filled back to front to keep file order.
    std::unordered_map<PointKey, std::vector<std::uint32_t>, PointKeyHash> starts;
    starts.reserve(directed.size());
    for (std::size_t i = directed.size(); i-- > 0;) {
        starts[KeyOf(directed[i].from)].push_back(static_cast<std::uint32_t>(i));
    }
    std::vector<bool> used(directed.size(), false);
    auto take = [&](Point at) -> std::int64_t {
        auto it = starts.find(KeyOf(at));
        if (it == starts.end()) {
            return -1;
        }
        std::vector<std::uint32_t>& list = it->second;
        while (!list.empty()) {
            const std::uint32_t i = list.back();
            list.pop_back();
            if (!used[i]) {
                return i;
            }
        }
        return -1;
    };

    Path path;
    for (std::size_t first = 0; first < directed.size(); ++first) {
        if (used[first]) {
            continue;
        }
        const Point start = directed[first].from;
        path.MoveTo(start);
        std::int64_t i = static_cast<std::int64_t>(first);
        while (i >= 0) {
            used[static_cast<std::size_t>(i)] = true;
            const DirectedEdge& e = directed[static_cast<std::size_t>(i)];
            AddSegment(path, e);
            if (KeyOf(e.to) == KeyOf(start)) {
                break;
            }
            i = take(e.to);
        }
        // A contour that does not come back to its start is closed by a straight line, as
        // filling it would anyway.
        path.Close();
    }
    return path;
}

Path BuildLinePath(const std::vector<swf::Edge>& edges, std::uint16_t line, bool noClose) {
    Path path;
    bool open = false;
    Point subpathStart, last;
    auto finish = [&] {
        if (open && !noClose && KeyOf(last) == KeyOf(subpathStart)) {
            path.Close();
        }
        open = false;
    };
    for (const swf::Edge& e : edges) {
        if (e.line != line) {
            continue;
        }
        if (!open || !(KeyOf(e.from) == KeyOf(last))) {
            finish();
            path.MoveTo(e.from);
            subpathStart = e.from;
            open = true;
        }
        AddSegment(path, {e.from, e.control, e.to, e.curved});
        last = e.to;
    }
    finish();
    return path;
}

ShapePaths BuildShapePaths(const swf::Shape& shape) {
    ShapePaths out;
    out.layers.reserve(shape.layers.size());
    for (const swf::ShapeLayer& layer : shape.layers) {
        LayerPaths paths;
        const auto fillCount =
            static_cast<std::uint16_t>(std::min<std::size_t>(layer.fills.size(), 0xFFFF));
        const auto lineCount =
            static_cast<std::uint16_t>(std::min<std::size_t>(layer.lines.size(), 0xFFFF));
        // Which styles the edges use, so unused ones cost nothing.
        std::vector<bool> fillUsed(fillCount + 1u, false), lineUsed(lineCount + 1u, false);
        for (const swf::Edge& e : layer.edges) {
            if (e.fill0 != e.fill1) {
                if (e.fill0 <= fillCount) {
                    fillUsed[e.fill0] = true;
                }
                if (e.fill1 <= fillCount) {
                    fillUsed[e.fill1] = true;
                }
                if (e.fill0 != 0 && e.fill1 != 0) {
                    paths.sharedEdges = true;
                }
            }
            if (e.line <= lineCount) {
                lineUsed[e.line] = true;
            }
        }
        for (std::uint16_t f = 1; f <= fillCount; ++f) {
            if (fillUsed[f]) {
                StylePath sp{f, BuildFillPath(layer.edges, f)};
                out.bounds.Add(sp.path.Bounds());
                paths.fills.push_back(std::move(sp));
            }
        }
        for (std::uint16_t l = 1; l <= lineCount; ++l) {
            if (lineUsed[l]) {
                StylePath sp{l, BuildLinePath(layer.edges, l, layer.lines[l - 1].noClose)};
                out.bounds.Add(sp.path.Bounds());
                paths.lines.push_back(std::move(sp));
            }
        }
        out.layers.push_back(std::move(paths));
    }
    return out;
}

}  // namespace flash::render
