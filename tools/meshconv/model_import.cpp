#include "tools/meshconv/model_import.h"

#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include "tools/common/tangent_frame.h"

namespace {

constexpr unsigned kImportSteps = aiProcess_ValidateDataStructure | aiProcess_Triangulate |
                                  aiProcess_SortByPType | aiProcess_GenSmoothNormals |
                                  aiProcess_CalcTangentSpace | aiProcess_PreTransformVertices;

Float3 ToFloat3(const aiVector3D& v)
{
    return {v.x, v.y, v.z};
}

// What the mesh holds for one vertex index; zeros where it holds nothing.
MeshVertex VertexAt(const aiMesh& mesh, unsigned index, const ImportOptions& options)
{
    MeshVertex vertex;
    vertex.position = ToFloat3(mesh.mVertices[index]) * options.scale;
    if (mesh.HasTextureCoords(0)) {
        const aiVector3D& uv = mesh.mTextureCoords[0][index];
        vertex.texcoord = {uv.x, options.flipV ? 1.0f - uv.y : uv.y};
    }
    if (mesh.HasNormals()) {
        vertex.normal = ToFloat3(mesh.mNormals[index]);
    }
    if (mesh.HasTangentsAndBitangents()) {
        vertex.tangent = ToFloat3(mesh.mTangents[index]);
        const Float3 binormal = ToFloat3(mesh.mBitangents[index]);
        vertex.binormal = options.flipV ? -binormal : binormal;
    }
    return vertex;
}

// Gives a corner whose tangent the importer left out (or could not compute)
// the directions of its own triangle, then makes its frame orthonormal.
void CompleteFrame(MeshVertex& corner, const UvDirections& triangleUv, Float3 faceNormal)
{
    if (!IsFinite(corner.tangent) || Length(corner.tangent) == 0.0f || !IsFinite(corner.binormal)) {
        corner.tangent = triangleUv.tangent;
        corner.binormal = triangleUv.binormal;
    }
    OrthonormaliseFrame(corner, faceNormal);
}

void AppendTriangles(const aiMesh& mesh, const ImportOptions& options, std::vector<MeshVertex>& out)
{
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3 || face.mIndices[0] >= mesh.mNumVertices ||
            face.mIndices[1] >= mesh.mNumVertices || face.mIndices[2] >= mesh.mNumVertices) {
            continue;
        }
        MeshVertex corners[3] = {VertexAt(mesh, face.mIndices[0], options),
                                 VertexAt(mesh, face.mIndices[1], options),
                                 VertexAt(mesh, face.mIndices[2], options)};
        const UvDirections triangleUv = TriangleUvDirections(corners[0], corners[1], corners[2]);
        const Float3 faceNormal = Cross(corners[1].position - corners[0].position,
                                        corners[2].position - corners[0].position);
        for (MeshVertex& corner : corners) {
            CompleteFrame(corner, triangleUv, faceNormal);
            out.push_back(corner);
        }
    }
}

}  // namespace

ImportedModel ImportModel(const std::string& path, const ImportOptions& options)
{
    Assimp::Importer importer;
    importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE,
                                aiPrimitiveType_POINT | aiPrimitiveType_LINE);
    const aiScene* scene = importer.ReadFile(path, kImportSteps);
    ImportedModel model;
    if (!scene) {
        model.error = "cannot read '" + path + "': " + importer.GetErrorString();
        return model;
    }
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        if (scene->mMeshes[m]) {
            AppendTriangles(*scene->mMeshes[m], options, model.triangles);
        }
    }
    if (model.triangles.empty()) {
        model.error = "'" + path + "' holds no triangles";
    }
    return model;
}
