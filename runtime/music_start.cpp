#include "runtime/music_start.h"

#include "runtime/demo_state.h"
#include "runtime/log.h"
#include "runtime/music_player.h"
#include "runtime/runtime_state.h"
#include "world/world.h"

void StartMusic()
{
    musicStarted = true;
    MusicPlayer& player = TheMusicPlayer();
    if (player.Play() != 0) {
        Log("Cannot start audio stream", player.ErrorText());
    }
    if (sceneCamera && !freeCameraMode) {
        activeCamera = sceneCamera;
    }
    Broadcast("play");
}
