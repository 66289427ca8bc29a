#pragma once
// The credits: a fixed list of lines shown one at a time in the large font,
// each fading in over 0.5 s, holding 2 s and fading out over 0.5 s, exactly,
// at any frame rate. Started by "activate"; the text leaves the screen after
// the last line.

#include <string>
#include <vector>

#include "render/render_records.h"
#include "world/actor.h"

class Greeter : public EntitylessActor {
public:
    static constexpr size_t kTextBytes = 128;
    enum Phase : int { kFadeIn = 0, kHold = 1, kFadeOut = 2 };

    explicit Greeter(std::string name);
    // Takes the text off the renderer if it is still registered.
    ~Greeter() override;

    std::string GetClassName() override;
    void Trigger(std::string event) override;
    void Update(float dtMs) override;

    static const std::vector<std::string>& Lines();

    const TextInstance& Text() const { return text_; }
    bool Active() const { return active_; }
    int CurrentPhase() const { return phase_; }
    size_t LineIndex() const { return lineIndex_; }
    float TimerSeconds() const { return timer_; }

private:
    void ShowLine(size_t index);
    // The length of the current phase, and the text's colour at the timer.
    float PhaseSeconds() const;
    uint32_t PhaseColour() const;
    // Ends the current phase: the next phase, the next line, or the end.
    void NextPhase();
    // Runs the sequence on by some milliseconds and colours the text.
    void Advance(float ms);

    char buffer_[kTextBytes] = {};
    TextInstance text_;
    int registrations_ = 0;  // of text_ with the renderer, not yet removed
    bool active_ = false;
    float timer_ = 0.0f;
    size_t lineIndex_ = 0;
    int phase_ = kFadeIn;
    int viewportWidth_ = 0;
    int viewportHeight_ = 0;
};

// Opaque grey of the given level (clamped to 0..1) as ARGB.
uint32_t PackGrey(float level);
