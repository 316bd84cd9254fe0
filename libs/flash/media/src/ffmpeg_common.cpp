#include "ffmpeg_common.h"

extern "C" {
#include <libavutil/log.h>
}

#include <mutex>

namespace flash::media::detail {

void QuietFfmpegLog() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_FATAL); });
}

}  // namespace flash::media::detail
