#pragma once
// A high-resolution stopwatch: each Tick gives the milliseconds since the
// previous one (or since construction).

#include <cstdint>

class Timer {
public:
    Timer();
    double Tick();
    void MarkStart();
    void MarkEnd();
    double MarkedMs() const;

private:
    double ToMs(int64_t counts) const;

    int64_t frequency_;
    int64_t lastCount_;
    int64_t currentCount_ = 0;
    int64_t markStart_ = 0;
    int64_t markEnd_ = 0;
};
