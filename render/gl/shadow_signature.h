#pragma once
// What a light's shadow cube map shows, in one number: the light's place and
// reach, and every drawn instance that reaches into its cutoff sphere (its
// mesh, the revision of the mesh's vertices and its model matrix). Equal
// numbers mean the cube map drawn last time is still right, so the shadow
// pass draws a light's faces again only when this changes.

#include <cstdint>
#include <list>

#include "render/gl/gl_resources.h"

// Never 0, which stands for a cube map that was never drawn.
uint64_t ShadowSignature(const Vec3& lightPosition, float cutoff, const std::list<RenderInstance*>& instances);

// The radius around the mesh's origin that holds all its vertices.
float MeshRadius(const Mesh& mesh);
