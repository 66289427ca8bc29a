#include "world/greeter.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/log.h"
#include "render/render_interface.h"
#include "world/actor_catalogue.h"
#include "world/world.h"

namespace {

constexpr uint32_t kOpaqueBlack = 0xFF000000u;
constexpr float kFadeSeconds = 0.5f;
constexpr float kHoldSeconds = 2.0f;
constexpr int kCharacterWidth = 20;

}  // namespace

uint32_t PackGrey(float level)
{
    const float clamped = std::clamp(level, 0.0f, 1.0f);
    const uint32_t byte = static_cast<uint32_t>(clamped * 255.0f);
    return kOpaqueBlack | byte << 16 | byte << 8 | byte;
}

const std::vector<std::string>& Greeter::Lines()
{
    static const std::vector<std::string> lines = {
        "An VKO Dovez Production",
        "Music: Quillon",
        "Code: Tessaract Moth",
        "Visuals: Ambergrist",
        "Greetings go out to",
        "Velvetine / Ninefold Lantern",
        "Orrery Kid / Saltmarsh Assembly",
        "Plumbago / The Copper Heron Guild",
        "Wrenfield / Quiet Static Society",
        "Nox Tallow / Umber Circuit",
        "Gallimaufry / Lowtide Cartographers",
        "Pip Ossuary / Marrow & Chrome",
        "",
        "the rest of the demoscene...",
    };
    return lines;
}

Greeter::Greeter(std::string greeterName) : EntitylessActor(std::move(greeterName))
{
    const ShowState& show = TheWorld().State();
    viewportWidth_ = show.viewportWidth;
    viewportHeight_ = show.viewportHeight;
    text_.text = buffer_;
    text_.bigFont = 1;
    text_.x = viewportWidth_ / 3;
    text_.y = viewportHeight_ / 2;
    text_.colour = 0xFFFFFFFFu;
    SubscribeTo("activate");
}

Greeter::~Greeter()
{
    RenderInterface* renderer = GetRenderer();
    for (; renderer && registrations_ > 0; --registrations_) {
        renderer->RemoveTextInstance(&text_);
    }
}

std::string Greeter::GetClassName()
{
    return actor_class::kGreeter;
}

void Greeter::ShowLine(size_t index)
{
    const std::string& line = Lines()[index];
    const size_t length = std::min(line.size(), kTextBytes - 1);
    std::memcpy(buffer_, line.data(), length);
    buffer_[length] = '\0';
}

void Greeter::Trigger(std::string event)
{
    if (event != "activate") {
        return;
    }
    lineIndex_ = 0;
    phase_ = kFadeIn;
    active_ = true;
    timer_ = 0.0f;
    ShowLine(0);
    RenderInterface* renderer = GetRenderer();
    const int result = renderer ? renderer->AddTextInstance(&text_) : -1;
    registrations_ += result == 0 ? 1 : 0;
    Log("reg text inst ", result);
    // The first line starts fading in at the event's own time, which the
    // frame that delivers it may have passed.
    Advance(TheWorld().EventLatenessMs());
}

float Greeter::PhaseSeconds() const
{
    return phase_ == kHold ? kHoldSeconds : kFadeSeconds;
}

uint32_t Greeter::PhaseColour() const
{
    switch (phase_) {
    case kFadeIn:
        return PackGrey(2.0f * timer_);
    case kFadeOut:
        return PackGrey(1.0f - 2.0f * timer_);
    default:
        return PackGrey(1.0f);
    }
}

void Greeter::NextPhase()
{
    if (phase_ != kFadeOut) {
        ++phase_;
        return;
    }
    phase_ = kFadeIn;
    ++lineIndex_;
    if (lineIndex_ < Lines().size()) {
        ShowLine(lineIndex_);
        const int length = static_cast<int>(std::strlen(buffer_));
        text_.x = viewportWidth_ / 2 - (length / 2) * kCharacterWidth;
        return;
    }
    active_ = false;
    text_.colour = kOpaqueBlack;
    RenderInterface* renderer = GetRenderer();
    const int result = renderer ? renderer->RemoveTextInstance(&text_) : -1;
    registrations_ -= result == 0 && registrations_ > 0 ? 1 : 0;
    Log("rel text inst ", result);
}

void Greeter::Update(float dtMs)
{
    if (active_) {
        Advance(dtMs);
    }
}

void Greeter::Advance(float ms)
{
    // The time past the end of a phase belongs to the next one, so each line
    // lasts exactly its three phases whatever the frame rate.
    timer_ += ms * 0.001f;
    while (active_ && timer_ >= PhaseSeconds()) {
        timer_ -= PhaseSeconds();
        NextPhase();
    }
    if (active_) {
        text_.colour = PhaseColour();
    }
}
