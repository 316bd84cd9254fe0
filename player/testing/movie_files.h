#pragma once

#include <filesystem>

// A movie file for tests: an SWF header with the stage size, frame rate and frame count.
void WriteTestMovie(const std::filesystem::path& file, int width = 550, int height = 400,
                    int frames = 100, double fps = 24);

// A movie in which a box crosses the stage, one step per frame.
void WriteMovingMovie(const std::filesystem::path& file, int frames = 48, double fps = 24);
