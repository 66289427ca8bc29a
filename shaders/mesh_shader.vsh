#version 450 core
// Geometry pass, meshes: world-space surface attributes for the targets.

layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec3 inNormal;
layout(location = 2) in vec2 inTexcoord;
layout(location = 3) in vec3 inTangent;
layout(location = 4) in vec3 inBinormal;

uniform mat4 Proj;
uniform mat4 WorldView;
uniform mat4 ModelMat;
uniform mat4 NormalMat;

out gl_PerVertex { vec4 gl_Position; };
layout(location = 1) out vec3 worldNormal;
layout(location = 2) out vec2 texcoord;
layout(location = 3) out vec3 worldTangent;
layout(location = 4) out vec3 worldBinormal;

void main()
{
    gl_Position = Proj * (WorldView * vec4(inPosition, 1.0));
    worldNormal = (NormalMat * vec4(inNormal, 0.0)).xyz;
    worldTangent = (ModelMat * vec4(inTangent, 0.0)).xyz;
    worldBinormal = (ModelMat * vec4(inBinormal, 0.0)).xyz;
    texcoord = inTexcoord;
}
