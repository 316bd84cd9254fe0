#include "stage/stage_transform.h"

#include <algorithm>

namespace flash {

Matrix StageTransform(const Rect& stage, int viewWidth, int viewHeight, int scaleMode) {
    double stageW = stage.width() / 20.0;
    double stageH = stage.height() / 20.0;
    if (stageW <= 0 || stageH <= 0 || viewWidth <= 0 || viewHeight <= 0) {
        return Matrix::Scale(0.05, 0.05);
    }
    double sx = viewWidth / stageW;
    double sy = viewHeight / stageH;
    switch (scaleMode) {
        case 1:
            sx = sy = std::max(sx, sy);
            break;
        case 2:
            break;
        case 3:
            sx = sy = 1.0;
            break;
        default:
            sx = sy = std::min(sx, sy);
            break;
    }
    double offsetX = (viewWidth - stageW * sx) / 2;
    double offsetY = (viewHeight - stageH * sy) / 2;
    // Twips to pixels, stage origin moved to the view's origin, then scaled and centred.
    return Matrix{sx / 20.0,
                  0,
                  0,
                  sy / 20.0,
                  offsetX - stage.xmin / 20.0 * sx,
                  offsetY - stage.ymin / 20.0 * sy};
}

}  // namespace flash
