// FFmpeg's error codes as text.
#include "media/av_util.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace {

void DropLibraryLine(void*, int, const char*, va_list) {}

}  // namespace

void QuietLibraryLog()
{
    av_log_set_callback(DropLibraryLine);
}

std::string AvErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

bool AvFail(std::string* error, const std::string& what, int code)
{
    return Fail(error, what + ": " + AvErrorText(code));
}
