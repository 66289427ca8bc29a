#version 450 core
// Geometry pass, line sets: points of a curve in world space.

layout(location = 0) in vec3 inPosition;

uniform mat4 WorldView;
uniform mat4 Proj;

out gl_PerVertex { vec4 gl_Position; float gl_PointSize; };
layout(location = 0) out float viewDepth;

void main()
{
    vec4 view = WorldView * vec4(inPosition, 1.0);
    gl_Position = Proj * view;
    gl_PointSize = 2.0;
    viewDepth = view.z;
}
