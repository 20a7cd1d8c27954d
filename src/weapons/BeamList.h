#ifndef KORVANE_WEAPONS_BEAMLIST_H
#define KORVANE_WEAPONS_BEAMLIST_H

#include <GL/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "math/Vector.h"

// One beam between an emitter and its target.
struct Beam
{
    uint32_t id;
    Vector start;  // world position of the emitter
    Vector vector; // from the start to the end of the beam
    Vector colour; // red, green, blue
    float width;
    float length; // the length of vector, recomputed whenever vector is set
};

// The beams of all beam turrets. The list stores and draws them; the turrets
// add, move and remove their own beam and apply its damage themselves.
class BeamList
{
  public:
    // Loads the alpha texture from the bitmap and compiles the beam shape.
    // A missing bitmap is fatal. Needs a current OpenGL context.
    explicit BeamList(const std::string& bitmapPath = "Textures\\beam.bmp");
    // Releases the shape list and the texture.
    ~BeamList();

    BeamList(const BeamList&) = delete;
    BeamList& operator=(const BeamList&) = delete;

    // Appends a beam and returns its id; the first id given out is 2.
    uint32_t AddBeam(const Vector& start, const Vector& vector, const Vector& colour, float width);
    // Moves the first beam with that id; an unknown id is ignored.
    void MoveBeam(uint32_t id, const Vector& start, const Vector& vector);
    // Removes the first beam with that id, keeping the order of the others; an unknown id is ignored.
    void RemoveBeam(uint32_t id);
    // Removes every beam; done at each change of player.
    void Clear() { beams.clear(); }

    // Draws every beam flickering in colour, opacity, thickness and texture offset;
    // thin lines in the sensor view.
    void Draw(bool sensorView) const;

    // The first beam with that id, or none.
    const Beam* FindBeam(uint32_t id) const;
    int Count() const { return int(beams.size()); }

    std::vector<Beam> beams; // in creation order
    uint32_t lastId;         // the id last given out; starts at 1
    GLuint list;             // display list of the beam shape
    GLuint texture;          // the beam's alpha texture

  private:
    Beam* Find(uint32_t id);
};

#endif
