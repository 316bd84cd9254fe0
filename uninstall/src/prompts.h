#pragma once

#include <string>

// Every message box of the uninstaller goes through a prompt service, so tests can answer it.
namespace uninstall {

enum class PromptIcon { None, Warning, Error };

struct Prompt {
    std::wstring text;
    std::wstring caption;
    PromptIcon icon = PromptIcon::None;
};

// Message boxes with one OK button; the uninstaller asks no questions.
class PromptService {
  public:
    virtual ~PromptService() = default;
    virtual void Show(const Prompt& prompt) = 0;
};

// The title of the program's own message boxes.
inline constexpr wchar_t kProgramTitle[] = L"卸载ToviFLash播放器";

}  // namespace uninstall
