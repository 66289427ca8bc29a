#include "app/show_start.h"

#include "core/log.h"
#include "platform/music_player.h"
#include "world/world.h"

void StartClock(ShowState& show)
{
    show.musicStarted = true;
}

void PlayMusicFrom(MusicPlayer* music, double seconds)
{
    if (music && music->PlayFrom(seconds) != 0) {
        Log("Cannot start audio stream", music->ErrorText());
    }
}

void StartMusic(ShowState& show, MusicPlayer* music)
{
    StartClock(show);
    PlayMusicFrom(music, 0.0);
}

void RaiseCurtain(ShowState& show)
{
    show.GiveViewToSceneCamera();
    Broadcast("play");
}

void StartShow(ShowState& show, MusicPlayer* music)
{
    StartMusic(show, music);
    RaiseCurtain(show);
}
