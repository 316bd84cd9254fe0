// swf_timeline_dump MOVIE: prints a movie's timelines as the runtime sees them (frames, labels,
// display tags, sprites, and action blocks as action names with their literal operands), to
// find out why a corpus case behaves as it does.
#include <cstdio>
#include <string>
#include <variant>

#include "flash/avm1/actions.h"
#include "flash/swf/error.h"
#include "flash/swf/movie.h"

namespace {

using namespace flash;

void PrintActions(const std::vector<std::uint8_t>& bytes, const std::string& indent) {
    avm1::ActionReader reader(bytes);
    std::size_t offset = 0;
    avm1::Action action;
    std::vector<std::string> pool;
    while (reader.Decode(offset, action) == avm1::ActionReader::Status::Ok) {
        std::string name(avm1::ActionName(action.code));
        if (name.empty()) {
            name = "0x" + std::to_string(action.code);
        }
        std::string operands;
        avm1::PayloadReader p(action.payload);
        switch (action.Code()) {
            case avm1::ActionCode::ConstantPool: {
                auto count = p.U16();
                for (int i = 0; count && i < *count; ++i) {
                    auto s = p.CString();
                    if (!s) {
                        break;
                    }
                    pool.emplace_back(*s);
                    operands += " \"" + pool.back() + "\"";
                }
                break;
            }
            case avm1::ActionCode::Push:
                while (!p.AtEnd()) {
                    auto type = p.U8();
                    if (!type) {
                        break;
                    }
                    switch (*type) {
                        case 0: {
                            auto s = p.CString();
                            operands += " \"" + std::string(s ? *s : "") + "\"";
                            break;
                        }
                        case 1:
                            operands += " " + std::to_string(p.Float().value_or(0));
                            break;
                        case 2:
                            operands += " null";
                            break;
                        case 3:
                            operands += " undefined";
                            break;
                        case 4:
                            operands += " r" + std::to_string(p.U8().value_or(0));
                            break;
                        case 5:
                            operands += p.U8().value_or(0) ? " true" : " false";
                            break;
                        case 6:
                            operands += " " + std::to_string(p.Double().value_or(0));
                            break;
                        case 7:
                            operands += " " + std::to_string(
                                                  static_cast<std::int32_t>(p.U32().value_or(0)));
                            break;
                        case 8:
                        case 9: {
                            std::size_t i = *type == 8 ? p.U8().value_or(0) : p.U16().value_or(0);
                            operands += " c:" + (i < pool.size() ? "\"" + pool[i] + "\""
                                                                 : std::to_string(i));
                            break;
                        }
                        default:
                            operands += " ?";
                            break;
                    }
                }
                break;
            case avm1::ActionCode::GotoFrame:
                operands = " " + std::to_string(p.U16().value_or(0));
                break;
            case avm1::ActionCode::GoToLabel:
            case avm1::ActionCode::SetTarget:
                operands = " \"" + std::string(p.CString().value_or("")) + "\"";
                break;
            case avm1::ActionCode::GetURL: {
                std::string url(p.CString().value_or(""));
                operands = " \"" + url + "\" \"" + std::string(p.CString().value_or("")) + "\"";
                break;
            }
            case avm1::ActionCode::DefineFunction:
            case avm1::ActionCode::DefineFunction2:
                operands = " " + std::string(p.CString().value_or(""));
                break;
            default:
                break;
        }
        std::printf("%s%s%s\n", indent.c_str(), name.c_str(), operands.c_str());
        offset = action.next;
    }
}

const char* CharacterKind(const swf::Character& c) {
    static const char* const kNames[] = {"shape",    "morph",  "bitmap", "font",  "text",
                                         "edittext", "sprite", "button", "sound", "video"};
    return kNames[c.index()];
}

void PrintFrames(const std::vector<swf::Frame>& frames, const std::string& indent) {
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const swf::Frame& frame = frames[f];
        std::printf("%sframe %zu%s\n", indent.c_str(), f + 1, frame.shown ? "" : " (not shown)");
        for (const auto& label : frame.labels) {
            std::printf("%s  label \"%s\"\n", indent.c_str(), label.name.c_str());
        }
        for (const auto& tag : frame.tags) {
            std::string in = indent + "  ";
            if (auto d = std::get_if<swf::DefineCharacter>(&tag)) {
                std::printf("%sdefine %s %d\n", in.c_str(), CharacterKind(d->character), d->id);
                if (auto s = std::get_if<std::shared_ptr<const swf::Sprite>>(&d->character)) {
                    std::printf("%s  (%d frames declared)\n", in.c_str(), (*s)->frameCount);
                    PrintFrames((*s)->frames, in + "  ");
                }
            } else if (auto p = std::get_if<swf::PlaceObject>(&tag)) {
                std::printf(
                    "%splace%d depth %d%s%s%s%s%s\n", in.c_str(), p->version, p->depth,
                    p->move ? " move" : "",
                    p->characterId ? (" id " + std::to_string(*p->characterId)).c_str() : "",
                    p->name ? (" name \"" + *p->name + "\"").c_str() : "",
                    p->clipDepth ? (" clip " + std::to_string(*p->clipDepth)).c_str() : "",
                    p->matrix ? (" at " + std::to_string(p->matrix->tx / 20) + "," +
                                 std::to_string(p->matrix->ty / 20))
                                    .c_str()
                              : "");
                for (const auto& ca : p->clipActions) {
                    std::printf("%s  onClipEvent 0x%x\n", in.c_str(), ca.events);
                    PrintActions(ca.actions, in + "    ");
                }
            } else if (auto r = std::get_if<swf::RemoveObject>(&tag)) {
                std::printf("%sremove depth %d\n", in.c_str(), r->depth);
            } else if (auto a = std::get_if<swf::DoAction>(&tag)) {
                std::printf("%sdoaction\n", in.c_str());
                PrintActions(a->actions, in + "  ");
            } else if (auto i = std::get_if<swf::DoInitAction>(&tag)) {
                std::printf("%sinitaction %d\n", in.c_str(), i->spriteId);
                PrintActions(i->actions, in + "  ");
            } else if (auto e = std::get_if<swf::ExportAssets>(&tag)) {
                for (const auto& asset : e->assets) {
                    std::printf("%sexport %d \"%s\"\n", in.c_str(), asset.id, asset.name.c_str());
                }
            } else if (std::get_if<swf::SetBackgroundColor>(&tag)) {
                std::printf("%sbackground\n", in.c_str());
            } else {
                std::printf("%stag #%zu\n", in.c_str(), tag.index());
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: swf_timeline_dump MOVIE\n");
        return 2;
    }
    try {
        swf::Movie movie = swf::LoadMovie(argv[1]);
        std::printf("version %d, %d frames declared, %.2f fps\n", movie.header.version,
                    movie.header.frameCount, movie.header.FramesPerSecond());
        for (const auto& d : movie.diagnostics) {
            std::printf("note at %zu (tag %d): %s\n", d.offset, d.tagCode, d.message.c_str());
        }
        PrintFrames(movie.frames, "");
    } catch (const swf::ParseError& e) {
        std::fprintf(stderr, "swf_timeline_dump: %s\n", e.what());
        return 3;
    }
    return 0;
}
