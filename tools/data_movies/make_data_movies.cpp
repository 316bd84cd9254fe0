// Writes the data movies beside the program: make_data_movies <Tools folder>.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "data_movies.h"

namespace {

bool Write(const std::filesystem::path& file, const swfgen::Bytes& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_data_movies <folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!Write(folder / "start.swf", data_movies::StartMovie()) ||
        !Write(folder / "FLVPlayer.swf", data_movies::FlvPlayerMovie())) {
        std::fprintf(stderr, "make_data_movies: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
