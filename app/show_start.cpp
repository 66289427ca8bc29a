#include "app/show_start.h"

#include "core/log.h"
#include "core/process_state.h"
#include "platform/music_player.h"
#include "world/camera_selection.h"
#include "world/world.h"

void StartMusic()
{
    musicStarted = true;
    MusicPlayer& player = TheMusicPlayer();
    if (player.Play() != 0) {
        Log("Cannot start audio stream", player.ErrorText());
    }
}

void StartShow()
{
    StartMusic();
    GiveViewToSceneCamera();
    Broadcast("play");
}
