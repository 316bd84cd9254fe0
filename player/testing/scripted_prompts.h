#pragma once

#include "host/testing/scripted_prompts.h"

// The prompt service tests answer, installed as the program's for its lifetime.
class ScriptedPrompts : public host::testing::ScriptedPrompts {
  public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;
};
