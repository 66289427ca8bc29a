#pragma once

// Starts the music and the demo clock, hands the view to the scene camera
// and broadcasts "play". Called once the scene has been loaded.
void StartMusic();
