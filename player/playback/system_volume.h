#pragma once

// The wave-out volume and the control's own menu, through tovi's "SetVolumes" and
// "PopuFlashMenu". They are looked up by name, so the program runs (silently without them)
// where the library does not offer them.

// Reads the volume (0..65535) into `volume`; leaves it as it is without the library.
void ReadSystemVolume(unsigned* volume);
// Sets both channels to the low 16 bits of `volume`.
void SetSystemVolume(unsigned volume);
// Opens the control's own menu at the mouse position.
void PopUpFlashMenu();
