// The installation as a user meets it: "cmake --install" into a temporary prefix lays out the
// program folder, registers the player and records its removal; the installed player starts
// with its start movie, and a standalone player made with the installed builder opens its movie
// in the registered full player; the uninstaller's removal then leaves nothing behind. The Debian
// package is made from the same rules and its scripts are run against an unpacked copy, never
// against this machine.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"
#include "product.h"
#include "register_mode.h"
#include "run_program.h"
#include "swfgen/shape_builder.h"
#include "swfgen/tag_writer.h"
#include "tovi/testing/files.h"

#if TOVI_HAVE_PROGRAM_DRIVER
#include <wx/image.h>

#include <optional>

#include "testing/program_driver.h"
#endif

extern char** environ;

namespace {

namespace fs = std::filesystem;
using platform::RegKey;
using platform::RegRoot;
using tovi::testing::TempDir;
using uninstall::testing::RunProgram;
using namespace std::chrono_literals;

const fs::path kBuildDir = TOVI_BUILD_DIR;
const fs::path kBuildPrograms = TOVI_PROGRAM_DIR;

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::wstring RegString(const std::wstring& key, const std::wstring& name) {
    RegKey k;
    platform::RegValue value;
    if (k.Open(RegRoot::LocalMachine, key) != 0 || k.QueryValue(name, &value) != 0) {
        return L"<missing>";
    }
    return platform::RegStringFromBytes(value.data);
}

std::vector<std::wstring> MachineKeys() {
    RegKey root;
    std::vector<std::wstring> keys;
    if (root.Open(RegRoot::LocalMachine, L"") == 0) {
        root.EnumKeys(&keys);
    }
    return keys;
}

std::wstring Wide(const fs::path& path) {
    return platform::WidePath(path.string());
}

// A 12-frame movie of a square crossing a 400 x 300 stage.
void WriteMovie(const fs::path& file) {
    swfgen::MovieWriter movie(8, flash::Rect{0, 400 * 20, 0, 300 * 20}, 12.0);
    swfgen::ShapeBuilder square;
    square.Fill1(square.AddSolidFill(flash::Rgba{200, 30, 30, 255}));
    square.Rectangle(flash::Rect{0, 60 * 20, 0, 60 * 20});
    movie.Tag(2, square.DefineShape(1, 1));  // DefineShape
    for (int frame = 0; frame < 12; ++frame) {
        swfgen::Place place;
        place.depth = 1;
        place.move = frame > 0;
        if (frame == 0) {
            place.characterId = 1;
        }
        flash::Matrix m;
        m.tx = frame * 25 * 20;
        m.ty = 120 * 20;
        place.matrix = m;
        movie.PlaceObject2(place);
        movie.ShowFrame();
    }
    movie.Save(file);
}

// A program started on the test's display, ended with the object.
class Started {
  public:
    explicit Started(const fs::path& program) {
        std::string arg0 = program.string();
        char* argv[] = {arg0.data(), nullptr};
        if (::posix_spawn(&pid_, arg0.c_str(), nullptr, nullptr, argv, environ) != 0) {
            pid_ = -1;
        }
    }
    ~Started() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;
    bool Running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }
    pid_t Pid() const { return pid_; }

  private:
    pid_t pid_ = -1;
};

