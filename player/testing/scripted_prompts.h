#pragma once

#include "host/testing/scripted_prompts.h"

// The prompt service tests answer.
using ScriptedPrompts = host::testing::ScriptedPrompts;
