#include "testing/movie_files.h"

#include "swfgen/tag_writer.h"

void WriteTestMovie(const std::filesystem::path& file, int width, int height, int frames,
                    double fps) {
    swfgen::MovieWriter movie(10, flash::Rect{0, width * 20, 0, height * 20}, fps);
    for (int i = 0; i < frames; ++i) {
        movie.ShowFrame();
    }
    movie.Save(file);
}
