#pragma once
// The soundtrack: one file played as one looping stream. Failures are kept
// as a small error number that the log shows.

#include <string>

struct _Mix_Music;

class MusicPlayer {
public:
    enum Error : int {
        kNoError = 0,
        kNoAudioDevice = 1,   // the audio device could not be opened
        kCannotLoadFile = 2,  // missing, unreadable or not music
        kNoStream = 3,        // nothing was loaded
        kCannotPlay = 4,
    };

    // Opens the default audio device at 44100 Hz, without the sound
    // library's messages; a failure shows later.
    MusicPlayer();
    ~MusicPlayer();
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    // 0, or -1 when the file cannot be loaded.
    int Load(const std::string& fileName);
    // Plays from the beginning, looping; 0, or -1.
    int Play();
    // Plays looping from a point of the music (taken modulo its length); 0, or -1.
    int PlayFrom(double seconds);
    // Holds the music where it is, and lets it go on from there.
    void Pause();
    void Resume();
    // The loaded music's length in seconds; 0 when unknown or nothing is loaded.
    double Duration() const;
    // The last error number in decimal.
    std::string ErrorText() const;
    bool Playing() const;
    // An audio device was opened.
    bool DeviceOpen() const { return deviceOpen_; }

private:
    bool deviceOpen_ = false;
    _Mix_Music* stream_ = nullptr;
    int lastError_ = kNoError;
};
