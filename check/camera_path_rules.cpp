#include "check/camera_path_rules.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <optional>
#include <set>
#include <sstream>

#include "check/scene_motion.h"
#include "check/value_rules.h"
#include "render/camera_lens.h"
#include "world/actor_catalogue.h"
#include "world/bass_bouncer.h"

namespace {

// The shape of the picture the player draws (its sizes keep it).
constexpr float kPictureAspect = 16.0f / 9.0f;
// Paths are followed at most this far into the show (an hour), however
// late its end is written: the check ends in moments.
constexpr double kLongestShow = 3600.0;

// A stretch of show time in which one camera is the one the show looks through.
struct Shot {
    std::string camera;
    double from = 0.0;
    double to = 0.0;
};

// An object as the camera may meet it.
struct Obstacle {
    std::string name;
    const EntityMotion* motion = nullptr;
    MeshExtent extent;
    // Spun and scaled by a bouncer: taken as the ball its mesh sweeps at the
    // peak of the pulse.
    bool bounced = false;
};

struct Nearness {
    bool inside = false;
    float distance = 0.0f;  // from the eye to the bounds; 0 inside
};

// The earliest 'exit' ends the show; without one the music does; without
// music, a second after the last key or activation.
double WrittenShowEnd(const SceneContext& context, const SceneMotion& motion)
{
    double exit = INFINITY;
    double latest = 0.0;
    if (const MarkedElement* section = context.sections[kEventTrigger]) {
        for (const MarkedElement* trigger : section->children) {
            const MarkedAttribute* time = trigger->Attribute("eventTime");
            const double seconds = time ? LeadingNumber(time->value) : NAN;
            if (!SceneContext::Misread(*trigger) && std::isfinite(seconds) && seconds > 0.0) {
                latest = std::max(latest, seconds);
                if (trigger->name == "exit") {
                    exit = std::min(exit, seconds);
                }
            }
        }
    }
    if (std::isfinite(exit)) {
        return exit;
    }
    if (context.musicSeconds) {
        return *context.musicSeconds;
    }
    for (const auto& [name, object] : motion.Objects()) {
        latest = std::max(latest, object.LastKeyTime());
    }
    for (const auto& [name, actor] : context.actors) {
        if (const EntityMotion* camera = motion.FindActor(name)) {
            latest = std::max(latest, camera->LastKeyTime());
        }
    }
    return latest + 1.0;
}

double ShowEnd(const SceneContext& context, const SceneMotion& motion)
{
    return std::min(WrittenShowEnd(context, motion), kLongestShow);
}

// The camera an 'activate' trigger makes the view, or empty when it makes
// none: its target when that is a camera; every subscriber when it names
// no actor, of which the last camera in the scene wins.
std::string CameraActivated(const MarkedElement& trigger, const SceneContext& context,
                            const std::vector<std::string>& camerasInOrder)
{
    if (const MarkedAttribute* target = trigger.Attribute("target")) {
        if (const auto actor = context.actors.find(target->value); actor != context.actors.end()) {
            return actor->second.className == actor_class::kCamera ? target->value : std::string();
        }
    }
    return camerasInOrder.empty() ? std::string() : camerasInOrder.back();
}

std::vector<std::string> CamerasInOrder(const SceneContext& context)
{
    std::vector<std::string> cameras;
    if (const MarkedElement* section = context.sections[kActors]) {
        for (const MarkedElement* element : section->children) {
            const auto actor = context.actors.find(element->name);
            if (actor != context.actors.end() && actor->second.element == element &&
                actor->second.className == actor_class::kCamera) {
                cameras.push_back(element->name);
            }
        }
    }
    return cameras;
}

// Who looks when: each activation holds until the next one or the end.
std::vector<Shot> Shots(const SceneContext& context, double end)
{
    const MarkedElement* section = context.sections[kEventTrigger];
    if (!section) {
        return {};
    }
    const std::vector<std::string> cameras = CamerasInOrder(context);
    std::vector<std::pair<double, std::string>> cuts;
    for (const MarkedElement* trigger : section->children) {
        const MarkedAttribute* time = trigger->Attribute("eventTime");
        if (SceneContext::Misread(*trigger) || trigger->name != "activate" || !time) {
            continue;
        }
        const double seconds = LeadingNumber(time->value);
        std::string camera = CameraActivated(*trigger, context, cameras);
        if (std::isfinite(seconds) && seconds > 0.0 && seconds < end && !camera.empty()) {
            cuts.emplace_back(seconds, std::move(camera));
        }
    }
    std::stable_sort(cuts.begin(), cuts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Shot> shots;
    for (size_t i = 0; i < cuts.size(); ++i) {
        const double to = i + 1 < cuts.size() ? cuts[i + 1].first : end;
        if (!shots.empty() && shots.back().camera == cuts[i].second) {
            shots.back().to = to;  // activated again: the same shot goes on
        } else if (to > cuts[i].first) {
            shots.push_back({cuts[i].second, cuts[i].first, to});
        }
    }
    return shots;
}

std::set<std::string> BouncedObjects(const SceneContext& context)
{
    std::set<std::string> bounced;
    for (const auto& [name, actor] : context.actors) {
        if (actor.className != actor_class::kBassBouncer) {
            continue;
        }
        for (const MarkedElement* child : actor.element->children) {
            if (child->name == "child" && !child->attributes.empty()) {
                bounced.insert(child->attributes.front().value);
            }
        }
    }
    return bounced;
}

std::vector<Obstacle> Obstacles(const SceneContext& context, const SceneMotion& motion)
{
    const std::set<std::string> bounced = BouncedObjects(context);
    std::vector<Obstacle> obstacles;
    for (const auto& [name, object] : motion.Objects()) {
        const MarkedElement* mesh = context.objects.at(name)->Child("Mesh");
        const auto extent = mesh && !mesh->attributes.empty()
                                ? context.meshExtents.find(mesh->attributes.front().value)
                                : context.meshExtents.end();
        if (extent != context.meshExtents.end()) {
            obstacles.push_back({name, &object, extent->second, bounced.count(name) > 0});
        }
    }
    return obstacles;
}

// The eye against the object's box: the mesh's extent scaled, turned and
// placed as the object is at that time.
Nearness BoxNearness(const Vec3& eye, const Obstacle& obstacle, double time)
{
    const Vec3 position = obstacle.motion->At(kPosition, time);
    const Vec3 rotation = obstacle.motion->At(kRotation, time);
    const Vec3 scale = obstacle.motion->At(kScale, time);
    Matrix4 turn;
    Matrix4 turnBack;
    MatrixRotationYawPitchRoll(&turn, rotation.x, rotation.y, rotation.z);
    MatrixTranspose(&turnBack, &turn);
    // The eye in the object's frame, before the scaling: there the box is
    // the extent times the scale.
    const Vec3 local = TransformCoord(Subtract(eye, position), turnBack);
    const float eyeAt[3] = {local.x, local.y, local.z};
    const float low[3] = {obstacle.extent.lowest.x * scale.x, obstacle.extent.lowest.y * scale.y,
                          obstacle.extent.lowest.z * scale.z};
    const float high[3] = {obstacle.extent.highest.x * scale.x, obstacle.extent.highest.y * scale.y,
                           obstacle.extent.highest.z * scale.z};
    Nearness nearness{true, 0.0f};
    float squared = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        const float from = std::min(low[axis], high[axis]);
        const float to = std::max(low[axis], high[axis]);
        const float outside = std::max({from - eyeAt[axis], eyeAt[axis] - to, 0.0f});
        squared += outside * outside;
        nearness.inside = nearness.inside && eyeAt[axis] > from && eyeAt[axis] < to;
    }
    nearness.distance = std::sqrt(squared);
    return nearness;
}

Nearness BallNearness(const Vec3& eye, const Obstacle& obstacle, double time)
{
    const Vec3 centre = obstacle.motion->At(kPosition, time);
    const Vec3 scale = obstacle.motion->given[kScale];
    const float largest = std::max({std::abs(scale.x), std::abs(scale.y), std::abs(scale.z)});
    const float radius = obstacle.extent.radius * largest * BassBouncer::kPeakLevel;
    const Vec3 offset = Subtract(eye, centre);
    const float distance = std::sqrt(Dot(offset, offset)) - radius;
    return Nearness{distance < 0.0f, std::max(distance, 0.0f)};
}

std::string Seconds(double seconds)
{
    std::ostringstream text;
    text << std::fixed << std::setprecision(1) << seconds << " s";
    return text.str();
}

// One run of samples in which the eye was too near one object: its span,
// and the part of it in which the eye was inside.
struct Run {
    double from = 0.0;
    std::optional<double> insideFrom;
    double insideTo = 0.0;
};

class ShotChecker {
public:
    ShotChecker(SceneContext& context, const SceneMotion& motion, const std::vector<Obstacle>& obstacles)
        : context_(context), motion_(motion), obstacles_(obstacles),
          reach_(NearPlaneReach(SceneProjection(kPictureAspect)))
    {
    }

