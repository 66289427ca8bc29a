#pragma once
// The viewpoint. Scene cameras are actors that an "activate" event makes the
// view; the editor camera is steered by hand. Rotation.x is the pitch and
// Rotation.y the yaw (radians); Position is the translation the renderer
// applies first, so the eye sits at the negated Position.

#include "core/math.h"
#include "world/actor.h"

class EngineCamera : public EntitylessActor {
public:
    explicit EngineCamera(std::string name);

    void Trigger(std::string event) override;
    // Rebuilds the orientation from Rotation; the time is not used.
    void Update(float dtMs) override;
    std::string GetClassName() override;

    void Pitch(float angle);
    void Yaw(float angle);
    // Takes another camera's position and angles: the view it gave.
    void TakePoseOf(const EngineCamera& other);
    void MoveForward(float distance);
    // The unit viewing direction: (cos a sin b, -sin a, -cos a cos b) for
    // pitch a and yaw b.
    Vec3 GetDirection() const;
    // The rotation handed to the renderer after the translation.
    Matrix4* GetOrientation();

private:
    Quaternion pitch_;
    Quaternion yaw_;
    Matrix4 orientation_;
};
