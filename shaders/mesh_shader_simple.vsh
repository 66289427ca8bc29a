#version 450 core
// Shadow pass: a mesh seen from a light through one cube face.

layout(location = 0) in vec3 inPosition;

uniform mat4 Proj;
uniform mat4 WorldView;
uniform mat4 ModelMat;
uniform vec4 lightPosUT;

out gl_PerVertex { vec4 gl_Position; };
layout(location = 0) out vec3 fromLight;

void main()
{
    gl_Position = Proj * (WorldView * vec4(inPosition, 1.0));
    // A cube face's first row is its top; a framebuffer's first row is its
    // bottom. Turning the picture over here keeps the faces where the
    // lighting pass looks them up.
    gl_Position.y = -gl_Position.y;
    fromLight = (ModelMat * vec4(inPosition, 1.0)).xyz - lightPosUT.xyz;
}
