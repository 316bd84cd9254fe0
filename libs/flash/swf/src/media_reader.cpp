// DefineSound, SOUNDINFO, SoundStreamHead 1-2, DefineButton 1-2 with DefineButtonCxform and
// DefineButtonSound, and DefineVideoStream.

#include <algorithm>

#include "flash/swf/error.h"
#include "parsers.h"

namespace flash::swf {

int SoundRateHz(std::uint8_t rateCode) {
    static constexpr int kRates[4] = {5512, 11025, 22050, 44100};
    return kRates[rateCode & 3];
}

namespace detail {
namespace {

SoundFormat ToSoundFormat(unsigned code) {
    return static_cast<SoundFormat>(code);
}

// The button records up to their end flag; version 2 records carry a colour transform and
// may carry filters and a blend mode.
std::vector<ButtonRecord> ReadButtonRecords(BitReader& r, int version) {
    std::vector<ButtonRecord> records;
    for (;;) {
        const std::uint8_t flags = r.ReadU8();
        if (flags == 0) {
            break;
        }
        ButtonRecord rec;
        rec.states = flags & 0x0F;
        rec.characterId = r.ReadU16();
        rec.depth = r.ReadU16();
        rec.matrix = r.ReadMatrix();
        if (version >= 2) {
            rec.colorTransform = r.ReadColorTransform(true);
            if ((flags & 0x10) != 0) {
                rec.filters = ReadFilterList(r);
            }
            if ((flags & 0x20) != 0) {
                const std::uint8_t b = r.ReadU8();
                rec.blendMode = b >= 1 && b <= 14 ? static_cast<BlendMode>(b) : BlendMode::Normal;
            }
        }
        records.push_back(std::move(rec));
    }
    return records;
}

std::vector<std::uint8_t> Copy(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

}  // namespace

Sound ReadSound(BitReader& r) {
    Sound s;
    s.format = ToSoundFormat(r.ReadUB(4));
    s.rate = static_cast<std::uint8_t>(r.ReadUB(2));
    s.is16Bit = r.ReadFlag();
    s.stereo = r.ReadFlag();
    s.sampleCount = r.ReadU32();
    s.data = Copy(r.ReadRest());
    return s;
}

SoundInfo ReadSoundInfo(BitReader& r) {
    SoundInfo info;
    const std::uint8_t flags = r.ReadU8();
    info.syncStop = (flags & 0x20) != 0;
    info.syncNoMultiple = (flags & 0x10) != 0;
    if ((flags & 0x01) != 0) {
        info.inPoint = r.ReadU32();
    }
    if ((flags & 0x02) != 0) {
        info.outPoint = r.ReadU32();
    }
    if ((flags & 0x04) != 0) {
        info.loopCount = r.ReadU16();
    }
    if ((flags & 0x08) != 0) {
        const std::uint8_t points = r.ReadU8();
        for (unsigned i = 0; i < points; ++i) {
            SoundEnvelopePoint p;
            p.pos44 = r.ReadU32();
            p.leftLevel = r.ReadU16();
            p.rightLevel = r.ReadU16();
            info.envelope.push_back(p);
        }
    }
    return info;
}

SoundStreamHead ReadSoundStreamHead(BitReader& r, int version) {
    SoundStreamHead h;
    h.version = version;
    r.ReadUB(4);
    h.playbackRate = static_cast<std::uint8_t>(r.ReadUB(2));
    h.playbackIs16Bit = r.ReadFlag();
    h.playbackStereo = r.ReadFlag();
    h.format = ToSoundFormat(r.ReadUB(4));
    h.rate = static_cast<std::uint8_t>(r.ReadUB(2));
    h.is16Bit = r.ReadFlag();
    h.stereo = r.ReadFlag();
    h.sampleCount = r.ReadU16();
    // Some writers leave out the latency field.
    if (h.format == SoundFormat::Mp3 && r.remaining() >= 2) {
        h.latencySeek = r.ReadS16();
    }
    return h;
}

Button ReadButton(BitReader& r, int version) {
    Button b;
    b.version = version;
    if (version == 1) {
        b.records = ReadButtonRecords(r, 1);
        ButtonAction a;
        a.conditions = kCondOverDownToOverUp;
        a.actions = Copy(r.ReadRest());
        b.actions.push_back(std::move(a));
        return b;
    }
    b.trackAsMenu = (r.ReadU8() & 0x01) != 0;
    const std::size_t offsetField = r.position();
    const std::uint16_t actionOffset = r.ReadU16();
    b.records = ReadButtonRecords(r, 2);
    if (actionOffset == 0) {
        return b;
    }
    std::size_t at = offsetField + actionOffset;
    // Each condition action starts with the offset of the next one (0 for the last).
    while (at < r.size()) {
        r.Seek(at);
        const std::uint16_t next = r.ReadU16();
        ButtonAction a;
        const std::uint16_t conditions = r.ReadU16();
        // Stored as eight condition bits, then the 7-bit key code and the ninth bit.
        const std::uint16_t bits =
            static_cast<std::uint16_t>((conditions & 0xFF) << 8 | (conditions >> 8));
        a.conditions = static_cast<std::uint16_t>(bits & 0xFF01);
        a.keyCode = static_cast<std::uint8_t>((bits >> 1) & 0x7F);
        const std::size_t end = next == 0 ? r.size() : std::min(r.size(), at + next);
        if (end < r.position()) {
            throw ParseError("button condition action overlaps the next");
        }
        a.actions = Copy(r.ReadBytes(end - r.position()));
        b.actions.push_back(std::move(a));
        if (next == 0) {
            break;
        }
        at += next;
    }
    return b;
}

void ReadButtonCxform(BitReader& r, Button& button) {
    button.colorTransform = r.ReadColorTransform(false);
}

void ReadButtonSound(BitReader& r, Button& button) {
    for (ButtonSound& s : button.sounds) {
        if (r.AtEnd()) {
            break;
        }
        s.soundId = r.ReadU16();
        if (s.soundId != 0) {
            s.info = ReadSoundInfo(r);
        }
    }
}

VideoStream ReadVideoStream(BitReader& r) {
    VideoStream v;
    v.frameCount = r.ReadU16();
    v.width = r.ReadU16();
    v.height = r.ReadU16();
    const std::uint8_t flags = r.ReadU8();
    v.deblocking = (flags >> 1) & 0x07;
    v.smoothing = (flags & 0x01) != 0;
    v.codec = static_cast<VideoCodec>(r.ReadU8());
    return v;
}

}  // namespace detail
}  // namespace flash::swf
