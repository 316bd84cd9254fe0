#include "runtime/runtime.h"
#include "script/sound.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "display/button_object.h"
#include "display/display_object.h"
#include "display/movie_clip.h"
#include "display/text_field.h"
#include "display/video_object.h"
#include "flash/avm1/convert.h"
#include "input/keyboard_input.h"
#include "input/mouse_input.h"
#include "net/data_loads.h"
#include "runtime/movie_data.h"
#include "runtime/movie_source.h"
#include "runtime/script_engine.h"
#include "script/avm1_engine.h"
#include "script/net_stream.h"
#include "script/shared_object.h"

namespace flash {

namespace {

// Script depths (attachMovie, duplicateMovieClip) sit above the timeline's: depth 0 of a
// script is 16384 on the display list, as Flash lays them out.
constexpr int kScriptDepthBase = 16384;
constexpr int kMaxScriptDepth = 1048575;
// Clips sitting at or above this display list depth cannot be removed by script.
constexpr int kMaxRemovableDepth = 2130706415;
// Queued action blocks of one frame beyond which a movie is taken to be looping on itself.
constexpr std::size_t kMaxQueuedActions = 100000;

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

namespace {

// Inside a clip that left the timeline and waits for its unload handler.
bool InUnloadingClip(const DisplayObject& object) {
    for (const DisplayObject* o = &object; o != nullptr; o = o->Container()) {
        const MovieClip* clip = o->AsClip();
        if (clip != nullptr && clip->Unloading()) {
            return true;
        }
    }
    return false;
}

avm1::Limits ScriptLimits(const PlayerLimits& limits) {
    avm1::Limits l;
    l.instructionBudget = std::min<std::uint64_t>(l.instructionBudget, limits.actionsPerFrame);
    return l;
}

}  // namespace

Runtime::Runtime(const PlayerLimits& limits)
    : limits_(limits),
      soundScript_(std::make_unique<SoundScript>(*this)),
      netStreams_(std::make_unique<NetStreamScript>(*this)),
      dataLoads_(std::make_unique<DataLoads>(*this)),
      sharedObjects_(std::make_unique<SharedObjects>(*this)),
      mouse_(std::make_unique<MouseInput>(*this)),
      keyboard_(std::make_unique<KeyboardInput>(*this)) {
    auto avm1 = std::make_unique<Avm1Engine>(*this, ScriptLimits(limits));
    vm_ = &avm1->Vm();
    scripts_ = std::move(avm1);
}

Runtime::~Runtime() {
    sharedObjects_->CloseAll();
    for (auto& [level, root] : levels_) {
        ReleaseScripts(*root);
    }
    levels_.clear();
    for (auto& lane : lanes_) {
        lane.clear();
    }
    EmptyGraveyard();
}

void Runtime::ReportError(const std::string& message) {
    if (listener_ != nullptr) {
        listener_->OnScriptError(message);
    }
}

void Runtime::Load(int level, std::shared_ptr<const swf::Movie> movie, const std::string& url,
                   bool play) {
    if (level < 0 || level >= limits_.maxLevels) {
        throw FlashError("no such layer: " + std::to_string(level));
    }
    Unload(level);
    if (level == 0) {
        timeMs_ = 0;
        pages_.Reset();
    }
    auto data = NewMovieData(std::move(movie), url);
    if (level == 0) {
        const swf::ScriptLimits own = data->Limits();
        vm_->SetScriptLimits(own.maxRecursionDepth, own.scriptTimeoutSeconds * 1000.0);
    }
    auto root = std::make_unique<MovieClip>(*this, data, 0, data->RootTimeline());
    root->SetLevel(level);
    root->SetPlaying(play);
    root->SetSequence(++clipSequence_);
    // The first frame is entered by the next tick, so what the host does right after
    // loading (Play, Stop, GotoFrame) comes before the movie's own first actions.
    levels_[level] = std::move(root);
}

void Runtime::Unload(int level) {
    if (level == 0) {
        // A new movie starts in silence, at full volume.
        if (sound_) {
            sound_->StopAll();
            sound_->SetGlobalMix({});
        }
        soundScript_->Reset();
        netStreams_->Reset();
        dataLoads_->Reset();
        sharedObjects_->CloseAll();
        for (auto& [n, root] : levels_) {
            Discard(std::move(root), false);
        }
        levels_.clear();
        return;
    }
    auto it = levels_.find(level);
    if (it != levels_.end()) {
        Discard(std::move(it->second), false);
        levels_.erase(it);
    }
}

MovieClip* Runtime::LevelClip(int level) const {
    auto it = levels_.find(level);
    return it == levels_.end() ? nullptr : it->second.get();
}

double Runtime::FrameRate() const {
    MovieClip* root = LevelClip(0);
    if (root == nullptr) {
        return 12.0;
    }
    double fps = root->Movie().Model().header.FramesPerSecond();
    // A rate of 0 asks for full speed; the screen's usual rate stands for it.
    return fps > 0 ? fps : 60.0;
}

void Runtime::Advance() {
    timeMs_ += 1000.0 / FrameRate();
    frameActionStart_ = scripts_->WorkDone();
    actionBudgetSpent_ = false;
    gotosThisFrame_ = 0;
    // Clips made during this tick enter their first frame when they are made; they do not
    // tick again.
    std::vector<MovieClip*> clips = ClipsNewestFirst();
    QueueEnterFrame(clips);
    for (MovieClip* clip : clips) {
        if (!clip->Removed() && !InUnloadingClip(*clip)) {
            clip->Tick();
        }
    }
    RunActions();
    // A loaded clip's first frame ran: its loader's onLoadInit.
    SendLoadInits();
    RunActions();
    scripts_->RunTimers();
    RunActions();
    // Variables and XML that arrived: onData, onLoad, the data clip event.
    dataLoads_->Dispatch();
    RunActions();
    // Sounds loaded and ended: onID3, onLoad, onSoundComplete.
    soundScript_->Dispatch();
    RunActions();
    // Video streams move on: onStatus, onMetaData, onCuePoint.
    netStreams_->Dispatch();
    RunActions();
    // Things may have moved under the pointer; rolling over them runs scripts too.
    mouse_->FrameDone();
    RunActions();
    // Files asked for during the tick arrive at its end; what loaded shows its first frame in
    // the next tick.
    ProcessPendingLoads();
    RunActions();
    SyncTextFields(*this);
    EmptyGraveyard();
}

bool Runtime::CanChange() {
    if (!pendingLoads_.empty() || !loadInits_.empty() || QueuedCount() > 0 || !graveyard_.empty() ||
        mouse_->Dragged() != nullptr || scripts_->HasTimers() || soundScript_->Pending() ||
        netStreams_->Pending() || dataLoads_->Pending() || (sound_ && sound_->Busy())) {
        return true;
    }
    for (MovieClip* clip : ClipsNewestFirst()) {
        if (clip->Playing() || clip->Frame() < 0) {
            return true;
        }
        const swf::PlaceObject* place = clip->PlacedBy();
        if (place != nullptr && std::any_of(place->clipActions.begin(), place->clipActions.end(),
                                            [](const auto& handler) {
                                                return (handler.events & swf::kClipEnterFrame) != 0;
                                            })) {
            return true;
        }
        if (scripts_->HandlesEnterFrame(*clip)) {
            return true;
        }
    }
    return false;
}

void Runtime::PassIdleFrames(std::int64_t frames) {
    if (frames > 0) {
        timeMs_ += static_cast<double>(frames) * (1000.0 / FrameRate());
    }
}

void Runtime::Settle() {
    BeginEvent();
    RunActions();
    SyncTextFields(*this);
    EmptyGraveyard();
}

void Runtime::BeginEvent() {
    frameActionStart_ = scripts_->WorkDone();
    actionBudgetSpent_ = false;
    gotosThisFrame_ = 0;
}

Point Runtime::MouseIn(const DisplayObject& object) const {
    // Flash measures from where the object is drawn: its offset snapped to whole pixels of
    // the view.
    Matrix toView = mouse_->ViewMatrix() * object.ToStage();
    toView.tx = std::nearbyint(toView.tx);
    toView.ty = std::nearbyint(toView.ty);
    std::optional<Matrix> inverse = toView.Inverted();
    if (!inverse) {
        // Through a zero scale Flash gives the view position as if it were twips.
        return mouse_->ViewPosition();
    }
    // Whole twips, as Flash keeps the inverse's offset and the result.
    inverse->tx = std::nearbyint(inverse->tx);
    inverse->ty = std::nearbyint(inverse->ty);
    Point p = inverse->Apply(mouse_->ViewPosition());
    return Point{std::nearbyint(p.x), std::nearbyint(p.y)};
}

void Runtime::StartSound(const MovieData& movie, std::uint16_t soundId,
                         const swf::SoundInfo& info) {
    const swf::Character* c = movie.Character(soundId);
    const auto* sound = c != nullptr ? std::get_if<std::shared_ptr<const swf::Sound>>(c) : nullptr;
    if (sound != nullptr && *sound) {
        Sound().StartSound(*sound, info);
    }
}

void Runtime::StartDrag(avm1::Clip& clip, bool lockCenter, std::optional<avm1::DragRect> rect) {
    if (auto* movieClip = dynamic_cast<MovieClip*>(&clip); movieClip && !movieClip->Removed()) {
        mouse_->StartDrag(*movieClip, lockCenter, rect);
    }
}

void Runtime::StopDrag() {
    mouse_->StopDrag();
}

bool Runtime::AllowGoto() {
    if (gotosThisFrame_ >= limits_.maxGotoPerFrame) {
        if (gotosThisFrame_ == limits_.maxGotoPerFrame) {
            ReportError("too many frame jumps in one frame; the rest are ignored");
            ++gotosThisFrame_;
        }
        return false;
    }
    ++gotosThisFrame_;
    return true;
}

std::shared_ptr<MovieData> Runtime::NewMovieData(std::shared_ptr<const swf::Movie> movie,
                                                 const std::string& url) {
    auto data = std::make_shared<MovieData>(std::move(movie), url);
    BindImports(*data, 0);
    return data;
}

void Runtime::BindImports(MovieData& data, int depth) {
    for (const auto& frame : data.Model().frames) {
        for (const auto& tag : frame.tags) {
            const auto* imports = std::get_if<swf::ImportAssets>(&tag);
            if (imports == nullptr || imports->url.empty()) {
                continue;
            }
            std::shared_ptr<MovieData> library =
                LoadLibrary(ResolveMovieUrl(imports->url, data.Url()), depth + 1);
            if (!library) {
                continue;
            }
            for (const auto& asset : imports->assets) {
                avm1::String name = data.ScriptText(asset.name);
                if (std::optional<std::uint16_t> id = library->ExportedId(name)) {
                    data.BindImport(asset.id, name, library, *id);
                }
            }
            data.AddLibrary(imports->url, std::move(library));
        }
    }
}

std::shared_ptr<MovieData> Runtime::LoadLibrary(const std::string& url, int depth) {
    constexpr int kMaxLibraryDepth = 8;
    if (auto it = libraries_.find(url); it != libraries_.end()) {
        if (std::shared_ptr<MovieData> loaded = it->second.lock()) {
            return loaded;
        }
    }
    // A library importing itself, directly or around a circle, gets nothing the second time.
    if (depth > kMaxLibraryDepth || std::find(librariesLoading_.begin(), librariesLoading_.end(),
                                              url) != librariesLoading_.end()) {
        return nullptr;
    }
    std::shared_ptr<const swf::Movie> movie;
    try {
        movie = ReadMovieFile(url, limits_);
    } catch (const FlashError&) {
        // As in Flash, a missing library leaves its symbols out without an error.
        return nullptr;
    }
    if (movie->hasAttributes && movie->attributes.actionScript3) {
        return nullptr;
    }
    auto data = std::make_shared<MovieData>(std::move(movie), url);
    librariesLoading_.push_back(url);
    BindImports(*data, depth);
    librariesLoading_.pop_back();
    libraries_[url] = data;
    return data;
}

void Runtime::QueueImportInits(MovieClip& clip, const swf::ImportAssets& tag) {
    MovieData* library = clip.Movie().Library(tag.url);
    if (library == nullptr) {
        return;
    }
    // Every init action block of the library runs, on the clip that imported it, once.
    for (const auto& frame : library->Model().frames) {
        for (const auto& libraryTag : frame.tags) {
            const auto* init = std::get_if<swf::DoInitAction>(&libraryTag);
            if (init == nullptr || !library->TakeInitActions(init->spriteId) ||
                QueuedCount() >= kMaxQueuedActions) {
                continue;
            }
            QueuedAction action;
            action.owner = &clip;
            action.target = &clip;
            action.code = avm1::ActionBytes(library->Shared(), &init->actions);
            action.version = library->Version();
            LaneQueue(Lane::Init).push_back(std::move(action));
        }
    }
}

std::unique_ptr<DisplayObject> Runtime::Instantiate(const std::shared_ptr<MovieData>& importer,
                                                    std::uint16_t importedId,
                                                    const DisplayObject& parent) {
    // An imported symbol is made from its library, where its own ids make sense.
    auto [movie, characterId] = DefiningMovie(importer, importedId);
    const swf::Character* character = movie->Character(characterId);
    if (character == nullptr || !IsDisplayable(*character)) {
        return nullptr;
    }
    if (liveObjects_ >= limits_.maxDisplayObjects) {
        if (!objectLimitReported_) {
            ReportError("too many display objects; no more are made");
            objectLimitReported_ = true;
        }
        return nullptr;
    }
    if (const auto* sprite = std::get_if<std::shared_ptr<const swf::Sprite>>(character)) {
        if (!*sprite || parent.NestingDepth() + 1 >= limits_.maxNestingDepth) {
            return nullptr;
        }
        return std::make_unique<MovieClip>(*this, movie, characterId,
                                           movie->SpriteTimeline(**sprite));
    }
    if (const auto* button = std::get_if<std::shared_ptr<const swf::Button>>(character)) {
        if (!*button || parent.NestingDepth() + 1 >= limits_.maxNestingDepth) {
            return nullptr;
        }
        return std::make_unique<ButtonObject>(*this, movie, characterId, **button);
    }
    if (const auto* edit = std::get_if<std::shared_ptr<const swf::EditText>>(character)) {
        if (*edit) {
            return std::make_unique<TextFieldObject>(*this, movie, characterId, *edit);
        }
    }
    if (const auto* video = std::get_if<std::shared_ptr<const swf::VideoStream>>(character)) {
        if (*video) {
            return std::make_unique<VideoObject>(*this, movie, characterId, *video);
        }
    }
    return std::make_unique<GraphicObject>(*this, movie, characterId, *character);
}

void Runtime::ObjectPlaced(DisplayObject& object) {
    if (auto* video = dynamic_cast<VideoObject*>(&object)) {
        netStreams_->VideoPlaced(*video);
    }
    if (MovieClip* clip = object.AsClip()) {
        ClipCreated(*clip);
    } else if (ButtonObject* button = object.AsButton()) {
        button->SetState(ButtonObject::State::Up);
    } else if (auto* field = dynamic_cast<TextFieldObject*>(&object)) {
        field->Placed();
    }
}

std::size_t Runtime::QueuedCount() const {
    std::size_t n = 0;
    for (const auto& lane : lanes_) {
        n += lane.size();
    }
    return n;
}

std::deque<Runtime::QueuedAction>& Runtime::LaneQueue(Lane lane) {
    return lanes_[static_cast<std::size_t>(lane)];
}

void Runtime::QueueActions(MovieClip& clip, const std::vector<std::uint8_t>& code, Lane lane) {
    if (QueuedCount() >= kMaxQueuedActions) {
        if (!actionBudgetSpent_) {
            ReportError("too many queued actions in one frame; the rest are dropped");
            actionBudgetSpent_ = true;
        }
        return;
    }
    QueueActionsFor(clip, clip, code, lane);
}

void Runtime::QueueActionsFor(DisplayObject& owner, avm1::Clip& target,
                              const std::vector<std::uint8_t>& code, Lane lane) {
    if (QueuedCount() >= kMaxQueuedActions) {
        if (!actionBudgetSpent_) {
            ReportError("too many queued actions in one frame; the rest are dropped");
            actionBudgetSpent_ = true;
        }
        return;
    }
    // Shares the movie's ownership, so functions defined in the code outlive the frame.
    avm1::ActionBytes bytes(owner.Movie().Shared(), &code);
    QueuedAction action;
    action.owner = &owner;
    action.target = &target;
    action.code = std::move(bytes);
    action.version = owner.Movie().Version();
    LaneQueue(lane).push_back(std::move(action));
}

void Runtime::QueueMethod(DisplayObject& object, avm1::StringView name, Lane lane,
                          bool evenIfRemoved, std::vector<avm1::Value> args) {
    avm1::Clip* target = object.ScriptClip();
    if (target == nullptr || QueuedCount() >= kMaxQueuedActions) {
        return;
    }
    QueuedAction action;
    action.owner = &object;
    action.target = target;
    action.version = object.Movie().Version();
    action.method = avm1::String(name);
    action.evenIfRemoved = evenIfRemoved;
    action.args = std::move(args);
    LaneQueue(lane).push_back(std::move(action));
}

void Runtime::QueueClipEvent(MovieClip& clip, std::uint32_t event, Lane lane, bool evenIfRemoved,
                             std::uint8_t keyCode) {
    const swf::PlaceObject* place = clip.PlacedBy();
    if (place == nullptr) {
        return;
    }
    for (const auto& handler : place->clipActions) {
        if ((handler.events & event) == 0 || QueuedCount() >= kMaxQueuedActions) {
            continue;
        }
        if (event == swf::kClipKeyPress && handler.keyCode != keyCode) {
            continue;
        }
        QueuedAction action;
        action.owner = &clip;
        action.target = &clip;
        action.code = avm1::ActionBytes(clip.Movie().Shared(), &handler.actions);
        action.version = clip.Movie().Version();
        action.evenIfRemoved = evenIfRemoved;
        LaneQueue(lane).push_back(std::move(action));
    }
}

void Runtime::QueueBroadcast(avm1::StringView broadcaster, avm1::StringView event,
                             std::vector<avm1::Value> args) {
    MovieClip* root = LevelClip(0);
    if (root == nullptr || QueuedCount() >= kMaxQueuedActions) {
        return;
    }
    QueuedAction action;
    action.version = root->Movie().Version();
    action.method = avm1::String(event);
    action.broadcaster = avm1::String(broadcaster);
    action.args = std::move(args);
    LaneQueue(Lane::Frame).push_back(std::move(action));
}

void Runtime::RunQueued() {
    RunActions();
}

void Runtime::ClipCreated(MovieClip& clip, const std::function<void(MovieClip&)>& prepare) {
    clip.SetSequence(++clipSequence_);
    QueueClipEvent(clip, swf::kClipInitialize, Lane::Initialize, false);
    // The class registered for the symbol is looked up once the init actions ran: the clip
    // takes its prototype before its construct event and runs its constructor after it.
    QueueClassStep(clip, QueuedAction::ClassStep::Bind);
    QueueClipEvent(clip, swf::kClipConstruct, Lane::Construct, false);
    QueueClassStep(clip, QueuedAction::ClassStep::Construct);
    if (prepare) {
        prepare(clip);
    }
    clip.EnterFirstFrame();
}

void Runtime::QueueClassStep(MovieClip& clip, QueuedAction::ClassStep step) {
    if (clip.CharacterId() == 0 || clip.Movie().ExportName(clip.CharacterId()) == nullptr ||
        QueuedCount() >= kMaxQueuedActions) {
        return;
    }
    QueuedAction action;
    action.owner = &clip;
    action.target = &clip;
    action.version = clip.Movie().Version();
    action.classStep = step;
    LaneQueue(Lane::Construct).push_back(std::move(action));
}

void Runtime::RunClassStep(const QueuedAction& action) {
    auto* clip = static_cast<MovieClip*>(action.owner);
    const avm1::String* name = clip->Movie().ExportName(clip->CharacterId());
    avm1::Object* constructor = name ? vm_->RegisteredClass(*name, action.version) : nullptr;
    if (constructor == nullptr) {
        return;
    }
    avm1::Object* self = vm_->ObjectOf(*clip);
    if (action.classStep == QueuedAction::ClassStep::Bind) {
        if (avm1::Object* proto = vm_->Get(constructor, u"prototype", action.version).AsObject()) {
            self->SetProto(proto);
        }
        vm_->Define(self, u"__constructor__", avm1::Value::Obj(constructor), avm1::kDontEnum);
        return;
    }
    vm_->Call(avm1::Value::Obj(constructor), avm1::Value::Obj(self), {}, action.version);
}

MovieClip* Runtime::AttachClip(MovieClip& parent, std::uint16_t spriteId, const avm1::String& name,
                               int depth, const std::function<void(MovieClip&)>& prepare) {
    const swf::Character* character = parent.Movie().Character(spriteId);
    if (character == nullptr ||
        !std::holds_alternative<std::shared_ptr<const swf::Sprite>>(*character)) {
        return nullptr;
    }
    std::unique_ptr<DisplayObject> object = Instantiate(parent.SharedMovie(), spriteId, parent);
    if (!object) {
        return nullptr;
    }
    object->SetInstanceName(name);
    auto* clip = static_cast<MovieClip*>(parent.Insert(std::move(object), depth));
    ClipCreated(*clip, prepare);
    return clip;
}

MovieClip* Runtime::CreateEmptyClip(MovieClip& parent, const avm1::String& name, int depth) {
    static const std::vector<swf::Frame> kNoFrames;
    static const Timeline kEmpty(kNoFrames, 6);
    if (liveObjects_ >= limits_.maxDisplayObjects ||
        parent.NestingDepth() + 1 >= limits_.maxNestingDepth) {
        return nullptr;
    }
    auto object = std::make_unique<MovieClip>(*this, parent.SharedMovie(), 0, kEmpty);
    object->SetInstanceName(name);
    auto* clip = static_cast<MovieClip*>(parent.Insert(std::move(object), depth));
    ClipCreated(*clip);
    return clip;
}

void Runtime::QueueLoadEvent(MovieClip& clip) {
    QueueClipEvent(clip, swf::kClipLoad, Lane::Frame, false);
    QueueMethod(clip, u"onLoad", Lane::Frame, false);
}

std::vector<MovieClip*> Runtime::ClipsNewestFirst() const {
    std::vector<MovieClip*> all;
    for (const auto& [n, root] : levels_) {
        std::vector<MovieClip*> clips;
        std::vector<DisplayObject*> pending{root.get()};
        while (!pending.empty()) {
            DisplayObject* object = pending.back();
            pending.pop_back();
            if (MovieClip* clip = object->AsClip()) {
                // A clip waiting for its unload handler hears nothing else.
                if (clip->Unloading()) {
                    continue;
                }
                clips.push_back(clip);
            }
            object->ForEachChild([&pending](DisplayObject& child) {
                if (child.GetDisplayKind() != DisplayObject::DisplayKind::Graphic) {
                    pending.push_back(&child);
                }
            });
        }
        // Flash keeps the clips of a movie in a list with the newest first and walks it in
        // that order; levels go from the lowest up.
        std::sort(clips.begin(), clips.end(), [](const MovieClip* a, const MovieClip* b) {
            return a->Sequence() > b->Sequence();
        });
        all.insert(all.end(), clips.begin(), clips.end());
    }
    return all;
}

void Runtime::QueueEnterFrame(const std::vector<MovieClip*>& clips) {
    for (MovieClip* clip : clips) {
        if (clip->Frame() >= 0) {
            QueueClipEvent(*clip, swf::kClipEnterFrame, Lane::Frame, false);
            QueueMethod(*clip, u"onEnterFrame", Lane::Frame, false);
        }
    }
}

void Runtime::RunActions() {
    for (;;) {
        QueuedAction* next = nullptr;
        std::deque<QueuedAction>* lane = nullptr;
        for (auto& l : lanes_) {
            if (!l.empty()) {
                lane = &l;
                next = &l.front();
                break;
            }
        }
        if (next == nullptr) {
            break;
        }
        if (actionBudgetSpent_) {
            for (auto& l : lanes_) {
                l.clear();
            }
            break;
        }
        QueuedAction action = std::move(*next);
        lane->pop_front();
        if (action.owner != nullptr && !action.evenIfRemoved &&
            (action.owner->Removed() || InUnloadingClip(*action.owner))) {
            continue;
        }
        if (action.classStep != QueuedAction::ClassStep::None) {
            RunClassStep(action);
        } else if (action.finishRemoval) {
            MovieClip* parent = action.owner->ParentClip();
            if (!action.owner->Removed() && parent != nullptr &&
                parent->ChildAt(action.owner->Depth()) == action.owner) {
                parent->RemoveAt(action.owner->Depth(), false);
            }
        } else if (!action.broadcaster.empty()) {
            scripts_->Broadcast(action.broadcaster, action.method, action.args, action.version);
        } else if (action.code) {
            scripts_->RunCode(action.code, *action.target, action.version);
        } else {
            scripts_->CallHandler(*action.target, action.method, action.args, action.version);
        }
        if (scripts_->WorkDone() - frameActionStart_ > limits_.actionsPerFrame) {
            ReportError("scripts ran too long in one frame; the rest are skipped");
            actionBudgetSpent_ = true;
        }
    }
}

void Runtime::QueueUnload(DisplayObject& object) {
    object.ForEachChild([this](DisplayObject& child) { QueueUnload(child); });
    if (MovieClip* clip = object.AsClip()) {
        QueueClipEvent(*clip, swf::kClipUnload, Lane::Frame, true);
        QueueMethod(*clip, u"onUnload", Lane::Frame, true);
    }
}

bool Runtime::HasUnloadHandler(MovieClip& clip) {
    const swf::PlaceObject* place = clip.PlacedBy();
    if (place != nullptr &&
        std::any_of(place->clipActions.begin(), place->clipActions.end(),
                    [](const auto& handler) { return (handler.events & swf::kClipUnload) != 0; })) {
        return true;
    }
    return scripts_->HasHandler(clip, u"onUnload");
}

void Runtime::QueueUnloadThenRemove(MovieClip& clip) {
    QueueUnload(clip);
    QueuedAction action;
    action.owner = &clip;
    action.target = &clip;
    action.finishRemoval = true;
    action.evenIfRemoved = true;
    LaneQueue(Lane::Frame).push_back(std::move(action));
}

namespace {

void MarkTreeRemoved(DisplayObject& object) {
    object.MarkRemoved();
    object.ForEachChild([](DisplayObject& child) { MarkTreeRemoved(child); });
}

}  // namespace

void Runtime::Discard(std::unique_ptr<DisplayObject> object, bool events) {
    if (events) {
        QueueUnload(*object);
    }
    MarkTreeRemoved(*object);
    graveyard_.push_back(std::move(object));
    if (events) {
        keyboard_->CheckRemovedFocus();
    }
}

void Runtime::ReleaseScripts(DisplayObject& object) {
    object.ForEachChild([this](DisplayObject& child) { ReleaseScripts(child); });
    mouse_->Forget(object);
    keyboard_->Forget(object);
    if (avm1::Clip* clip = object.ScriptClip()) {
        scripts_->ObjectRemoved(*clip);
    }
}

void Runtime::EmptyGraveyard() {
    while (!graveyard_.empty()) {
        std::vector<std::unique_ptr<DisplayObject>> dead;
        dead.swap(graveyard_);
        for (auto& object : dead) {
            ReleaseScripts(*object);
        }
    }
}

avm1::String Runtime::NextInstanceName() {
    std::string name = "instance" + std::to_string(++instanceCounter_);
    return avm1::String(name.begin(), name.end());
}

bool Runtime::ShowMenu() {
    MovieClip* root = LevelClip(0);
    int version = root != nullptr ? root->SwfVersion() : 7;
    return scripts_->ShowMenu(version);
}

avm1::String Runtime::QualityName() const {
    switch (quality_) {
        case Quality::Low:
            return u"LOW";
        case Quality::Medium:
            return u"MEDIUM";
        case Quality::High:
            break;
    }
    return u"HIGH";
}

void Runtime::SetQualityName(avm1::StringView name) {
    if (std::optional<Quality> q = ParseQuality(avm1::ToUtf8(name))) {
        quality_ = *q;
    }
}

avm1::Clip* Runtime::Level(int level) {
    return LevelClip(level);
}

void Runtime::Trace(const avm1::String& text) {
    if (listener_ != nullptr) {
        listener_->OnTrace(avm1::ToUtf8(text));
    }
}

double Runtime::Random() {
    return std::uniform_real_distribution<double>(0.0, 1.0)(random_);
}

void Runtime::GetUrl(const avm1::UrlRequest& request) {
    std::string url = avm1::ToUtf8(request.url);
    std::string target = avm1::ToUtf8(request.target);
    if (StartsWithNoCase(url, "fscommand:")) {
        if (listener_ != nullptr) {
            listener_->OnFsCommand(url.substr(10), target);
        }
        return;
    }
    if (request.targetLevel || request.loadTarget) {
        LoadFromScript(request);
        return;
    }
    if (listener_ == nullptr || url.empty()) {
        return;
    }
    if (StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://")) {
        if (pages_.Take()) {
            listener_->OnOpenPage(url, target);
        } else if (pages_.FirstRefusal()) {
            listener_->OnPageRefused(url, target);
        }
    } else {
        listener_->OnOtherUrl(url, target);
    }
}

void Runtime::LoadData(const avm1::DataRequest& request) {
    dataLoads_->Load(request);
}

void Runtime::ReportLoad(const LoadRequest& request) {
    if (listener_ != nullptr) {
        listener_->OnLoadRequest(request);
    }
}

void Runtime::LoadFromScript(const avm1::UrlRequest& request) {
    if (request.loadVariables) {
        dataLoads_->LoadVariables(request);
        return;
    }
    std::string url = avm1::ToUtf8(request.url);
    if (request.targetLevel) {
        int level = *request.targetLevel;
        if (level < 0 || level >= limits_.maxLevels) {
            return;
        }
        // Loading happens between frames, as it does in Flash; an empty address unloads.
        const MovieClip* source = dynamic_cast<MovieClip*>(request.source);
        std::string base = source != nullptr ? source->Movie().Url()
                                             : (LevelClip(0) ? LevelClip(0)->Movie().Url() : "");
        pendingLoads_.push_back({level, url.empty() ? std::string() : ResolveMovieUrl(url, base),
                                 std::string(), avm1::Root(request.loader), avm1::Root()});
        return;
    }
    auto* target = dynamic_cast<MovieClip*>(request.targetClip);
    if (target == nullptr || target->Removed()) {
        return;
    }
    // The clip is found again by its path when the load happens: it may be gone by then.
    const MovieClip* source = dynamic_cast<MovieClip*>(request.source);
    std::string base = source != nullptr ? source->Movie().Url() : target->Movie().Url();
    pendingLoads_.push_back({target->Level(),
                             url.empty() ? std::string() : ResolveMovieUrl(url, base),
                             avm1::ToUtf8(vm_->DotPath(*target)), avm1::Root(request.loader),
                             avm1::Root(vm_->ObjectOf(*target))});
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// A part of a query string with %XX and '+' decoded.
std::string UrlDecode(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '+') {
            out += ' ';
        } else if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 &&
                   HexDigit(s[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

void Runtime::Broadcast(avm1::Object* loader, avm1::StringView event,
                        std::vector<avm1::Value> args) {
    args.insert(args.begin(), avm1::Value::Str(avm1::String(event)));
    vm_->CallMethod(loader, u"broadcastMessage", args, 8);
}

void Runtime::SendLoadInits() {
    std::vector<LoadInit> inits;
    inits.swap(loadInits_);
    for (const LoadInit& init : inits) {
        // Only while the loaded clip is still on stage.
        if (init.clip->AsClip() != nullptr) {
            Broadcast(init.loader.get(), u"onLoadInit", {avm1::Value::Obj(init.clip.get())});
        }
    }
}

MovieClip* Runtime::LoadIntoClip(MovieClip& target, std::shared_ptr<const swf::Movie> movie,
                                 const std::string& url, const std::string& query) {
    if (target.ParentClip() == nullptr) {
        int level = target.Level();
        Load(level, std::move(movie), url, true);
        return LevelClip(level);
    }
    target.RemoveAll();
    ClearScriptObject(target);
    target.ShowMovie(NewMovieData(std::move(movie), url));
    target.SetSequence(++clipSequence_);
    SetQueryVariables(target, query);
    return &target;
}

void Runtime::ClearScriptObject(MovieClip& clip) {
    avm1::Object* self = vm_->ObjectOf(clip);
    std::vector<avm1::String> names;
    self->Members().ForEach([&names](const avm1::Member& m) { names.push_back(m.name); });
    for (const avm1::String& name : names) {
        self->Members().Remove(self->Members().Find(name, true));
    }
    self->SetProto(vm_->MovieClipPrototype());
}

void Runtime::SetQueryVariables(MovieClip& clip, std::string_view query) {
    avm1::Object* self = vm_->ObjectOf(clip);
    std::string_view rest = query;
    while (!rest.empty()) {
        std::size_t amp = rest.find('&');
        std::string_view pair = rest.substr(0, amp);
        rest = amp == std::string_view::npos ? std::string_view() : rest.substr(amp + 1);
        std::size_t eq = pair.find('=');
        if (pair.empty() || eq == 0) {
            continue;
        }
        std::string name = UrlDecode(pair.substr(0, eq));
        std::string value =
            eq == std::string_view::npos ? std::string() : UrlDecode(pair.substr(eq + 1));
        vm_->Set(self, avm1::FromUtf8(name), avm1::Value::Str(avm1::FromUtf8(value)),
                 clip.SwfVersion());
    }
}

MovieClip* Runtime::LoadTarget(const PendingLoad& load) {
    if (load.clipPath.empty()) {
        return nullptr;
    }
    avm1::Object* object = load.target.get();
    auto* target = object != nullptr ? dynamic_cast<MovieClip*>(object->AsClip()) : nullptr;
    if (target == nullptr) {
        target =
            dynamic_cast<MovieClip*>(vm_->ResolveTarget(avm1::FromUtf8(load.clipPath), nullptr, 8));
    }
    return target != nullptr && !target->Removed() ? target : nullptr;
}

Runtime::LoadedFile Runtime::ReadLoadedFile(const std::string& path, int version) {
    std::vector<std::uint8_t> data = ReadLocalFile(path, limits_.maxMovieBytes);
    LoadedFile file;
    file.bytes = data.size();
    file.image = IsImageData(data);
    file.movie = file.image ? ImageMovie(std::move(data), version) : ParseMovieBytes(data, limits_);
    return file;
}

void Runtime::LoadFailed(const PendingLoad& load, MovieClip* target) {
    if (!load.loader) {
        return;
    }
    MovieClip* was = target != nullptr ? target : LevelClip(load.level);
    Broadcast(load.loader.get(), u"onLoadError",
              {was ? avm1::Value::Obj(vm_->ObjectOf(*was)) : avm1::Value(),
               avm1::Value::Str(u"URLNotFound"), avm1::Value::Number(0)});
}

void Runtime::ProcessPendingLoads() {
    std::vector<PendingLoad> loads;
    loads.swap(pendingLoads_);
    for (const auto& load : loads) {
        MovieClip* target = LoadTarget(load);
        if (!load.clipPath.empty() && target == nullptr) {
            continue;
        }
        if (!load.url.empty()) {
            LoadFile(load, target);
        } else if (target != nullptr && target->ParentClip() != nullptr) {
            // unloadMovie: the clip stays, empty.
            auto empty = std::make_shared<swf::Movie>();
            empty->header.version = target->Movie().Model().header.version;
            LoadIntoClip(*target, std::move(empty), target->Movie().Url(), std::string());
        } else {
            Unload(target != nullptr ? target->Level() : load.level);
        }
    }
}

void Runtime::LoadFile(const PendingLoad& load, MovieClip* target) {
    // "movie.swf?a=1&b=2": the file, and variables the loaded clip starts with.
    std::size_t query = load.url.find('?');
    std::string path = load.url.substr(0, query);
    MovieClip* loaded = nullptr;
    LoadedFile file;
    try {
        MovieClip* versionOf = target != nullptr ? target : LevelClip(0);
        file = ReadLoadedFile(path, versionOf != nullptr ? versionOf->SwfVersion() : 8);
    } catch (const FlashError& e) {
        ReportError(e.what());
        LoadFailed(load, target);
        return;
    }
    // An ActionScript 3 movie needs the other virtual machine: nothing of it runs.
    if (target != nullptr && file.movie->hasAttributes && file.movie->attributes.actionScript3) {
        ReportError("ActionScript 3 movies are not supported: " + path);
        return;
    }
    if (target != nullptr) {
        loaded =
            LoadIntoClip(*target, file.movie, path,
                         query == std::string::npos ? std::string() : load.url.substr(query + 1));
    } else {
        Load(load.level, file.movie, load.url, true);
        loaded = LevelClip(load.level);
    }
    if (loaded == nullptr) {
        return;
    }
    loaded->Movie().SetFileBytes(file.bytes);
    if (file.image) {
        loaded->Movie().SetImage();
    }
    if (load.loader) {
        // The loader hears of it all at once: the file is read whole.
        avm1::Value bytes = avm1::Value::Number(static_cast<double>(file.bytes));
        avm1::Value clip = avm1::Value::Obj(vm_->ObjectOf(*loaded));
        Broadcast(load.loader.get(), u"onLoadStart", {clip});
        Broadcast(load.loader.get(), u"onLoadProgress", {clip, bytes, bytes});
        Broadcast(load.loader.get(), u"onLoadComplete", {clip, avm1::Value::Number(0)});
        loadInits_.push_back({load.loader, avm1::Root(clip.AsObject())});
    }
}

void Runtime::CloneSprite(avm1::Clip& source, const avm1::String& name, int depth) {
    // Clips and text fields copy; a field starts again from its definition.
    auto* original = dynamic_cast<DisplayObject*>(&source);
    if (original == nullptr ||
        (original->AsClip() == nullptr && dynamic_cast<TextFieldObject*>(original) == nullptr) ||
        original->ParentClip() == nullptr || original->CharacterId() == 0 ||
        depth < -kScriptDepthBase || depth > kMaxScriptDepth) {
        return;
    }
    MovieClip& parent = *original->ParentClip();
    std::unique_ptr<DisplayObject> copy =
        Instantiate(original->SharedMovie(), original->CharacterId(), parent);
    if (!copy) {
        return;
    }
    copy->SetMatrix(original->GetMatrix());
    copy->SetColorTransform(original->GetColorTransform());
    copy->SetVisible(original->Visible());
    copy->SetPlacedBy(original->PlacedBy());
    copy->SetInstanceName(name);
    DisplayObject* placed = parent.Insert(std::move(copy), depth + kScriptDepthBase);
    if (MovieClip* clip = placed->AsClip()) {
        ClipCreated(*clip);
    } else {
        ObjectPlaced(*placed);
    }
}

void Runtime::RemoveSprite(avm1::Clip& target) {
    auto* clip = dynamic_cast<DisplayObject*>(&target);
    if (clip == nullptr || clip->ParentClip() == nullptr || clip->Removed()) {
        return;
    }
    int depth = clip->Depth();
    if (depth < kScriptDepthBase || depth > kMaxRemovableDepth) {
        return;
    }
    clip->ParentClip()->RemoveAt(depth);
}

void Runtime::StopSounds() {
    if (sound_) {
        sound_->StopAll();
    }
}

void Runtime::SetSoundMixer(media::Mixer* mixer, bool decodeInBackground) {
    mixer_ = mixer;
    decodeInBackground_ = decodeInBackground;
    sound_.reset();
}

media::Mixer& Runtime::SoundMixer() const {
    return mixer_ != nullptr ? *mixer_ : media::Mixer::Process();
}

media::MovieSound& Runtime::Sound() {
    if (!sound_) {
        sound_ = std::make_unique<media::MovieSound>(
            SoundMixer(), media::MovieSound::Options{.decodeInBackground = decodeInBackground_});
        sound_->SetVolume(soundVolume_);
    }
    return *sound_;
}

void Runtime::SetSoundVolume(double volume) {
    soundVolume_ = std::clamp(volume, 0.0, 1.0);
    if (sound_) {
        sound_->SetVolume(soundVolume_);
    }
}

void Runtime::ScriptError(const avm1::String& message) {
    ReportError(avm1::ToUtf8(message));
}

bool Runtime::StopSlowScript() {
    return listener_ == nullptr || listener_->OnSlowScript();
}

}  // namespace flash
