#pragma once
// The shapes meshgen knows, each with its options, their defaults and
// ranges, and the function that builds it.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/meshgen/indexed_mesh.h"

struct ShapeParameter {
    std::string option;  // e.g. "--radius"
    float value;         // the default
    double min;
    double max;
    bool whole;  // a count rather than a length
    std::string help;
};

using ShapeValues = std::map<std::string, float>;

struct ShapeKind {
    std::string name;
    std::string summary;
    std::vector<ShapeParameter> parameters;
    std::function<IndexedMesh(const ShapeValues&)> build;
    // Checks that involve more than one parameter; empty when they hold.
    std::function<std::string(const ShapeValues&)> check;
};

const std::vector<ShapeKind>& ShapeCatalog();
// Null when there is no shape of that name.
const ShapeKind* FindShapeKind(const std::string& name);
