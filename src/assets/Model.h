#ifndef KORVANE_ASSETS_MODEL_H
#define KORVANE_ASSETS_MODEL_H

#include <GL/gl.h>

#include <string>

#include "assets/Ase.h"
#include "assets/Mesh.h"
#include "math/Vector.h"

// Everything needed to draw one kind of object, a ship class or a ship part:
// its scene, its colour skin and light map, and two display lists already
// turned from file axes (z up) into game axes (y up). A file point (x, y, z)
// is drawn at (-x, z, y).
//
// Once built, the scene, the lists and the textures live until the program
// ends; deleting a Model only drops the record and its names.
class Model
{
  public:
    // Reads "Models/" + fileName + ".ase", the skin "Textures\" + fileName +
    // ".bmp" and the light map "Textures\" + fileName + "_lmap.png", and
    // compiles both lists. Returns only when the model is complete: every
    // failure ends the program through FatalError. Needs an OpenGL context.
    Model(std::string fileName, std::string displayName);

    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    std::string fileName;      // the name the model was loaded by; catalogues are searched by it
    std::string displayName;   // shown to the player ("Tigershark-class battle frigate")
    AseGroup* scene = nullptr; // the scene read from the file; ships read its marker nodes
    Vector min;                // bounding box of the scene, file axes
    Vector max;
    GLuint modelList = 0;       // the textured model, game axes
    GLuint boxList = 0;         // the bounding-box outline, game axes
    GLuint texture = 0;         // colour skin
    GLuint lightMapTexture = 0; // light map
    Vector centre;              // of the bounding box, game axes
    float radius = 0.0f;        // half the box's diagonal: every vertex lies within it of the centre
    LastCorner lastCorner;      // the normal and texture coordinate the model list leaves current
};

// The turn from file axes to game axes that both model lists are compiled
// with, applied to one point: (x, y, z) becomes (-x, z, y).
Vector FileToGameAxes(const Vector& filePoint);

#endif
