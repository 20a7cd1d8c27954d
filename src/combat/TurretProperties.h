#ifndef KORVANE_COMBAT_TURRETPROPERTIES_H
#define KORVANE_COMBAT_TURRETPROPERTIES_H

#include "assets/Ase.h"

// A turret marker's numbers override the turret's defaults slot by slot: a
// slot the marker's name does not carry leaves the default in place.
inline void OverrideFromProperty(const AseNode& node, int slot, float& field, float scale = 1.0f)
{
    if (node.propertyCount > slot)
    {
        field = node.properties[slot] * scale;
    }
}

#endif
