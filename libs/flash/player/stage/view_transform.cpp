#include "stage/view_transform.h"

#include <algorithm>

#include "stage/stage_transform.h"

namespace flash {

Matrix ViewTransform::ToView(const Rect& stage, int viewWidth, int viewHeight) const {
    Matrix base = StageTransform(stage, viewWidth, viewHeight, scaleMode_);
    if (zoom_ <= 1) {
        return base;
    }
    // Scale about the view's middle, with the zoom centre moved there.
    Point at = base.Apply(centre_);
    return Matrix::Translate(viewWidth / 2.0, viewHeight / 2.0) * Matrix::Scale(zoom_, zoom_) *
           Matrix::Translate(-at.x, -at.y) * base;
}

void ViewTransform::SetZoom(double zoom, Point stageCentre) {
    zoom_ = std::clamp(zoom, 1.0, kMaxZoom);
    centre_ = stageCentre;
}

void ViewTransform::ZoomIn(const Rect& stage, int viewWidth, int viewHeight, Point viewPoint) {
    std::optional<Matrix> toStage = ToView(stage, viewWidth, viewHeight).Inverted();
    if (!toStage) {
        return;
    }
    // The clicked point becomes the centre first, then is moved back under the pointer.
    Point target = toStage->Apply(viewPoint);
    double next = std::min(zoom_ * 2, kMaxZoom);
    Point viewMiddle{viewWidth / 2.0, viewHeight / 2.0};
    Matrix base = StageTransform(stage, viewWidth, viewHeight, scaleMode_);
    double scale = base.a != 0 ? base.a * next : 1;
    double scaleY = base.d != 0 ? base.d * next : 1;
    Point centre{target.x - (viewPoint.x - viewMiddle.x) / scale,
                 target.y - (viewPoint.y - viewMiddle.y) / scaleY};
    SetZoom(next, centre);
}

void ViewTransform::ZoomOut(const Rect& stage, int viewWidth, int viewHeight) {
    std::optional<Matrix> toStage = ToView(stage, viewWidth, viewHeight).Inverted();
    Point centre = toStage ? toStage->Apply(Point{viewWidth / 2.0, viewHeight / 2.0}) : centre_;
    SetZoom(zoom_ / 2, centre);
}

void ViewTransform::ShowAll() {
    zoom_ = 1;
}

}  // namespace flash
