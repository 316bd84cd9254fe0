#include "testing/scripted_prompts.h"

#include "app/prompts.h"

ScriptedPrompts::ScriptedPrompts() {
    SetPrompts(this);
}

ScriptedPrompts::~ScriptedPrompts() {
    SetPrompts(nullptr);
}
