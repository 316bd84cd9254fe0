// Writes "Binary\Roles.dat" from its template; fails (and the build with it) when the file
// does not pass the checks the terms dialog makes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "roles_fit.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_roles_dat TEMPLATE OUTPUT\n");
        return 2;
    }
    std::error_code error;
    const auto size = std::filesystem::file_size(argv[1], error);
    std::ifstream in(argv[1], std::ios::binary);
    std::string text(error ? 0 : static_cast<std::size_t>(size), '\0');
    if (error || !in.read(text.data(), static_cast<std::streamsize>(text.size()))) {
        std::fprintf(stderr, "make_roles_dat: cannot read %s\n", argv[1]);
        return 1;
    }
    const roles::FitResult result = roles::FitRolesText(text);
    if (!result.error.empty()) {
        std::fprintf(stderr, "make_roles_dat: %s: %s\n", argv[1], result.error.c_str());
        return 1;
    }
    const std::filesystem::path out = argv[2];
    std::error_code ignored;
    std::filesystem::create_directories(out.parent_path(), ignored);
    const std::filesystem::path partial = out.string() + ".part";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(result.bytes.data()),
                   static_cast<std::streamsize>(result.bytes.size()));
        if (!file.flush()) {
            std::fprintf(stderr, "make_roles_dat: cannot write %s\n", partial.c_str());
            return 1;
        }
    }
    std::filesystem::rename(partial, out);
    return 0;
}
