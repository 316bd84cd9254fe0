#include "flash/media/audio_decoder.h"
#include "flash/utf8.h"
#include "mp3_frames.h"

namespace flash::media {

namespace {

// The length of an ID3v2 tag at the start of the file (0 when there is none).
std::size_t Id3Length(std::span<const std::uint8_t> file) {
    if (file.size() < 10 || file[0] != 'I' || file[1] != 'D' || file[2] != '3') {
        return 0;
    }
    std::size_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (file[i] & 0x80) {
            return 0;  // not a synchsafe size: no tag after all
        }
        size = size << 7 | file[i];
    }
    const std::size_t footer = (file[5] & 0x10) != 0 ? 10 : 0;
    return std::min(file.size(), 10 + size + footer);
}

std::uint32_t BigEndian(std::span<const std::uint8_t> b, bool synchsafe) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        v = synchsafe ? v << 7 | (b[i] & 0x7F) : v << 8 | b[i];
    }
    return v;
}

// One string of a frame in its encoding (0 Latin-1, 1 UTF-16 with byte-order mark, 2 UTF-16
// big-endian, 3 UTF-8), up to its terminator; `at` moves past the terminator.
std::string Text(std::span<const std::uint8_t> b, std::size_t& at, std::uint8_t encoding) {
    std::string out;
    if (encoding == 1 || encoding == 2) {
        bool little = false;
        if (encoding == 1 && at + 2 <= b.size()) {
            if (b[at] == 0xFF && b[at + 1] == 0xFE) {
                little = true;
                at += 2;
            } else if (b[at] == 0xFE && b[at + 1] == 0xFF) {
                at += 2;
            }
        }
        char32_t high = 0;
        while (at + 2 <= b.size()) {
            const char32_t unit = little ? b[at] | b[at + 1] << 8 : b[at] << 8 | b[at + 1];
            at += 2;
            if (unit == 0) {
                break;
            }
            if (unit >= 0xD800 && unit < 0xDC00) {
                high = unit;
                continue;
            }
            if (unit >= 0xDC00 && unit < 0xE000) {
                AppendUtf8(out,
                           high ? 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00) : 0xFFFD);
            } else {
                AppendUtf8(out, unit);
            }
            high = 0;
        }
        return out;
    }
    while (at < b.size() && b[at] != 0) {
        if (encoding == 3) {
            out += static_cast<char>(b[at]);
        } else {
            AppendUtf8(out, b[at]);
        }
        ++at;
    }
    ++at;
    return out;
}

std::uint8_t RateCode(int rate) {
    return rate >= 32000 ? 3 : rate >= 16000 ? 2 : 1;
}

}  // namespace

std::optional<std::vector<Id3Field>> ReadId3Tag(std::span<const std::uint8_t> file) {
    const std::size_t end = Id3Length(file);
    const int version = end != 0 ? file[3] : 0;
    if (version != 3 && version != 4) {
        return std::nullopt;
    }
    std::size_t at = 10;
    if ((file[5] & 0x40) != 0 && at + 4 <= end) {  // an extended header
        const std::uint32_t size = BigEndian(file.subspan(at, 4), version == 4);
        at += version == 4 ? size : 4 + static_cast<std::size_t>(size);
    }
    std::vector<Id3Field> fields;
    while (at + 10 <= end && file[at] != 0) {
        const std::string id(file.begin() + static_cast<std::ptrdiff_t>(at),
                             file.begin() + static_cast<std::ptrdiff_t>(at + 4));
        const std::size_t size = BigEndian(file.subspan(at + 4, 4), version == 4);
        const std::uint8_t flags = file[at + 9];
        at += 10;
        if (size > end - at) {
            break;
        }
        const auto body = file.subspan(at, size);
        at += size;
        // Compressed or encrypted frames, and frames without text, are left out.
        const bool coded = version == 4 ? (flags & 0x0C) != 0 : (flags & 0xC0) != 0;
        if (coded || body.empty() || (id[0] != 'T' && id != "COMM") || id == "TXXX") {
            continue;
        }
        std::size_t pos = 1;
        if (id == "COMM") {
            pos += 3;                  // language
            Text(body, pos, body[0]);  // short description
        }
        fields.push_back({id, Text(body, pos, body[0])});
    }
    return fields;
}

std::shared_ptr<swf::Sound> SoundFromMp3File(std::span<const std::uint8_t> file,
                                             std::string* error) {
    const std::size_t first = detail::FindMp3Frame(file, Id3Length(file));
    if (first >= file.size()) {
        if (error != nullptr) {
            *error = "no MP3 frame in the file";
        }
        return nullptr;
    }
    const detail::Mp3Header head = detail::ParseMp3Header(file.subspan(first));
    std::uint64_t samples = 0;
    std::size_t at = first;
    while (at < file.size()) {
        const detail::Mp3Header h = detail::ParseMp3Header(file.subspan(at));
        if (h.bytes == 0) {
            at = detail::FindMp3Frame(file, at + 1);
            continue;
        }
        samples += static_cast<std::uint64_t>(h.samples);
        at += h.bytes;
    }
    auto sound = std::make_shared<swf::Sound>();
    sound->format = swf::SoundFormat::Mp3;
    sound->rate = RateCode(head.sampleRate);
    sound->is16Bit = true;
    sound->stereo = head.channels == 2;
    sound->sampleCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(samples, UINT32_MAX));
    // DefineSound's layout: the seek samples, then the frames.
    sound->data.reserve(2 + file.size() - first);
    sound->data = {0, 0};
    sound->data.insert(sound->data.end(), file.begin() + static_cast<std::ptrdiff_t>(first),
                       file.end());
    return sound;
}

}  // namespace flash::media
