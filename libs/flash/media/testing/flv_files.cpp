#include "flv_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace flash::media::testing {

namespace {

std::string Quote(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

void Be(std::vector<std::uint8_t>& out, std::uint64_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

void AmfString(std::vector<std::uint8_t>& out, const std::string& s) {
    Be(out, s.size(), 2);
    out.insert(out.end(), s.begin(), s.end());
}

}  // namespace

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    std::vector<std::uint8_t> bytes(ec ? 0 : size);
    std::ifstream in(file, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
    return bytes;
}

std::string ReadText(const std::filesystem::path& file) {
    const auto bytes = ReadFile(file);
    return std::string(bytes.begin(), bytes.end());
}

bool MakeFlv(const FlvRecipe& r, const std::filesystem::path& out, std::string* log) {
    std::ostringstream cmd;
    cmd << "ffmpeg -nostdin -hide_banner -loglevel error -y";
    if (r.video != nullptr) {
        cmd << " -f lavfi -i testsrc2=size=" << r.width << "x" << r.height << ":rate=" << r.fps
            << ":duration=" << r.seconds;
    }
    if (r.audio != nullptr) {
        cmd << " -f lavfi -i sine=frequency=440:sample_rate=" << r.audioRate
            << ":duration=" << r.seconds;
    }
    if (r.video != nullptr) {
        cmd << " -c:v " << r.video << " -g " << r.gop;
        if (std::string(r.video) == "libx264") {
            cmd << " -preset " << r.x264Preset << " -pix_fmt yuv420p";
        }
    }
    if (r.audio != nullptr) {
        cmd << " -c:a " << r.audio << " -ar " << r.audioRate;
    }
    const std::filesystem::path errors = out.string() + ".log";
    cmd << " " << r.extra << " -f flv " << Quote(out) << " 2>" << Quote(errors);
    const int status = std::system(cmd.str().c_str());
    if (status != 0 && log != nullptr) {
        *log = cmd.str() + "\n" + ReadText(errors);
    }
    return status == 0;
}

std::vector<std::uint8_t> FfmpegFrame(const std::filesystem::path& file, int index, int width,
                                      int height) {
    const std::filesystem::path raw = file.string() + "." + std::to_string(index) + ".bgra";
    std::ostringstream cmd;
    cmd << "ffmpeg -nostdin -hide_banner -loglevel error -y -i " << Quote(file)
        << " -vf 'select=eq(n\\," << index << ")' -frames:v 1 -f rawvideo -pix_fmt bgra "
        << Quote(raw);
    if (std::system(cmd.str().c_str()) != 0) {
        return {};
    }
    std::vector<std::uint8_t> bytes = ReadFile(raw);
    if (bytes.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) {
        return {};
    }
    return bytes;
}

double Psnr(const swf::Image& image, const std::vector<std::uint8_t>& bgra) {
    const std::size_t n = image.pixels.size();
    if (n == 0 || bgra.size() != n * 4) {
        return 0;
    }
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        for (int c = 0; c < 3; ++c) {
            const double d =
                static_cast<double>(image.pixels[i] >> (8 * c) & 0xFF) - bgra[4 * i + c];
            sum += d * d;
        }
    }
    const double mse = sum / static_cast<double>(n * 3);
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

FlvBuilder::FlvBuilder(bool audio, bool video) {
    bytes_ = {'F', 'L', 'V', 1, static_cast<std::uint8_t>((audio ? 4 : 0) | (video ? 1 : 0))};
    Be(bytes_, 9, 4);
    Be(bytes_, 0, 4);
}

FlvBuilder& FlvBuilder::Tag(std::uint8_t type, std::uint32_t ms,
                            const std::vector<std::uint8_t>& body) {
    bytes_.push_back(type);
    Be(bytes_, body.size(), 3);
    Be(bytes_, ms & 0xFFFFFF, 3);
    bytes_.push_back(static_cast<std::uint8_t>(ms >> 24));
    Be(bytes_, 0, 3);
    bytes_.insert(bytes_.end(), body.begin(), body.end());
    Be(bytes_, body.size() + 11, 4);
    return *this;
}

FlvBuilder& FlvBuilder::Script(std::uint32_t ms, const std::string& name,
                               const std::vector<std::pair<std::string, double>>& numbers,
                               const std::vector<std::pair<std::string, std::string>>& strings) {
    std::vector<std::uint8_t> body{2};
    AmfString(body, name);
    body.push_back(8);
    Be(body, numbers.size() + strings.size(), 4);
    for (const auto& [key, value] : numbers) {
        AmfString(body, key);
        body.push_back(0);
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Be(body, bits, 8);
    }
    for (const auto& [key, value] : strings) {
        AmfString(body, key);
        body.push_back(2);
        AmfString(body, value);
    }
    Be(body, 9, 3);
    return Tag(18, ms, body);
}

FlvBuilder& FlvBuilder::Pcm(std::uint32_t ms, int frames) {
    // Sound format 3 (PCM little-endian), 44 kHz, 16 bits, stereo.
    std::vector<std::uint8_t> body{0x3F};
    for (int i = 0; i < frames; ++i) {
        const std::int16_t v = (i / 50) % 2 == 0 ? 8000 : -8000;
        for (int c = 0; c < 2; ++c) {
            body.push_back(static_cast<std::uint8_t>(v & 0xFF));
            body.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
        }
    }
    return Tag(8, ms, body);
}

void FlvBuilder::Save(const std::filesystem::path& file) const {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes_.data()),
              static_cast<std::streamsize>(bytes_.size()));
}

}  // namespace flash::media::testing