// Waits for a top-level window whose name holds `text`; its whole name, or empty.
std::string WaitForWindow(const std::string& text) {
    for (int i = 0; i < 300; ++i) {
        const auto tree = RunProgram({"xwininfo", "-root", "-tree"},
                                     {"DISPLAY=" + std::string(std::getenv("DISPLAY"))});
        std::istringstream lines(tree.output);
        for (std::string line; std::getline(lines, line);) {
            const auto open = line.find('"');
            const auto close = line.find("\":", open == std::string::npos ? 0 : open + 1);
            if (open != std::string::npos && close != std::string::npos) {
                const std::string name = line.substr(open + 1, close - open - 1);
                if (name.find(text) != std::string::npos) {
                    return name;
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
}

#if TOVI_HAVE_PROGRAM_DRIVER
// Share of the picture in the start movie's dark blues (its stage and its rings).
double StartMovieShare(const wxImage& picture) {
    if (!picture.IsOk()) {
        return 0;
    }
    const unsigned char* rgb = picture.GetData();
    const long pixels = static_cast<long>(picture.GetWidth()) * picture.GetHeight();
    long blue = 0;
    for (long i = 0; i < pixels; ++i) {
        const int r = rgb[3 * i], g = rgb[3 * i + 1], b = rgb[3 * i + 2];
        blue += (b > r + 10 && b > g && b < 140) ? 1 : 0;
    }
    return pixels ? static_cast<double>(blue) / pixels : 0;
}
#endif

// Runs xdotool on the test's display; the lines it wrote.
std::vector<std::string> Xdotool(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{"xdotool"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    std::istringstream output(
        RunProgram(command, {"DISPLAY=" + std::string(std::getenv("DISPLAY")), "LC_ALL=C.UTF-8"})
            .output);
    std::vector<std::string> lines;
    for (std::string line; std::getline(output, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Whether a process that is not the test's child has ended (gone, or a zombie).
bool Ended(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return true;
    }
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

// A program the test did not start itself, killed with the object unless it has ended.
struct FullPlayer {
    FullPlayer() = default;
    FullPlayer(FullPlayer&& other) noexcept
        : pid(std::exchange(other.pid, 0)), window(std::move(other.window)) {}
    FullPlayer& operator=(FullPlayer&& other) noexcept {
        std::swap(pid, other.pid);
        std::swap(window, other.window);
        return *this;
    }
    ~FullPlayer() {
        if (pid > 0 && !Ended(pid)) {
            ::kill(pid, SIGKILL);
        }
    }
    // Closes the player as a user does; true once it has ended.
    bool Close() const {
        Xdotool({"windowfocus", "--sync", window});
        Xdotool({"key", "--clearmodifiers", "ctrl+alt+q"});
        for (int i = 0; i < 200; ++i) {
            if (Ended(pid)) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    pid_t pid = 0;
    std::string window;
};

// Waits for a window of `program` that a process other than `starter` shows.
FullPlayer WaitForFullPlayer(const fs::path& program, pid_t starter,
                             std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    FullPlayer found;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (found.pid == 0 && std::chrono::steady_clock::now() < deadline) {
        for (const std::string& window :
             Xdotool({"search", "--onlyvisible", "--class", "ToviFlash"})) {
            const std::vector<std::string> owner = Xdotool({"getwindowpid", window});
            const pid_t pid = owner.empty() ? 0 : static_cast<pid_t>(std::atol(owner[0].c_str()));
            std::error_code error;
            if (pid > 0 && pid != starter &&
                fs::equivalent(fs::read_symlink("/proc/" + std::to_string(pid) + "/exe", error),
                               program, error)) {
                found.pid = pid;
                found.window = window;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return found;
}

// Files of the program folder that other deliverables bring; each is installed when the build
// has made it. The stub and the data files are copied byte for byte; a linked program gets its
// library search path changed on the way.
const struct {
    const char* name;
    bool sameBytes;
} kOptionalFiles[] = {{"ToviFlash", false},
                      {"Binary/mkexe", true},
                      {"Binary/Roles.dat", true},
                      {"Tools/start.swf", true},
                      {"Tools/FLVPlayer.swf", true}};

class InstallationTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::DeleteRegTree(RegRoot::LocalMachine, L""); }
    void TearDown() override { platform::DeleteRegTree(RegRoot::LocalMachine, L""); }

    // Installs into a prefix of the test's own; the program folder.
    fs::path Install() {
        const fs::path prefix = dir_ / "install root";
        const auto installed = RunProgram(
            {TOVI_CMAKE_COMMAND, "--install", kBuildDir.string(), "--prefix", prefix.string()});
        EXPECT_EQ(installed.exitCode, 0) << installed.output;
        return prefix / "lib/toviflash";
    }

    TempDir dir_;
};

TEST_F(InstallationTest, InstallRegisterAndRemoveLeavingNothingBehind) {
    const fs::path programs = Install();
    const fs::path prefix = programs.parent_path().parent_path();
    ASSERT_FALSE(HasFailure());

    // The program folder: the programs, the libraries they link or load, the removal script.
    for (const char* file : {"Uninstall", "toviflash-setup", "libplatform.so", "libtovi.so",
                             "libTovilib.so", "remove-toviflash.sh"}) {
        EXPECT_TRUE(fs::is_regular_file(programs / file)) << file;
    }
    for (const auto& file : kOptionalFiles) {
        if (fs::exists(kBuildPrograms / file.name)) {
            ASSERT_TRUE(fs::is_regular_file(programs / file.name)) << file.name;
            if (file.sameBytes) {
                EXPECT_EQ(tovi::testing::ReadFileBytes(programs / file.name),
                          tovi::testing::ReadFileBytes(kBuildPrograms / file.name))
                    << file.name;
            }
        }
    }
    // Installed programs find their libraries beside themselves, never in the build.
    for (const char* file : {"Uninstall", "libtovi.so"}) {
        const auto dynamic = RunProgram({"readelf", "-d", (programs / file).string()});
        EXPECT_EQ(dynamic.output.find(kBuildDir.string()), std::string::npos) << dynamic.output;
    }
    if (fs::exists(kBuildPrograms / "ToviFlash")) {
        const fs::path launcher = prefix / "bin/toviflash";
        ASSERT_TRUE(fs::is_symlink(launcher));
        EXPECT_EQ(fs::canonical(launcher), fs::canonical(programs / "ToviFlash"));
    }

    // Desktop integration.
    const fs::path desktop = prefix / "share/applications/toviflash.desktop";
    const auto validated = RunProgram({"desktop-file-validate", desktop.string()});
    EXPECT_EQ(validated.exitCode, 0) << validated.output;
    EXPECT_NE(ReadText(desktop).find("\nName=ToviFlash播放器\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(prefix / "share/icons/hicolor/scalable/apps/toviflash.svg"));
    const std::string globs = ReadText(prefix / "share/mime/globs2");
    EXPECT_NE(globs.find("application/vnd.adobe.flash.movie:*.swf"), std::string::npos) << globs;
    EXPECT_NE(globs.find("video/x-flv:*.flv"), std::string::npos) << globs;

    // The registration: the main program's real file name beside the uninstaller, and the
    // removal command in the uninstall entry.
    EXPECT_EQ(RegString(uninstall::kInstallKey, L"Path"),
              Wide(programs) + L"/" + std::wstring(uninstall::MainProgramFileName()));
    EXPECT_EQ(RegString(uninstall::kInstallKey, L"Version"), L"1.0.0");
    EXPECT_EQ(RegString(uninstall::UninstallEntryKey(), uninstall::kRemovalCommandValue),
              L"\"" + Wide(programs / "remove-toviflash.sh") + L"\"");

    // The user removes the installation with the uninstaller; it does not wait for the removal.
    const auto uninstalled = RunProgram({(programs / "Uninstall").string()});
    EXPECT_EQ(uninstalled.exitCode, 0) << uninstalled.output;
    // The removal runs on its own: done when the prefix is left empty, its last step.
    for (int i = 0; i < 600 && !fs::is_empty(prefix); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(prefix)) {
        left.push_back(entry.path().lexically_relative(prefix).string());
    }
    EXPECT_TRUE(left.empty()) << "left behind: " << ::testing::PrintToString(left);
    EXPECT_TRUE(MachineKeys().empty());
}

// The removal takes exactly what the installation put there: not the files behind a link put
// in place of one of its folders (even when they have the installed bytes), not a file the
// user changed since, not what others keep in the shared MIME folder.
TEST_F(InstallationTest, RemovalTakesOnlyWhatTheInstallationPutThere) {
    const fs::path programs = Install();
    const fs::path prefix = programs.parent_path().parent_path();
    ASSERT_FALSE(HasFailure());
    TempDir elsewhere;
    for (const auto& entry : fs::directory_iterator(programs / "Tools")) {
        fs::copy_file(entry.path(), elsewhere / entry.path().filename());
    }
    tovi::testing::WriteFileText(elsewhere / "mine.swf", "mine");
    fs::remove_all(programs / "Tools");
    fs::create_directory_symlink(elsewhere.path(), programs / "Tools");
    std::vector<fs::path> outside;
    for (const auto& entry : fs::directory_iterator(elsewhere.path())) {
        outside.push_back(entry.path());
    }
    const fs::path foreign = prefix / "share/mime/someone-elses.cache";
    tovi::testing::WriteFileText(foreign, "theirs");
    const fs::path edited = prefix / "share/icons/hicolor/scalable/apps/toviflash.svg";
    ASSERT_TRUE(fs::exists(edited));
    tovi::testing::WriteFileText(edited, "<svg xmlns=\"http://www.w3.org/2000/svg\"/>");

    const auto removed = RunProgram({"sh", (programs / "remove-toviflash.sh").string()});
    EXPECT_EQ(removed.exitCode, 0) << removed.output;
    for (const fs::path& file : outside) {
        EXPECT_TRUE(fs::exists(file)) << file;
    }
    EXPECT_TRUE(fs::exists(foreign));
    EXPECT_TRUE(fs::exists(edited));
    for (const char* gone : {"Uninstall", "toviflash-setup", "libtovi.so", "remove-toviflash.sh"}) {
        EXPECT_FALSE(fs::exists(programs / gone)) << gone;
    }
    EXPECT_FALSE(fs::exists(prefix / "share/mime/packages/toviflash.xml"));
    EXPECT_FALSE(fs::exists(prefix / "share/applications/toviflash.desktop"));
    EXPECT_TRUE(MachineKeys().empty());
}

// The installed player started from its launcher finds its program folder through the link:
// the start movie of "Tools" plays in its window, and the per-user folders are made. The stub
// of "Binary" is looked for through the same program folder.
TEST_F(InstallationTest, InstalledPlayerStartsFromItsLauncherWithItsStartMovie) {
#if TOVI_HAVE_PROGRAM_DRIVER
    for (const char* file : {"ToviFlash", "Tools/start.swf"}) {
        if (!fs::exists(kBuildPrograms / file)) {
            GTEST_SKIP() << "the build has not made " << file << " yet";
        }
    }
    if (std::getenv("DISPLAY") == nullptr) {
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    }
    const fs::path programs = Install();
    ProgramDriver player;
    ASSERT_TRUE(player.Start(programs.parent_path().parent_path() / "bin/toviflash", {},
                             {"TOVI_ASSERT_ABORT=1"}));
    const std::optional<unsigned long> window = player.WaitForWindow(60s);
    if (!window) {
        std::string errors;
        while (std::optional<std::string> line = player.ReadErrorLine(100ms)) {
            errors += *line + "\n";
        }
        const std::optional<int> status = player.WaitForExit(0ms);
        FAIL() << "no window; " << (status ? "ended with " + std::to_string(*status) : "running")
               << "\n"
               << errors;
    }

    // The start movie's dark blue stage fills most of the window, and its rings move.
    double startMovie = 0;
    double moved = 0;
    for (int i = 0; i < 50 && (startMovie < 0.3 || moved == 0); ++i) {
        const wxImage before = player.Capture(*window);
        std::this_thread::sleep_for(300ms);
        const wxImage after = player.Capture(*window);
        startMovie = StartMovieShare(after);
        moved = ImageDifference(before, after);
    }
    EXPECT_GE(startMovie, 0.3) << "the start movie is not shown";
    EXPECT_GT(moved, 0) << "the start movie does not play";

    // Start-up ends by making the per-user folders.
    const fs::path seting = fs::path(std::getenv("XDG_DATA_HOME")) / "Kestrum/ToviFlash/Seting";
    for (int i = 0; i < 100 && !fs::is_directory(seting); ++i) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_TRUE(fs::is_directory(seting));

    player.SendKeys(*window, "ctrl+alt+q");
    const std::optional<int> status = player.WaitForExit(20s);
    ASSERT_TRUE(status) << "still running after exit";
    EXPECT_EQ(*status, 0);
#else
    GTEST_SKIP() << "the build has no program driver for ToviFlash yet";
#endif
}

TEST_F(InstallationTest, InstalledBuilderMakesAStandalonePlayerThatFindsTheInstalledPlayer) {
    if (!fs::exists(kBuildPrograms / "Binary/mkexe")) {
        GTEST_SKIP() << "the build has not made Binary/mkexe (ToviPlayer) yet";
    }
    if (std::getenv("DISPLAY") == nullptr) {
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    }
    const fs::path programs = Install();
    const fs::path movie = dir_ / "card.swf";
    const fs::path built = dir_ / "card";
    WriteMovie(movie);
    // The installation's own tovi and Tovilib, found as the installed main program finds them.
    const auto made = RunProgram(
        {TOVI_BUILD_PLAYER_TOOL, (programs / "Binary/mkexe").string(), movie.string(),
         built.string()},
        {"LD_LIBRARY_PATH=" + programs.string(), "TOVI_LIBRARY_DIR=" + programs.string()});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    EXPECT_NE(made.output.find("library=" + (programs / "libtovi.so").string()), std::string::npos)
        << made.output;

    Started player(built);
    EXPECT_EQ(WaitForWindow("card.swf - "), "card.swf - ToviFLash播放器 [独立版]");
    EXPECT_TRUE(player.Running());
    if (!fs::exists(programs / "ToviFlash")) {
        return;
    }

    // Its "用ToviFLash播放器打开", the fourth item of its file menu, starts the full player that
    // register mode recorded, with the movie.
    const std::vector<std::string> standalone =
        Xdotool({"search", "--onlyvisible", "--pid", std::to_string(player.Pid())});
    ASSERT_FALSE(standalone.empty());
    Xdotool({"windowfocus", "--sync", standalone.back()});
    Xdotool({"key", "--clearmodifiers", "alt+f"});
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Xdotool({"key", "--clearmodifiers", "Down", "Down", "Down", "Return"});
    const FullPlayer full = WaitForFullPlayer(programs / "ToviFlash", player.Pid());
    ASSERT_GT(full.pid, 0) << "the installed full player did not start";
    EXPECT_EQ(WaitForWindow("card.swf - ToviFlash"), "card.swf - ToviFlash播放器");
    // Closed as a user closes it.
    EXPECT_TRUE(full.Close()) << "the full player is still running";
}

// The desktop sees only the installation (its MIME definitions and its entry): movie files get
// their types, the player is their default application, and opening a movie the way a double
// click does starts the installed player with it.
TEST_F(InstallationTest, DesktopOpensMovieFilesWithTheInstalledPlayer) {
    if (!fs::exists(kBuildPrograms / "ToviFlash")) {
        GTEST_SKIP() << "the build has not made ToviFlash yet";
    }
    if (std::getenv("DISPLAY") == nullptr) {
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    }
    const fs::path programs = Install();
    const fs::path prefix = programs.parent_path().parent_path();
    const std::vector<std::string> desktop = {
        "PATH=" + (prefix / "bin").string() + ":" + std::getenv("PATH"),
        "XDG_DATA_DIRS=" + (prefix / "share").string(), "LC_ALL=C.UTF-8"};
    const fs::path movie = dir_ / "card.swf";
    const fs::path video = dir_ / "clip.flv";
    WriteMovie(movie);
    tovi::testing::WriteFileText(video, std::string("FLV\x01\x05\0\0\0\x09\0\0\0\0", 13));
    const struct {
        fs::path file;
        std::string type;
    } cases[] = {{movie, "application/vnd.adobe.flash.movie"}, {video, "video/x-flv"}};
    for (const auto& c : cases) {
        const auto info =
            RunProgram({"gio", "info", "-a", "standard::content-type", c.file.string()}, desktop);
        EXPECT_NE(info.output.find("standard::content-type: " + c.type), std::string::npos)
            << info.output;
        const auto application = RunProgram({"gio", "mime", c.type}, desktop);
        EXPECT_NE(
            application.output.find("Default application for “" + c.type + "”: toviflash.desktop"),
            std::string::npos)
            << application.output;
    }

    std::vector<std::string> onDisplay = desktop;
    onDisplay.push_back("DISPLAY=" + std::string(std::getenv("DISPLAY")));
    // Now and then gio reports a launch that never happens; asked again, it starts the player.
    FullPlayer player;
    for (int attempt = 0; attempt < 3 && player.pid == 0; ++attempt) {
        const auto opened = RunProgram({"gio", "open", movie.string()}, onDisplay);
        ASSERT_EQ(opened.exitCode, 0) << opened.output;
        player = WaitForFullPlayer(programs / "ToviFlash", 0, 10s);
    }
    ASSERT_GT(player.pid, 0) << "the installed player did not start";
    EXPECT_EQ(WaitForWindow("card.swf - "), "card.swf - ToviFlash播放器");
    EXPECT_TRUE(player.Close()) << "the player is still running";
}

TEST_F(InstallationTest, DebianPackageRegistersOnInstallAndForgetsOnRemoval) {
    const fs::path out = dir_ / "package";
    const auto packed =
        RunProgram({TOVI_CPACK_COMMAND, "--config", (kBuildDir / "CPackConfig.cmake").string(),
                    "-B", out.string()});
    ASSERT_EQ(packed.exitCode, 0) << packed.output;
    fs::path deb;
    for (const auto& entry : fs::directory_iterator(out)) {
        if (entry.path().extension() == ".deb") {
            deb = entry.path();
        }
    }
    ASSERT_FALSE(deb.empty()) << packed.output;
    // Making the package registered nothing.
    EXPECT_TRUE(MachineKeys().empty());

    const auto fields = RunProgram({"dpkg-deb", "--field", deb.string(), "Package", "Depends"});
    EXPECT_NE(fields.output.find("Package: toviflash"), std::string::npos) << fields.output;
    EXPECT_NE(fields.output.find("libwx"), std::string::npos) << fields.output;

    const fs::path root = dir_ / "root";
    const fs::path control = dir_ / "control";
    ASSERT_EQ(RunProgram({"dpkg-deb", "--extract", deb.string(), root.string()}).exitCode, 0);
    ASSERT_EQ(RunProgram({"dpkg-deb", "--control", deb.string(), control.string()}).exitCode, 0);
    const fs::path programs = root / "usr/lib/toviflash";
    for (const char* file : {"Uninstall", "toviflash-setup", "libplatform.so", "libTovilib.so"}) {
        EXPECT_TRUE(fs::is_regular_file(programs / file)) << file;
    }
    EXPECT_FALSE(fs::exists(programs / "remove-toviflash.sh"));
    EXPECT_TRUE(fs::exists(root / "usr/share/applications/toviflash.desktop"));
    EXPECT_TRUE(fs::exists(root / "usr/share/mime/packages/toviflash.xml"));
    EXPECT_TRUE(fs::exists(root / "usr/share/icons/hicolor/scalable/apps/toviflash.svg"));

    // The maintainer scripts, run as dpkg runs them for a package unpacked under DPKG_ROOT.
    const std::string dpkgRoot = "DPKG_ROOT=" + root.string();
    const auto configured = RunProgram({(control / "postinst").string(), "configure"}, {dpkgRoot});
    ASSERT_EQ(configured.exitCode, 0) << configured.output;
    EXPECT_EQ(RegString(uninstall::kInstallKey, L"Path"),
              Wide(programs) + L"/" + std::wstring(uninstall::MainProgramFileName()));
    EXPECT_EQ(RegString(uninstall::UninstallEntryKey(), uninstall::kRemovalCommandValue),
              L"pkexec /usr/bin/dpkg --remove toviflash");
    const auto removed = RunProgram({(control / "prerm").string(), "remove"}, {dpkgRoot});
    ASSERT_EQ(removed.exitCode, 0) << removed.output;
    EXPECT_TRUE(MachineKeys().empty());
}

}  // namespace
