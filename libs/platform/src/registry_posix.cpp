#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>

#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "registry_document.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

const wchar_t* RootName(RegRoot root) {
    return root == RegRoot::LocalMachine ? L"HKEY_LOCAL_MACHINE" : L"HKEY_CURRENT_USER";
}

std::string Folder(RegRoot root) {
    if (root == RegRoot::LocalMachine) {
        const char* dir = std::getenv("TOVI_HKLM_DIR");
        return dir && *dir ? dir : "/var/lib/kestrum";
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && *config == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : "/root") + "/.config";
    }
    return base + "/kestrum";
}

std::string FileName(RegRoot root) {
    return Utf8FromWide(RootName(root)) + ".reg";
}

bool ReadWholeFile(const std::string& path, std::string* out, int* err) {
    out->clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *err = errno;
        return false;
    }
    char buffer[16384];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            *err = errno;
            ::close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        out->append(buffer, static_cast<std::size_t>(n));
        if (out->size() > RegistryDocument::kMaxFileBytes) {
            break;  // too large to be ours: the reader takes it as damaged
        }
    }
    ::close(fd);
    return true;
}

bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A free name beside the file for keeping a damaged original.
std::string DamagedName(const std::string& file) {
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    std::string base = file + ".damaged-" + stamp;
    std::string name = base;
    std::error_code ec;
    for (int i = 1; fs::exists(name, ec); ++i) {
        name = base + "-" + std::to_string(i);
    }
    return name;
}

// One root: a file read when it changed, and saved whole on every change.
class RootStore {
  public:
    explicit RootStore(RegRoot root) : root_(root) {}

    // Runs `fn` on the current contents.
    LONG Read(const std::function<LONG(const RegistryDocument&)>& fn) {
        std::lock_guard<std::mutex> lock(mutex_);
        Refresh();
        return fn(doc_);
    }

    // Whether this process may change the root: 0 or 5.
    LONG CheckWritable() {
        std::string folder = Folder(root_);
        std::error_code ec;
        fs::path probe = folder;
        while (!fs::exists(probe, ec)) {
            if (!probe.has_parent_path() || probe.parent_path() == probe) {
                return kErrorAccessDenied;
            }
            probe = probe.parent_path();
        }
        if (::faccessat(AT_FDCWD, probe.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
            return kErrorAccessDenied;
        }
        std::string file = folder + "/" + FileName(root_);
        if (fs::exists(file, ec) && ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0) {
            return kErrorAccessDenied;
        }
        return kErrorSuccess;
    }

    // Runs `fn` on the contents re-read under the lock and saves them when `fn` changed
    // anything (it reports that through `changed`).
    LONG Modify(const std::function<LONG(RegistryDocument&, bool* changed)>& fn) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (LONG access = CheckWritable(); access != kErrorSuccess) {
            return access;
        }
        const std::string folder = Folder(root_);
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec) {
            return ec.value() == EACCES || ec.value() == EPERM || ec.value() == EROFS
                       ? kErrorAccessDenied
                       : kErrorCantWrite;
        }
        const std::string lockName = folder + "/." + FileName(root_) + ".lock";
        int lockFd = ::open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (lockFd < 0) {
            return errno == EACCES || errno == EROFS ? kErrorAccessDenied : kErrorCantWrite;
        }
        while (::flock(lockFd, LOCK_EX) != 0 && errno == EINTR) {
        }
        LONG result = ModifyLocked(folder, fn);
        ::flock(lockFd, LOCK_UN);
        ::close(lockFd);
        return result;
    }

  private:
    LONG ModifyLocked(const std::string& folder,
                      const std::function<LONG(RegistryDocument&, bool*)>& fn) {
        const std::string file = folder + "/" + FileName(root_);
        std::string bytes;
        int err = 0;
        bool exists = ReadWholeFile(file, &bytes, &err);
        if (!exists && err != ENOENT) {
            return err == EACCES ? kErrorAccessDenied : kErrorCantRead;
        }
        bool damaged = false;
        RegistryDocument doc = RegistryDocument::Parse(bytes, RootName(root_), &damaged);
        bool changed = false;
        LONG result = fn(doc, &changed);
        if (result != kErrorSuccess || !changed) {
            doc_ = std::move(doc);
            stamp_ = Stamp(file);
            return result;
        }
        const std::string data = doc.Serialize(RootName(root_));
        std::string temp = folder + "/." + FileName(root_) + ".XXXXXX";
        int fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0) {
            return errno == EACCES ? kErrorAccessDenied : kErrorCantWrite;
        }
        struct stat st {};
        mode_t mode = root_ == RegRoot::LocalMachine ? 0644 : 0600;
        if (exists && ::stat(file.c_str(), &st) == 0) {
            mode = st.st_mode & 0777;
        }
        bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, data) && ::fsync(fd) == 0;
        ok = ::close(fd) == 0 && ok;
        if (ok && exists && damaged) {
            // Keep the damaged original beside the new file; never throw it away.
            std::string keep = DamagedName(file);
            if (::link(file.c_str(), keep.c_str()) != 0) {
                std::error_code copyError;
                fs::copy_file(file, keep, copyError);
                ok = !copyError;
            }
        }
        if (!ok || ::rename(temp.c_str(), file.c_str()) != 0) {
            ::unlink(temp.c_str());
            return kErrorCantWrite;
        }
        if (int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        doc_ = std::move(doc);
        stamp_ = Stamp(file);
        return kErrorSuccess;
    }

    struct FileStamp {
        bool exists = false;
        dev_t dev = 0;
        ino_t ino = 0;
        off_t size = 0;
        timespec mtime{};
        std::string path;
        bool operator==(const FileStamp& o) const {
            return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size &&
                   mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec &&
                   path == o.path;
        }
    };

    static FileStamp Stamp(const std::string& file) {
        FileStamp s;
        s.path = file;
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0) {
            s.exists = true;
            s.dev = st.st_dev;
            s.ino = st.st_ino;
            s.size = st.st_size;
            s.mtime = st.st_mtim;
        }
        return s;
    }

    void Refresh() {
        const std::string file = Folder(root_) + "/" + FileName(root_);
        FileStamp now = Stamp(file);
        if (loaded_ && now == stamp_) {
            return;
        }
        std::string bytes;
        int err = 0;
        if (!now.exists || !ReadWholeFile(file, &bytes, &err)) {
            bytes.clear();
        }
        doc_ = RegistryDocument::Parse(bytes, RootName(root_), nullptr);
        stamp_ = now;
        loaded_ = true;
    }

    RegRoot root_;
    std::mutex mutex_;
    bool loaded_ = false;
    FileStamp stamp_;
    RegistryDocument doc_;
};

