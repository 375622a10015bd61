// Star catalogue reader: header checks, block reads of the entries, sky
// point records and the declination-zone index.
//
// The file is read in blocks of whole entries into one scratch buffer, so
// the cost is one allocation and a handful of reads per catalogue. Nothing
// process-wide changes until the whole file has been read successfully.
#include "model/StarCatalogue.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace model {

int32_t starZoneStart[starZoneCount + 1] = {};
int32_t& starsLoaded = starZoneStart[starZoneCount];

namespace {

constexpr size_t headerSize = sizeof(StarCatalogueHeader);
constexpr size_t starNumberSize = 4;
constexpr size_t entryPayloadSize = 20; // right ascension, declination, type, magnitude
constexpr size_t blockBytes = size_t{1} << 18;

// Right ascension before the first entry: the single-precision full turn, so
// the first entry opens zone 0 whenever its right ascension is below 2 pi - 1.
constexpr double initialRightAscension = 6.2831854820251465;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};

int32_t readInt32(const unsigned char* bytes) {
    return static_cast<int32_t>(uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 |
                                uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24);
}

int16_t readInt16(const unsigned char* bytes) {
    return static_cast<int16_t>(static_cast<uint16_t>(bytes[0] | bytes[1] << 8));
}

double readFloat64(const unsigned char* bytes) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | bytes[i];
    return std::bit_cast<double>(bits);
}

// What the reader takes from a header it accepts.
struct CatalogueLayout {
    int32_t declaredCount = 0;
    int32_t lastStarNumber = 0;
    size_t skip = 0;
    size_t entrySize = 0;
};

bool parseHeader(const unsigned char* bytes, CatalogueLayout& layout) {
    StarCatalogueHeader header;
    header.firstStarNumber = readInt32(bytes + 4);
    header.lastStarNumber = readInt32(bytes + 8);
    header.idFlag = readInt32(bytes + 12);
    header.entrySize = readInt32(bytes + 24);

    const size_t skip = header.idFlag != 0 ? starNumberSize : 0;
    if (header.entrySize < 0 || static_cast<size_t>(header.entrySize) < skip + entryPayloadSize)
        return false;
    if (header.lastStarNumber < 0) return false;
    const int64_t declared = int64_t{header.lastStarNumber} - int64_t{header.firstStarNumber} + 1;
    if (declared < 0 || declared > std::numeric_limits<int32_t>::max()) return false;

    layout.declaredCount = static_cast<int32_t>(declared);
    layout.lastStarNumber = header.lastStarNumber;
    layout.skip = skip;
    layout.entrySize = static_cast<size_t>(header.entrySize);
    return true;
}

// Opens fileName for binary reading when it is a regular file.  A FIFO would
// block the open until a writer came, and a device or a FIFO would feed the
// reader for ever: the open never waits (O_NONBLOCK), and the type is taken
// from the open descriptor itself, so nothing can be swapped in between.
File openRegularFile(const char* fileName) {
    const int descriptor = ::open(fileName, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    struct stat status = {};
    std::FILE* file = nullptr;
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode))
        file = ::fdopen(descriptor, "rb");
    if (!file) ::close(descriptor);
    return File(file);
}

File openCatalogue(const char* fileName, CatalogueLayout& layout) {
    if (!fileName) return nullptr;
    File file = openRegularFile(fileName);
    if (!file) return nullptr;
    unsigned char header[headerSize];
    if (std::fread(header, 1, headerSize, file.get()) != headerSize) return nullptr;
    if (!parseHeader(header, layout)) return nullptr;
    return file;
}

// Whole entries after the header, or -1 when the length cannot be found.
int64_t entriesInFile(std::FILE* file, size_t entrySize) {
    if (fseeko(file, 0, SEEK_END) != 0) return -1;
    const off_t length = ftello(file);
    if (length < static_cast<off_t>(headerSize)) return -1;
    if (fseeko(file, static_cast<off_t>(headerSize), SEEK_SET) != 0) return -1;
    return static_cast<int64_t>(static_cast<uint64_t>(length - static_cast<off_t>(headerSize)) /
                                entrySize);
}

// Point sizes of the magnitudes met so far in one read: catalogues repeat a
// few thousand magnitudes, and two powers per star would dominate the read.
// Magnitudes outside the table's range are computed each time.
class PointSizeTable {
public:
    float operator()(int16_t magnitude) {
        const int32_t slot = magnitude - firstMagnitude;
        if (slot < 0 || slot >= slotCount) return catalogueStarPointSize(magnitude);
        if (!known[slot]) {
            sizes[slot] = catalogueStarPointSize(magnitude);
            known[slot] = true;
        }
        return sizes[slot];
    }

private:
    static constexpr int32_t firstMagnitude = -3000; // hundredths
    static constexpr int32_t slotCount = 6000;
    float sizes[slotCount] = {};
    bool known[slotCount] = {};
};

