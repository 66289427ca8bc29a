#include "tools/musicgen/instrument_tracks.h"

#include <algorithm>
#include <functional>
#include <future>

#include "tools/musicgen/drum_voices.h"
#include "tools/musicgen/song_timing.h"
#include "tools/musicgen/synth_voices.h"

namespace {

bool StartsWithin(double start, size_t frames)
{
    return start * kSampleRate < static_cast<double>(frames);
}

// Calls add(hit, seed) for every hit of the given sounds; the seed is the
// hit's place in the score, so every hit's noise differs.
void ForEachHit(const Score& score, std::initializer_list<DrumSound> sounds, size_t frames,
                const std::function<void(const DrumHit&, uint32_t)>& add)
{
    for (size_t index = 0; index < score.drums.size(); ++index) {
        const DrumHit& hit = score.drums[index];
        if (std::find(sounds.begin(), sounds.end(), hit.sound) != sounds.end() &&
            StartsWithin(hit.start, frames)) {
            add(hit, static_cast<uint32_t>(index * 2654435761u + 1u));
        }
    }
}

void RenderKick(const Score& score, std::vector<float>& track)
{
    ForEachHit(score, {DrumSound::Kick}, track.size(), [&](const DrumHit& hit, uint32_t seed) {
        AddKick(track, hit.start, hit.velocity, seed);
    });
}

void RenderSnare(const Score& score, std::vector<float>& track)
{
    ForEachHit(score, {DrumSound::Snare, DrumSound::Clap}, track.size(),
               [&](const DrumHit& hit, uint32_t seed) {
                   if (hit.sound == DrumSound::Snare) {
                       AddSnare(track, hit.start, hit.velocity, seed);
                   } else {
                       AddClap(track, hit.start, hit.velocity, seed);
                   }
               });
}

void RenderCymbals(const Score& score, StereoSignal& track)
{
    const auto sounds = {DrumSound::ClosedHat, DrumSound::OpenHat, DrumSound::Crash,
                         DrumSound::Riser};
    ForEachHit(score, sounds, track.Frames(), [&](const DrumHit& hit, uint32_t seed) {
        switch (hit.sound) {
        case DrumSound::Crash: AddCrash(track, hit.start, hit.velocity, seed); break;
        case DrumSound::Riser: AddRiser(track, hit.start, hit.length, hit.velocity, seed); break;
        default:
            AddHat(track, hit.start, hit.velocity, hit.sound == DrumSound::OpenHat, seed);
            break;
        }
    });
}

template <typename Track, typename AddNote>
void RenderNotes(const std::vector<NoteEvent>& notes, Track& track, size_t frames, AddNote add)
{
    for (size_t index = 0; index < notes.size(); ++index) {
        if (StartsWithin(notes[index].start, frames)) {
            add(track, notes[index], static_cast<uint32_t>(index));
        }
    }
}

}  // namespace

void RenderInstrumentTracks(const Score& score, InstrumentTracks& tracks)
{
    const size_t frames = tracks.kick.size();
    std::vector<std::future<void>> jobs;
    const auto run = [&](std::function<void()> job) {
        jobs.push_back(std::async(std::launch::async, job));
    };
    run([&] { RenderKick(score, tracks.kick); });
    run([&] { RenderSnare(score, tracks.snare); });
    run([&] { RenderCymbals(score, tracks.cymbals); });
    run([&] {
        RenderNotes(score.bass, tracks.bass, frames,
                    [](std::vector<float>& t, const NoteEvent& n, uint32_t) { AddBassNote(t, n); });
    });
    run([&] { RenderNotes(score.pad, tracks.pad, frames, AddPadNote); });
    run([&] {
        RenderNotes(score.lead, tracks.lead, frames,
                    [](std::vector<float>& t, const NoteEvent& n, uint32_t) { AddLeadNote(t, n); });
    });
    for (std::future<void>& job : jobs) {
        job.get();
    }
}