RootStore& Store(RegRoot root) {
    static RootStore currentUser(RegRoot::CurrentUser);
    static RootStore localMachine(RegRoot::LocalMachine);
    return root == RegRoot::LocalMachine ? localMachine : currentUser;
}

bool WantsWrite(UINT access) {
    // KEY_SET_VALUE, KEY_CREATE_SUB_KEY
    return (access & 0x6) != 0;
}

}  // namespace

LONG RegKey::Open(RegRoot root, std::wstring_view subKey, UINT access) {
    Close();
    std::wstring path;
    if (!RegistryDocument::NormalizePath(subKey, &path)) {
        return kErrorFileNotFound;
    }
    LONG result = Store(root).Read([&](const RegistryDocument& doc) {
        return doc.HasKey(path) ? kErrorSuccess : kErrorFileNotFound;
    });
    if (result == kErrorSuccess && WantsWrite(access)) {
        result = Store(root).CheckWritable();
    }
    if (result != kErrorSuccess) {
        return result;
    }
    open_ = true;
    writable_ = WantsWrite(access);
    root_ = root;
    path_ = std::move(path);
    return kErrorSuccess;
}

LONG RegKey::Create(RegRoot root, std::wstring_view subKey, UINT access, bool* created) {
    Close();
    std::wstring path;
    if (!RegistryDocument::NormalizePath(subKey, &path)) {
        return kErrorInvalidParameter;
    }
    bool exists = Store(root).Read([&](const RegistryDocument& doc) {
        return doc.HasKey(path) ? kErrorSuccess : kErrorFileNotFound;
    }) == kErrorSuccess;
    bool isNew = false;
    LONG result = kErrorSuccess;
    if (!exists || WantsWrite(access)) {
        result = Store(root).Modify([&](RegistryDocument& doc, bool* changed) {
            doc.CreateKey(path, &isNew);
            *changed = isNew;
            return kErrorSuccess;
        });
    }
    if (result != kErrorSuccess) {
        return result;
    }
    if (created) {
        *created = isNew;
    }
    open_ = true;
    writable_ = WantsWrite(access);
    root_ = root;
    path_ = std::move(path);
    return kErrorSuccess;
}

void RegKey::Close() {
    open_ = false;
    writable_ = false;
    path_.clear();
}

LONG RegKey::CheckOpen(bool write) const {
    if (!open_) {
        return kErrorInvalidHandle;
    }
    if (write && !writable_) {
        return kErrorAccessDenied;
    }
    return kErrorSuccess;
}

LONG RegKey::QueryValue(std::wstring_view name, DWORD* type, std::uint8_t* data,
                        DWORD* size) const {
    if (LONG check = CheckOpen(false); check != kErrorSuccess) {
        return check;
    }
    if (data != nullptr && size == nullptr) {
        return kErrorInvalidParameter;
    }
    return Store(root_).Read([&](const RegistryDocument& doc) -> LONG {
        if (!doc.HasKey(path_)) {
            return kErrorKeyDeleted;
        }
        const RegistryDocument::Key* key = doc.FindKey(path_);
        const RegistryDocument::Value* value =
            key ? RegistryDocument::FindValue(*key, name) : nullptr;
        if (value == nullptr) {
            return kErrorFileNotFound;
        }
        if (type) {
            *type = value->type;
        }
        const DWORD needed = static_cast<DWORD>(value->data.size());
        if (data != nullptr) {
            if (*size < needed) {
                *size = needed;
                return kErrorMoreData;
            }
            std::copy(value->data.begin(), value->data.end(), data);
        }
        if (size) {
            *size = needed;
        }
        return kErrorSuccess;
    });
}