    void Check(const Shot& shot)
    {
        const EntityMotion* camera = motion_.FindActor(shot.camera);
        if (!camera) {
            return;
        }
        const MarkedElement* automation = camera->automations[kPosition];
        where_ = automation ? automation->where : context_.actors.at(shot.camera).element->where;
        camera_ = shot.camera;
        std::vector<std::optional<Run>> runs(obstacles_.size());
        for (double k = std::ceil(shot.from * kCameraSamplesPerSecond);; ++k) {
            const double time = k / kCameraSamplesPerSecond;
            if (time >= shot.to) {
                break;
            }
            // The renderer's translation is the camera's Position: the eye
            // sits at its negation.
            const Vec3 eye = camera->At(kPosition, time).Times(-1.0f);
            for (size_t i = 0; i < obstacles_.size(); ++i) {
                Sample(obstacles_[i], eye, time, runs[i]);
            }
        }
        for (size_t i = 0; i < obstacles_.size(); ++i) {
            if (runs[i]) {
                Report(obstacles_[i].name, *runs[i], shot.to);
            }
        }
    }

private:
    void Sample(const Obstacle& obstacle, const Vec3& eye, double time, std::optional<Run>& run)
    {
        const Nearness nearness =
            obstacle.bounced ? BallNearness(eye, obstacle, time) : BoxNearness(eye, obstacle, time);
        if (!nearness.inside && !(nearness.distance < reach_)) {
            if (run) {
                Report(obstacle.name, *run, time);
                run.reset();
            }
            return;
        }
        if (!run) {
            run = Run{time, std::nullopt, 0.0};
        }
        if (nearness.inside) {
            run->insideFrom = run->insideFrom.value_or(time);
            run->insideTo = time + 1.0 / kCameraSamplesPerSecond;
        }
    }

    // `to`: the first sample after the run, or the end of the shot.
    void Report(const std::string& object, const Run& run, double to)
    {
        const std::string camera = "camera '" + camera_ + "' ";
        if (run.insideFrom) {
            context_.Warning(where_, camera + "is inside '" + object + "' from " + Seconds(*run.insideFrom) +
                                         " to " + Seconds(std::min(run.insideTo, to)));
            return;
        }
        std::ostringstream reach;
        reach << std::setprecision(2) << reach_;
        context_.Warning(where_, camera + "comes nearer to '" + object + "' than its near plane reaches (" +
                                     reach.str() + ") from " + Seconds(run.from) + " to " + Seconds(to));
    }

    SceneContext& context_;
    const SceneMotion& motion_;
    const std::vector<Obstacle>& obstacles_;
    const float reach_;
    TextPosition where_;
    std::string camera_;
};

}  // namespace

void CheckCameraPaths(SceneContext& context)
{
    const SceneMotion motion(context);
    const std::vector<Obstacle> obstacles = Obstacles(context, motion);
    ShotChecker checker(context, motion, obstacles);
    for (const Shot& shot : Shots(context, ShowEnd(context, motion))) {
        checker.Check(shot);
    }
}
