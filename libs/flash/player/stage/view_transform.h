#pragma once

#include "flash/geom.h"

namespace flash {

// How the stage lies in a view: the scale mode's stage transform, then the zoom the
// control's menu sets (1 shows what the scale mode shows; 2 shows half of it, and so on).
class ViewTransform {
  public:
    static constexpr double kMaxZoom = 64;

    int ScaleMode() const { return scaleMode_; }
    void SetScaleMode(int mode) { scaleMode_ = mode; }

    // From stage twips to view pixels.
    Matrix ToView(const Rect& stage, int viewWidth, int viewHeight) const;

    double Zoom() const { return zoom_; }
    bool Zoomed() const { return zoom_ > 1; }
    // Doubles the zoom around a point of the view, which stays where it is.
    void ZoomIn(const Rect& stage, int viewWidth, int viewHeight, Point viewPoint);
    // Halves the zoom, keeping the centre of the view; at 1 the whole stage shows again.
    void ZoomOut(const Rect& stage, int viewWidth, int viewHeight);
    void ShowAll();

  private:
    void SetZoom(double zoom, Point stageCentre);

    int scaleMode_ = 0;
    double zoom_ = 1;
    Point centre_;  // the stage point (twips) in the middle of the view while zoomed
};

}  // namespace flash
