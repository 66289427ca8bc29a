#version 450 core
// 3D lines with a colour per vertex.

layout(location = 0) in vec4 inPosition;
layout(location = 2) in vec4 inColour;

uniform mat4 WorldView;
uniform mat4 Proj;

out gl_PerVertex { vec4 gl_Position; };
layout(location = 0) out vec2 texcoord;
layout(location = 1) out vec4 colour;

void main()
{
    gl_Position = Proj * (WorldView * vec4(inPosition.xyz, 1.0));
    texcoord = vec2(0.0);
    colour = inColour;
}
