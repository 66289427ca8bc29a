#pragma once
// The moment the show begins, once the scene has been loaded.

// Starts the music and the demo clock.
void StartMusic();
// Starts the music, gives the view to the scene camera and broadcasts "play".
void StartShow();
