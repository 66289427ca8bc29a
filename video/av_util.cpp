// FFmpeg's error codes as text.
#include "video/av_util.h"

extern "C" {
#include <libavutil/error.h>
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
