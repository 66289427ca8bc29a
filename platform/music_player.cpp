#include "platform/music_player.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <alsa/asoundlib.h>

#include <cmath>

#include "core/file_read.h"

namespace {

// The sound library's own messages while it looks for a device: on a
// machine without a sound card it would print a dozen lines about the cards
// it cannot find. Whether a device opened is told once, by the caller.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

MusicPlayer::MusicPlayer()
{
    snd_lib_error_set_handler(QuietAlsa);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        lastError_ = kNoAudioDevice;
        return;
    }
    Mix_Init(MIX_INIT_OGG);
    deviceOpen_ = Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) == 0;
    if (!deviceOpen_) {
        lastError_ = kNoAudioDevice;
    }
}

MusicPlayer::~MusicPlayer()
{
    if (stream_) {
        Mix_HaltMusic();
        Mix_FreeMusic(stream_);
    }
    if (deviceOpen_) {
        Mix_CloseAudio();
    }
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int MusicPlayer::Load(const std::string& fileName)
{
    if (!deviceOpen_) {
        lastError_ = kNoAudioDevice;
        return -1;
    }
    // A FIFO or a device would block the opening thread, perhaps for ever.
    stream_ = IsSpecialFile(fileName) ? nullptr : Mix_LoadMUS(fileName.c_str());
    if (!stream_) {
        lastError_ = kCannotLoadFile;
        return -1;
    }
    return 0;
}

int MusicPlayer::Play()
{
    if (!stream_) {
        lastError_ = deviceOpen_ ? kNoStream : kNoAudioDevice;
        return -1;
    }
    if (Mix_PlayMusic(stream_, -1) != 0) {
        lastError_ = kCannotPlay;
        return -1;
    }
    return 0;
}

int MusicPlayer::PlayFrom(double seconds)
{
    if (Play() != 0) {
        return -1;
    }
    const double length = Duration();
    if (seconds > 0.0 && length > 0.0) {
        Mix_SetMusicPosition(std::fmod(seconds, length));
    }
    return 0;
}

void MusicPlayer::Pause()
{
    if (stream_) {
        Mix_PauseMusic();
    }
}

void MusicPlayer::Resume()
{
    if (stream_) {
        Mix_ResumeMusic();
    }
}

double MusicPlayer::Duration() const
{
    const double length = stream_ ? Mix_MusicDuration(stream_) : 0.0;
    return length > 0.0 ? length : 0.0;
}

std::string MusicPlayer::ErrorText() const
{
    return std::to_string(lastError_);
}

bool MusicPlayer::Playing() const
{
    return stream_ && Mix_PlayingMusic() != 0;
}
