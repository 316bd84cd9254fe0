#include "playback/view_rules.h"

#include "res/resource_ids.h"

CommandState ViewCommandState(int id, const ViewFacts& f, const PlayerSettings& s) {
    CommandState state;
    switch (id) {
        case ID_MUTE:
            state.checked = f.muted;
            break;
        case ID_PLAY:
        case ID_SAVE_AS:
            state.enabled = f.loaded;
            break;
        case ID_STOP:
            state.enabled = f.loaded && f.totalFrames && f.totalFrames() > 0;
            break;
        case ID_BEST_SIZE:
            state.enabled = f.swfWidth != 0 && f.swfHeight != 0;
            break;
        case ID_ADD_TO_PLAYLIST:
            state.enabled = f.documentPathLength > 3;
            break;
        case ID_ADD_ALL_TO_PLAYLIST:
            state.enabled = f.relatedCount > 0;
            break;
        case ID_ADD_TO_TAIL:
            state.checked = !s.isAddHead;
            break;
        case ID_ADD_TO_HEAD:
            state.checked = s.isAddHead;
            break;
        case ID_FULL_SCREEN:
        case ID_MAKE_EXE:
            state.enabled = f.loaded && !f.flv && !f.making;
            break;
        case ID_DRAG_NEVER:
        case ID_DRAG_ALWAYS:
        case ID_DRAG_AUTO:
            state.checked = id - ID_DRAG_NEVER == s.OtherSeting;
            break;
        case ID_PROGRESS:
            state.enabled = f.loaded && !f.flv;
            break;
        case ID_RIBBON_TOGGLE:
            state.checked = f.ribbonVisible;
            break;
        case ID_QUALITY_HIGH:
            state.checked = f.quality == wxS("high");
            break;
        case ID_QUALITY_MEDIUM:
            state.checked = f.quality == wxS("medium");
            break;
        case ID_QUALITY_LOW:
            state.checked = f.quality == wxS("low");
            break;
        default:
            if (id >= ID_SCALE_FIRST && id <= ID_SCALE_LAST) {
                state.checked = id - ID_SCALE_FIRST == s.ScaleMode;
            }
            break;
    }
    return state;
}
