#include "world/engine_camera.h"

#include <utility>

#include "world/actor_catalogue.h"
#include "world/world.h"

EngineCamera::EngineCamera(std::string cameraName) : EntitylessActor(std::move(cameraName))
{
    pitch_.Clear();
    yaw_.Clear();
    SubscribeTo("activate");
}

void EngineCamera::Trigger(std::string event)
{
    if (event == "activate") {
        TheWorld().State().SetSceneCamera(this);
    }
}

void EngineCamera::Update(float)
{
    pitch_.FromAxisAngle(1, 0, 0, Rotation.x);
    yaw_.FromAxisAngle(0, 1, 0, Rotation.y);
}

std::string EngineCamera::GetClassName()
{
    return actor_class::kCamera;
}

void EngineCamera::Pitch(float angle)
{
    Rotation.x += angle;
    pitch_.FromAxisAngle(1, 0, 0, Rotation.x);
}

void EngineCamera::Yaw(float angle)
{
    Rotation.y += angle;
    yaw_.FromAxisAngle(0, 1, 0, Rotation.y);
}

void EngineCamera::TakePoseOf(const EngineCamera& other)
{
    Position = other.Position;
    Rotation = other.Rotation;
    pitch_.FromAxisAngle(1, 0, 0, Rotation.x);
    yaw_.FromAxisAngle(0, 1, 0, Rotation.y);
}

void EngineCamera::MoveForward(float distance)
{
    const Vec3 step = GetDirection().Times(distance);
    Position.Add(step.x, step.y, step.z);
}

Vec3 EngineCamera::GetDirection() const
{
    Matrix4 pitchOnly;
    pitch_.ToMatrix(&pitchOnly);
    Quaternion yawThenPitch;
    yaw_.Multiply(yawThenPitch, pitch_.x, pitch_.y, pitch_.z, pitch_.w);
    Matrix4 combined;
    yawThenPitch.ToMatrix(&combined);
    Vec3 direction{combined.m[2][0], pitchOnly.m[2][1], -combined.m[2][2]};
    return direction.Normalize();
}

Matrix4* EngineCamera::GetOrientation()
{
    Quaternion pitchThenYaw;
    pitch_.Multiply(pitchThenYaw, yaw_.x, yaw_.y, yaw_.z, yaw_.w);
    return pitchThenYaw.ToMatrix(&orientation_);
}
