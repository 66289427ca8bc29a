#include "app/show_start.h"

#include "core/log.h"
#include "platform/music_player.h"
#include "world/world.h"

void StartClock(ShowState& show)
{
    show.musicStarted = true;
}

void PlayMusicFrom(double seconds)
{
    MusicPlayer& player = TheMusicPlayer();
    if (player.PlayFrom(seconds) != 0) {
        Log("Cannot start audio stream", player.ErrorText());
    }
}

void StartMusic(ShowState& show)
{
    StartClock(show);
    PlayMusicFrom(0.0);
}

void RaiseCurtain(ShowState& show)
{
    show.GiveViewToSceneCamera();
    Broadcast("play");
}

void StartShow(ShowState& show)
{
    StartMusic(show);
    RaiseCurtain(show);
}
