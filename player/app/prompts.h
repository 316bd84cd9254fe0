#pragma once

#include "host/prompts.h"

// The prompt service the program's windows use. Until one is installed, every prompt is
// written to the standard error stream and answered No (or cancelled), so nothing ever waits.
host::PromptService& Prompts();
// Installs `service` (not owned); null goes back to the default.
void SetPrompts(host::PromptService* service);
