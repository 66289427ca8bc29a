#include "platform/music_player.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cmath>

MusicPlayer::MusicPlayer()
{
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
    stream_ = Mix_LoadMUS(fileName.c_str());
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

MusicPlayer& TheMusicPlayer()
{
    static MusicPlayer player;
    return player;
}