StarRecord makeStar(const unsigned char* entry, PointSizeTable& pointSizes) {
    const double rightAscension = readFloat64(entry);
    const double declination = readFloat64(entry + 8);
    const double cosDeclination = std::cos(declination);
    StarRecord star;
    star.x = static_cast<float>(cosDeclination * std::cos(rightAscension));
    star.y = static_cast<float>(std::sin(declination));
    star.z = static_cast<float>(cosDeclination * std::sin(rightAscension));
    star.colour = spectralColour(static_cast<char>(entry[16]));
    star.pointSize = pointSizes(readInt16(entry + 18));
    return star;
}

// Finds the zone starts from the drops in right ascension: a star whose
// right ascension is more than one radian below its predecessor's opens the
// next zone. Starts beyond the 18 zones are ignored; non-finite right
// ascensions neither open a zone nor serve as the predecessor.
struct ZoneFinder {
    int32_t starts[starZoneCount] = {};
    int32_t opened = 0;
    double previous = initialRightAscension;

    void add(double rightAscension, int32_t index) {
        if (!std::isfinite(rightAscension)) return;
        if (rightAscension + 1.0 < previous) {
            if (opened < starZoneCount) starts[opened] = index;
            opened = std::min(opened + 1, starZoneCount);
        }
        previous = rightAscension;
    }
};

double pointSize(double step, double magnitude) {
    return std::pow(0.3 / std::pow(step, magnitude), 0.707);
}

} // namespace

uint32_t spectralColour(char type) {
    switch (type) {
    case 'O':
        return 0xFF61AFFF;
    case 'B':
        return 0xFF94CAE6;
    case 'A':
        return 0xFFD5EBD3;
    case 'F':
        return 0xFFFEFFB9;
    case 'G':
        return 0xFFFFD8A5;
    case 'K':
        return 0xFFFFAC93;
    case 'M':
        return 0xFFFF8383;
    default:
        return 0x00FFFFFF;
    }
}

float catalogueStarPointSize(int32_t magnitudeHundredths) {
    static const float step = static_cast<float>(std::pow(10.0, 0.002));
    return static_cast<float>(pointSize(step, magnitudeHundredths));
}

float planetPointSize(float magnitude) {
    static const float step = static_cast<float>(std::pow(10.0, 0.2));
    return static_cast<float>(pointSize(step, magnitude));
}

bool readStarCatalogueCount(const char* fileName, int32_t* declaredCount) {
    CatalogueLayout layout;
    if (!openCatalogue(fileName, layout)) return false;
    if (declaredCount) *declaredCount = layout.declaredCount;
    return true;
}

StarRecord* readStarCatalogue(const char* fileName, int32_t* declaredCount) {
    CatalogueLayout layout;
    File file = openCatalogue(fileName, layout);
    if (!file) return nullptr;
    const int64_t entries = entriesInFile(file.get(), layout.entrySize);
    if (entries < 0) return nullptr;

    const size_t capacity =
        static_cast<size_t>(std::min<int64_t>(entries, int64_t{layout.lastStarNumber}));
    std::unique_ptr<StarRecord, FreeDeleter> stars(
        static_cast<StarRecord*>(std::malloc(std::max<size_t>(capacity, 1) * sizeof(StarRecord))));
    if (!stars) return nullptr;

    const size_t entriesPerBlock = std::max<size_t>(1, blockBytes / layout.entrySize);
    const size_t blockEntries = std::min(entriesPerBlock, capacity);
    std::unique_ptr<unsigned char, FreeDeleter> block;
    if (blockEntries > 0) {
        block.reset(static_cast<unsigned char*>(std::malloc(blockEntries * layout.entrySize)));
        if (!block) return nullptr;
    }

    ZoneFinder zones;
    PointSizeTable pointSizes; // 30 KB of scratch for this read
    size_t count = 0;
    while (count < capacity) {
        const size_t wanted = std::min(blockEntries, capacity - count);
        const size_t got = std::fread(block.get(), layout.entrySize, wanted, file.get());
        if (got < wanted && std::ferror(file.get())) return nullptr;
        for (size_t i = 0; i < got; ++i) {
            const unsigned char* entry = block.get() + i * layout.entrySize + layout.skip;
            zones.add(readFloat64(entry), static_cast<int32_t>(count));
            stars.get()[count] = makeStar(entry, pointSizes);
            ++count;
        }
        if (got < wanted) break; // the file ended early (it shrank while being read)
    }

    // Commit: every zone the file did not open is empty at the end, so no
    // index left from an earlier catalogue points past this array.
    const int32_t loaded = static_cast<int32_t>(count);
    std::fill(starZoneStart, starZoneStart + starZoneCount + 1, loaded);
    std::copy(zones.starts, zones.starts + zones.opened, starZoneStart);
    if (declaredCount) *declaredCount = layout.declaredCount;
    return stars.release();
}

} // namespace model
