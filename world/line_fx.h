#pragma once
// An animated curve of products of sines and cosines, centred on the actor's
// Position with its extent along x, y and z given by the actor's Scale,
// rewritten in place every frame and drawn by the renderer as a line set.

#include <memory>

#include "render/render_records.h"
#include "world/actor.h"

class LineFX : public EntitylessActor {
public:
    static constexpr int kLines = 1;
    static constexpr int kSegments = 4000;
    // Each segment's two end points follow each other in the array.
    static constexpr int kPoints = 2 * kLines * kSegments;

    explicit LineFX(std::string name);
    ~LineFX() override;

    std::string GetClassName() override;
    // Advances the effect's clock, then writes the curve at it.
    void Update(float dtMs) override;

    const LineSet& Lines() const { return lineSet_; }
    const Vec3* Points() const { return points_.get(); }
    float ClockSeconds() const { return static_cast<float>(clock_); }

private:
    void Generate();

    std::unique_ptr<Vec3[]> points_;
    LineSet lineSet_;
    double clock_ = 0.0;  // seconds; a float sum of frames would drift apart at different frame rates
};
