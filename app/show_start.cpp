#include "app/show_start.h"

#include "core/log.h"
#include "core/process_state.h"
#include "platform/music_player.h"
#include "world/camera_selection.h"
#include "world/world.h"

void StartClock()
{
    musicStarted = true;
}

void PlayMusicFrom(double seconds)
{
    MusicPlayer& player = TheMusicPlayer();
    if (player.PlayFrom(seconds) != 0) {
        Log("Cannot start audio stream", player.ErrorText());
    }
}

void StartMusic()
{
    StartClock();
    PlayMusicFrom(0.0);
}

void RaiseCurtain()
{
    GiveViewToSceneCamera();
    Broadcast("play");
}

void StartShow()
{
    StartMusic();
    RaiseCurtain();
}
