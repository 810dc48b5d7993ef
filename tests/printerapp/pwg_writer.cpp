// Writes a PWG raster file from a binary PGM picture, as a driverless client sends one, for
// the printer application's job tests; it can also write rasters that lie about themselves.
//
//   krv_pwg_writer IN.pgm OUT [--apple] [--black] [--claim-height N]
//
// --apple writes Apple raster (URF) instead of PWG raster; --black writes black levels (255 =
// black) instead of grey; --claim-height N announces N lines whatever the picture holds (more
// than it holds: the file ends early). The raster is 8 bits a pixel at 180 dpi.
#include <cups/raster.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Pgm {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> pixels;
};

bool ReadPgm(const char* path, Pgm* pgm) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    unsigned maxval = 0;
    if (!(in >> magic >> pgm->width >> pgm->height >> maxval) || magic != "P5" || maxval != 255)
        return false;
    in.get();
    pgm->pixels.resize(size_t{pgm->width} * pgm->height);
    in.read(reinterpret_cast<char*>(pgm->pixels.data()),
            static_cast<std::streamsize>(pgm->pixels.size()));
    return static_cast<size_t>(in.gcount()) == pgm->pixels.size();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: krv_pwg_writer IN.pgm OUT [--apple] [--black] "
                     "[--claim-height N]\n");
        return 2;
    }
    unsigned claimHeight = 0;
    const unsigned dpi = 180;
    bool black = false, apple = false;
    for (int i = 3; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--black"))
            black = true;
        else if (!std::strcmp(argv[i], "--apple"))
            apple = true;
        else if (!std::strcmp(argv[i], "--claim-height") && i + 1 < argc)
            claimHeight = std::atoi(argv[++i]);
        else
            return 2;
    }
    Pgm pgm;
    if (!ReadPgm(argv[1], &pgm)) {
        std::fprintf(stderr, "%s: not a binary PGM picture\n", argv[1]);
        return 1;
    }
    const int fd = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    cups_raster_t* ras =
        cupsRasterOpen(fd, apple ? CUPS_RASTER_WRITE_APPLE : CUPS_RASTER_WRITE_PWG);
    cups_page_header2_t h;
    std::memset(&h, 0, sizeof h);
    std::strcpy(h.MediaClass, "PwgRaster");
    h.HWResolution[0] = h.HWResolution[1] = dpi;
    h.PageSize[0] = pgm.width * 72 / dpi;
    h.PageSize[1] = pgm.height * 72 / dpi;
    h.NumCopies = 1;
    h.cupsWidth = pgm.width;
    h.cupsHeight = claimHeight ? claimHeight : pgm.height;
    h.cupsBitsPerColor = h.cupsBitsPerPixel = 8;
    h.cupsBytesPerLine = pgm.width;
    h.cupsColorOrder = CUPS_ORDER_CHUNKED;
    h.cupsColorSpace = black ? CUPS_CSPACE_K : CUPS_CSPACE_SW;
    h.cupsNumColors = 1;
    h.cupsInteger[0] = 1;  // total page count
    if (!cupsRasterWriteHeader2(ras, &h)) return 1;
    std::vector<unsigned char> line(h.cupsBytesPerLine);
    const unsigned rows = std::min(h.cupsHeight, pgm.height);
    for (unsigned y = 0; y < rows; ++y) {
        const unsigned char* p = pgm.pixels.data() + size_t{y} * pgm.width;
        for (unsigned x = 0; x < pgm.width; ++x)
            line[x] = black ? 255 - p[x] : p[x];
        cupsRasterWritePixels(ras, line.data(), h.cupsBytesPerLine);
    }
    cupsRasterClose(ras);
    close(fd);
    return 0;
}
