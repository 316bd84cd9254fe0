#include "playback/flash_control.h"

FlashControl::~FlashControl() = default;
