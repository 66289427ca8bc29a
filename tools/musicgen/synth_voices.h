#pragma once
// The pitched instruments. Each function adds one note into a track.

#include <cstdint>
#include <vector>

#include "tools/common/stereo_signal.h"
#include "tools/musicgen/score.h"

// Two detuned saws through a low-pass that snaps open on the attack, over a
// sine at the fundamental; softly saturated.
void AddBassNote(std::vector<float>& track, const NoteEvent& note);
// Slow-attack chord voice: a saw for each side, detuned against each other,
// through a low-pass that drifts slowly; the seed sets the drift's phase.
void AddPadNote(StereoSignal& track, const NoteEvent& note, uint32_t seed);
// Saw and square blend with delayed vibrato and a plucked filter envelope.
void AddLeadNote(std::vector<float>& track, const NoteEvent& note);