LONG RegKey::QueryValue(std::wstring_view name, RegValue* value) const {
    if (LONG check = CheckOpen(false); check != kErrorSuccess) {
        return check;
    }
    return Store(root_).Read([&](const RegistryDocument& doc) -> LONG {
        if (!doc.HasKey(path_)) {
            return kErrorKeyDeleted;
        }
        const RegistryDocument::Key* key = doc.FindKey(path_);
        const RegistryDocument::Value* found =
            key ? RegistryDocument::FindValue(*key, name) : nullptr;
        if (found == nullptr) {
            return kErrorFileNotFound;
        }
        value->type = found->type;
        value->data = found->data;
        return kErrorSuccess;
    });
}

LONG RegKey::SetValue(std::wstring_view name, DWORD type, const void* data, DWORD size) {
    if (LONG check = CheckOpen(true); check != kErrorSuccess) {
        return check;
    }
    if (data == nullptr && size != 0) {
        return kErrorInvalidParameter;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::vector<std::uint8_t> copy(bytes, bytes + size);
    return Store(root_).Modify([&](RegistryDocument& doc, bool* changed) -> LONG {
        if (!doc.HasKey(path_)) {
            return kErrorKeyDeleted;
        }
        RegistryDocument::Key& key = doc.CreateKey(path_, nullptr);
        *changed = RegistryDocument::SetValue(key, name, type, std::move(copy));
        return kErrorSuccess;
    });
}

LONG RegKey::SetDword(std::wstring_view name, DWORD value) {
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return SetValue(name, kRegDword, bytes, 4);
}

LONG RegKey::SetBinary(std::wstring_view name, const void* data, DWORD size) {
    return SetValue(name, kRegBinary, data, size);
}

LONG RegKey::SetString(std::wstring_view name, std::wstring_view text) {
    std::u16string units = Utf16FromWide(text);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(units.size() * 2 + 2);
    for (char16_t u : units) {
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return SetValue(name, kRegSz, bytes.data(), static_cast<DWORD>(bytes.size()));
}

LONG RegKey::DeleteValue(std::wstring_view name) {
    if (LONG check = CheckOpen(true); check != kErrorSuccess) {
        return check;
    }
    return Store(root_).Modify([&](RegistryDocument& doc, bool* changed) -> LONG {
        RegistryDocument::Key* key = doc.FindKey(path_);
        if (!doc.HasKey(path_)) {
            return kErrorKeyDeleted;
        }
        *changed = key && RegistryDocument::DeleteValue(*key, name);
        return *changed ? kErrorSuccess : kErrorFileNotFound;
    });
}

LONG RegKey::EnumKeys(std::vector<std::wstring>* names) const {
    if (LONG check = CheckOpen(false); check != kErrorSuccess) {
        return check;
    }
    return Store(root_).Read([&](const RegistryDocument& doc) -> LONG {
        if (!doc.HasKey(path_)) {
            return kErrorKeyDeleted;
        }
        *names = doc.SubKeys(path_);
        return kErrorSuccess;
    });
}

LONG RegKey::EnumValues(std::vector<std::wstring>* names) const {
    if (LONG check = CheckOpen(false); check != kErrorSuccess) {
        return check;
    }
    return Store(root_).Read([&](const RegistryDocument& doc) -> LONG {
        if (!doc.HasKey(path_)) {
            return kErrorKeyDeleted;
        }
        names->clear();
        if (const RegistryDocument::Key* key = doc.FindKey(path_)) {
            for (const auto& v : key->values()) {
                names->push_back(v.name);
            }
        }
        return kErrorSuccess;
    });
}

LONG DeleteRegTree(RegRoot root, std::wstring_view subKey) {
    std::wstring path;
    if (!RegistryDocument::NormalizePath(subKey, &path)) {
        return kErrorFileNotFound;
    }
    LONG exists = Store(root).Read([&](const RegistryDocument& doc) {
        return doc.HasKey(path) ? kErrorSuccess : kErrorFileNotFound;
    });
    if (exists != kErrorSuccess) {
        return exists;
    }
    return Store(root).Modify([&](RegistryDocument& doc, bool* changed) -> LONG {
        if (!doc.HasKey(path)) {
            return kErrorFileNotFound;
        }
        *changed = doc.DeleteTree(path);
        return kErrorSuccess;
    });
}

std::wstring RegStringFromBytes(const std::vector<std::uint8_t>& data) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        char16_t u = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (u == 0) {
            break;
        }
        units.push_back(u);
    }
    return WideFromUtf16(units);
}

}  // namespace platform
