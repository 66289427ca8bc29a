#pragma once
// The moment the show begins, once the scene has been loaded: the demo clock
// starts, the music plays, the scene camera takes the view and "play" is
// broadcast.

// Starts the demo clock.
void StartClock();
// Plays the music, looping, from a point of it; logs when it cannot.
void PlayMusicFrom(double seconds);
// Starts the clock and the music from its beginning.
void StartMusic();
// The scene camera takes the view and "play" is broadcast.
void RaiseCurtain();
// StartMusic, then RaiseCurtain.
void StartShow();
