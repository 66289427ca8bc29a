#include "platform/timer.h"

#include <SDL.h>

Timer::Timer()
    : frequency_(static_cast<int64_t>(SDL_GetPerformanceFrequency())),
      lastCount_(static_cast<int64_t>(SDL_GetPerformanceCounter()))
{
}

double Timer::ToMs(int64_t counts) const
{
    return static_cast<double>(counts) / static_cast<double>(frequency_) * 1000.0;
}

double Timer::Tick()
{
    currentCount_ = static_cast<int64_t>(SDL_GetPerformanceCounter());
    const double elapsed = ToMs(currentCount_ - lastCount_);
    lastCount_ = currentCount_;
    return elapsed;
}

void Timer::MarkStart()
{
    markStart_ = static_cast<int64_t>(SDL_GetPerformanceCounter());
}

void Timer::MarkEnd()
{
    markEnd_ = static_cast<int64_t>(SDL_GetPerformanceCounter());
}

double Timer::MarkedMs() const
{
    return ToMs(markEnd_ - markStart_);
}
