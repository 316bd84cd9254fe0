#pragma once

#include "host/wx_prompts.h"
#include "prompts.h"

namespace uninstall {

// The host layer's message boxes. The toolkit is started only for the first message box, so
// the modes that show none run without a display (as the package's installation runs register
// mode); where no display can be opened the message goes to the standard error stream.
class WxPrompts : public host::WxPrompts {
  public:
    WxPrompts(int argc, char** argv) : host::WxPrompts(kProgramTitle), argc_(argc), argv_(argv) {}
    ~WxPrompts() override;
    WxPrompts(const WxPrompts&) = delete;
    WxPrompts& operator=(const WxPrompts&) = delete;

    host::PromptAnswer Show(const host::Message& message) override;

  private:
    bool StartToolkit();

    int argc_;
    char** argv_;
    enum class Toolkit { NotTried, Running, Unavailable } toolkit_ = Toolkit::NotTried;
};

}  // namespace uninstall
