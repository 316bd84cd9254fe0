#pragma once

#include "common/player_context.h"
#include "common/player_settings.h"
#include "image_strips.h"
#include "lists/media_lists.h"
#include "testing/scripted_prompts.h"

// Fresh settings and lists, prompts the test answers and image strips of its own, as a context
// for a main window made without a session.
struct ContextFixture {
    PlayerSettings settings;
    MediaLists lists{settings};
    ScriptedPrompts prompts;
    res::ImageStrips images;
    PlayerContext context{settings, lists, prompts, images};
};
