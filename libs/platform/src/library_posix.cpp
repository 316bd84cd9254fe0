#include <dirent.h>
#include <dlfcn.h>

#include <cstdlib>
#include <list>
#include <map>
#include <mutex>
#include <string>

#include "platform/errors.h"
#include "platform/folders.h"
#include "platform/library.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace platform {

struct ModuleTag {
    void* dl = nullptr;                     // a loaded shared library
    std::map<std::string, void*> builtIns;  // a built-in system module
    const std::map<std::string, void*>* defaults = nullptr;
    std::wstring name;  // folded Windows name of a system module
};

namespace {

LONG BuiltInRegDeleteTree(RegRoot root, const wchar_t* subKey) {
    return DeleteRegTree(root, subKey ? subKey : L"");
}

struct SystemModule {
    const wchar_t* name;
    std::map<std::string, void*> functions;
};

const std::list<SystemModule>& SystemModules() {
    static const std::list<SystemModule> modules = {
        {L"advapi32.dll", {{"RegDeleteTreeW", reinterpret_cast<void*>(&BuiltInRegDeleteTree)}}},
    };
    return modules;
}

struct Loader {
    std::mutex mutex;
    std::list<ModuleTag> modules;  // never unloaded; stable addresses
    std::map<std::string, ModuleTag*> byPath;
};

Loader& TheLoader() {
    static Loader* loader = new Loader;  // lives as long as the libraries it holds
    return *loader;
}

std::wstring StripDll(std::wstring_view name) {
    if (name.size() > 4 && EqualsNoCase(name.substr(name.size() - 4), L".dll")) {
        return std::wstring(name.substr(0, name.size() - 4));
    }
    return std::wstring(name);
}

// The file in `folder` that stands for the Windows library `base`, matched without regard to
// case; empty when there is none.
std::string FindLibraryFile(const std::string& folder, const std::wstring& base, bool hadDll) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        return {};
    }
    std::string found;
    const std::wstring wanted1 = L"lib" + base + L".so";
    const std::wstring wanted2 = base + L".so";
    while (const dirent* entry = ::readdir(dir)) {
        std::wstring name = WidePath(entry->d_name);
        if (EqualsNoCase(name, wanted1) || EqualsNoCase(name, wanted2) ||
            (!hadDll && EqualsNoCase(name, base))) {
            found = folder + "/" + entry->d_name;
            // An exact-case match wins over others.
            if (name == wanted1 || name == wanted2) {
                break;
            }
        }
    }
    ::closedir(dir);
    return found;
}

}  // namespace

ModuleHandle LoadModule(const wchar_t* name) {
    std::wstring full = name ? name : L"";
    std::size_t cut = full.find_last_of(L"\\/");
    std::wstring file = cut == std::wstring::npos ? full : full.substr(cut + 1);
    if (file.empty()) {
        SetLastError(kErrorModNotFound);
        return nullptr;
    }
    Loader& loader = TheLoader();
    std::lock_guard<std::mutex> lock(loader.mutex);
    if (cut == std::wstring::npos) {
        for (const SystemModule& system : SystemModules()) {
            if (EqualsNoCase(file, system.name)) {
                std::string key = "system:" + Utf8FromWide(FoldCase(file));
                auto it = loader.byPath.find(key);
                if (it != loader.byPath.end()) {
                    return it->second;
                }
                ModuleTag& tag = loader.modules.emplace_back();
                tag.builtIns = system.functions;
                tag.defaults = &system.functions;
                tag.name = FoldCase(file);
                loader.byPath[key] = &tag;
                return &tag;
            }
        }
    }
    std::string folder;
    if (cut != std::wstring::npos) {
        folder = NativePath(full.substr(0, cut));
        if (folder.empty()) {
            folder = "/";
        }
    } else if (const char* dir = std::getenv("TOVI_LIBRARY_DIR"); dir && *dir) {
        folder = dir;
    } else {
        std::wstring programFolder = GetProgramFolder();
        folder = NativePath(programFolder);
        while (folder.size() > 1 && folder.back() == '/') {
            folder.pop_back();
        }
    }
    const std::wstring base = StripDll(file);
    std::string path = FindLibraryFile(folder, base, base.size() != file.size());
    if (path.empty()) {
        SetLastError(kErrorModNotFound);
        return nullptr;
    }
    auto it = loader.byPath.find(path);
    if (it != loader.byPath.end()) {
        SetLastError(kErrorSuccess);
        return it->second;
    }
    void* dl = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!dl) {
        SetLastError(kErrorBadExeFormat);
        return nullptr;
    }
    ModuleTag& tag = loader.modules.emplace_back();
    tag.dl = dl;
    loader.byPath[path] = &tag;
    SetLastError(kErrorSuccess);
    return &tag;
}

void* FindFunction(ModuleHandle module, const char* name) {
    if (module == nullptr || name == nullptr) {
        SetLastError(kErrorInvalidHandle);
        return nullptr;
    }
    void* fn = nullptr;
    if (module->dl) {
        fn = ::dlsym(module->dl, name);
    } else {
        std::lock_guard<std::mutex> lock(TheLoader().mutex);
        auto it = module->builtIns.find(name);
        fn = it == module->builtIns.end() ? nullptr : it->second;
    }
    SetLastError(fn ? kErrorSuccess : kErrorProcNotFound);
    return fn;
}

void RemoveSystemFunction(const wchar_t* module, const char* function) {
    ModuleHandle handle = LoadModule(module);
    if (handle == nullptr || handle->dl != nullptr) {
        return;
    }
    std::lock_guard<std::mutex> lock(TheLoader().mutex);
    handle->builtIns.erase(function);
}

void RestoreSystemFunctions() {
    Loader& loader = TheLoader();
    std::lock_guard<std::mutex> lock(loader.mutex);
    for (ModuleTag& tag : loader.modules) {
        if (tag.defaults) {
            tag.builtIns = *tag.defaults;
        }
    }
}

}  // namespace platform
