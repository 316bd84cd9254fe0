#include "testing/movie_files.h"

#include <algorithm>

#include "swfgen/shape_builder.h"
#include "swfgen/tag_writer.h"

void WriteTestMovie(const std::filesystem::path& file, int width, int height, int frames,
                    double fps) {
    swfgen::MovieWriter movie(10, flash::Rect{0, width * 20, 0, height * 20}, fps);
    for (int i = 0; i < frames; ++i) {
        movie.ShowFrame();
    }
    movie.Save(file);
}

void WriteMovingMovie(const std::filesystem::path& file, int frames, double fps) {
    const int width = 400;
    const int height = 300;
    swfgen::MovieWriter movie(8, flash::Rect{0, width * 20, 0, height * 20}, fps);
    movie.SetBackgroundColor({255, 255, 255, 255});
    swfgen::ShapeBuilder box;
    box.Fill1(box.AddSolidFill({200, 40, 40, 255}));
    box.Rectangle(flash::Rect{0, 60 * 20, 0, 60 * 20});
    movie.DefineShape(1, box);
    for (int f = 0; f < frames; ++f) {
        swfgen::Place place;
        place.depth = 1;
        place.move = f > 0;
        if (f == 0) {
            place.characterId = 1;
        }
        const double x = (width - 60) * 20.0 * f / std::max(frames - 1, 1);
        place.matrix = flash::Matrix::Translate(x, 120 * 20.0);
        movie.PlaceObject2(place);
        movie.ShowFrame();
    }
    movie.Save(file);
}
