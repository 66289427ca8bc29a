#pragma once
// The procedural materials. Each one fills a colour picture and a height
// field of the given size; patterns span whole periods of the texture, so
// every material tiles without seams.

#include <cstdint>

#include "tools/texgen/material_images.h"

// Brushed steel plates (2 x 2) with grooved seams and rivets along the edges.
MaterialImages MakeMetalPlates(uint32_t width, uint32_t height, uint32_t seed);
// Mottled grey concrete with aggregate specks, pits, water streaks and a
// formwork joint along the top edge.
MaterialImages MakeConcrete(uint32_t width, uint32_t height, uint32_t seed);
// Square glazed tiles in grout, four across, in slightly varied colours.
MaterialImages MakeTiles(uint32_t width, uint32_t height, uint32_t seed);
// A dark panel in a raised frame with three glowing light strips and
// indicator lamps: it looks lit whatever the scene's lights do.
MaterialImages MakeLightPanel(uint32_t width, uint32_t height, uint32_t seed);
// Red-brown bricks (four across, eight courses) in running bond, in grey
// mortar, some darker, a few pale, sooty in places.
MaterialImages MakeBricks(uint32_t width, uint32_t height, uint32_t seed);
// Polished cream marble in four slabs, with grey veins edged in gold.
MaterialImages MakeMarble(uint32_t width, uint32_t height, uint32_t seed);
// Dark gunmetal hexagonal plates in deep grooves, each with a ring and a
// bolt at its centre.
MaterialImages MakeHexPlates(uint32_t width, uint32_t height, uint32_t seed);
// Orientation check: red top-left, green top-right, blue bottom-left and
// white bottom-right quarters on a flat surface.
MaterialImages MakeTestCard(uint32_t width, uint32_t height, uint32_t seed);
