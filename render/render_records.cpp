#include "render/render_records.h"

#include "runtime/log.h"

Material::~Material()
{
    LogLine("material dtor");
}
