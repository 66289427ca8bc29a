#pragma once
// The moment the show begins, once the scene has been loaded: the demo clock
// starts, the music plays, the scene camera takes the view and "play" is
// broadcast.

class MusicPlayer;
struct ShowState;

// Starts the demo clock.
void StartClock(ShowState& show);
// Plays the music, looping, from a point of it; logs when it cannot.
// Nothing without a player (a show without sound).
void PlayMusicFrom(MusicPlayer* music, double seconds);
// Starts the clock and the music from its beginning.
void StartMusic(ShowState& show, MusicPlayer* music);
// The scene camera takes the view and "play" is broadcast.
void RaiseCurtain(ShowState& show);
// StartMusic, then RaiseCurtain.
void StartShow(ShowState& show, MusicPlayer* music);
