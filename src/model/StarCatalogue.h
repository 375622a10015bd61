// Star catalogue files ("sao.pc", "ppm.pc") and the sky points made from
// them.
//
// File format, little-endian: a 28-byte header of seven int32 (reserved,
// firstStarNumber, lastStarNumber, idFlag, reserved, reserved, entrySize),
// then entries of entrySize bytes back to back. An entry is an optional
// 4-byte star number (when idFlag is non-zero), right ascension and
// declination as float64 radians, two spectral-type characters and the
// magnitude as int16 hundredths; any bytes after that are unused. Entries
// come in 18 declination zones of 10 degrees from +90 down, each in
// increasing right ascension.
#pragma once

#include <cstdint>

namespace model {

// One sky point in the vertex layout XYZ | PSIZE | DIFFUSE: arrays of these
// are copied unchanged into a point-list vertex buffer.
struct StarRecord {
    float x = 0, y = 0, z = 0; // unit direction in the scene frame
    float pointSize = 0;
    uint32_t colour = 0; // ARGB
};
static_assert(sizeof(StarRecord) == 20, "StarRecord must match the 20-byte vertex layout");

constexpr uint32_t starRecordFvf = 0x62; // D3DFVF_XYZ | D3DFVF_PSIZE | D3DFVF_DIFFUSE

struct StarCatalogueHeader {
    int32_t reserved0 = 0;
    int32_t firstStarNumber = 0;
    int32_t lastStarNumber = 0; // also the most records a reader makes room for
    int32_t idFlag = 0;         // non-zero: every entry starts with a 4-byte star number
    int32_t reserved1 = 0;
    int32_t reserved2 = 0;
    int32_t entrySize = 0; // bytes per entry
};
static_assert(sizeof(StarCatalogueHeader) == 28, "the catalogue header is 28 bytes");

constexpr int32_t starZoneCount = 18;

// Process-wide index of the catalogue most recently read: entry z is the
// index of the first record of declination zone z (zone 0 nearest the north
// pole), and entry 18 is starsLoaded, the number of records, so that entry
// z + 1 is the end of zone z for every zone. A successful read rewrites all
// 19 entries; zones the file does not open start (and end) at starsLoaded.
extern int32_t starZoneStart[starZoneCount + 1];
extern int32_t& starsLoaded;

// Colour of a star by the first character of its spectral type: O B A F G K M
// from blue to red; anything else white with alpha 0 (0x00FFFFFF).
uint32_t spectralColour(char type);

// Point size (0.3 / step^m)^0.707 in double precision, with the step a
// single-precision constant: 10^0.002 for a catalogue magnitude in
// hundredths, 10^0.2 for a planet's magnitude in whole magnitudes.
float catalogueStarPointSize(int32_t magnitudeHundredths);
float planetPointSize(float magnitude);

// Reads the catalogue file fileName into a newly malloc'ed array of
// records, which the caller releases with free(). On success it also sets
// starZoneStart, starsLoaded and *declaredCount (lastStarNumber -
// firstStarNumber + 1 from the header; declaredCount may be null). A file
// with a header and no entries gives a valid empty array.
//
// Returns null, and changes nothing, when the file cannot be opened or read,
// is not a regular file (a FIFO, a device or a folder: the open never waits),
// is shorter than the header, declares an entrySize below the star number
// plus 20 bytes, a negative lastStarNumber or a count outside 0..INT32_MAX,
// or when memory runs out. The array holds at most lastStarNumber records
// and never more than the file's whole entries; a trailing partial entry is
// ignored. Non-finite coordinates are stored as they come (they never pass
// the sky's comparisons) but take no part in finding the zones.
StarRecord* readStarCatalogue(const char* fileName, int32_t* declaredCount);

// Reads and checks only the header, for the catalogue menu: true and the
// declared count when readStarCatalogue would accept the header.
bool readStarCatalogueCount(const char* fileName, int32_t* declaredCount);

} // namespace model
