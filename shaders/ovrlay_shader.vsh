#version 450 core
// Screen-space quads and 2D primitives, given in pixels from the top-left.

layout(location = 0) in vec4 inPosition;  // x, y, z, rhw
layout(location = 1) in vec2 inTexcoord;
layout(location = 2) in vec4 inColour;

uniform vec2 screenSize;

out gl_PerVertex { vec4 gl_Position; };
layout(location = 0) out vec2 texcoord;
layout(location = 1) out vec4 colour;

void main()
{
    gl_Position = vec4(inPosition.x / screenSize.x * 2.0 - 1.0,
                       1.0 - inPosition.y / screenSize.y * 2.0, 0.5, 1.0);
    texcoord = inTexcoord;
    colour = inColour;
}
