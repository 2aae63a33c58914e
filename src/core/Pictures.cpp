#include "core/Pictures.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <GL/gl.h>
#include <GL/glx.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <new>
#include <vector>

void Pictures::keepAtDrawnSize(sf::Texture& picture, sf::Vector2u drawnSize) {
    const sf::Vector2u size = picture.getSize();
    if (size == drawnSize) {
        picture.setSmooth(false);
        return;
    }
    const auto pixels = [](sf::Vector2u s) { return std::uint64_t{s.x} * s.y; };
    if (drawnSize.x == 0 || drawnSize.y == 0 || pixels(drawnSize) >= pixels(size))
        return;
    // Software rendering holds on to the last picture it drew from and the last surface it drew
    // on until it draws again: a dot drawn on a canvas of one pixel, without a picture, lets the
    // full-size picture go as soon as it is released (before the copy is made, so the two are
    // never in memory together), and the canvas as soon as it is gone.
    sf::RenderTexture dot;
    const sf::RectangleShape point({1.f, 1.f});
    sf::Texture kept;
    {
        sf::RenderTexture canvas;
        if (!canvas.create(drawnSize.x, drawnSize.y) || !dot.create(1, 1))
            return;
        sf::Sprite stretched(picture);
        stretched.setScale(static_cast<float>(drawnSize.x) / static_cast<float>(size.x),
                           static_cast<float>(drawnSize.y) / static_cast<float>(size.y));
        // Copied as sampled, transparency included: blending with the empty canvas would darken
        // what is not opaque.
        canvas.clear(sf::Color::Transparent);
        canvas.draw(stretched, sf::BlendNone);
        canvas.display();
        dot.draw(point);
        // A copy that cannot be made (no memory for a picture smaller than the one just released)
        // leaves no picture.
        picture = sf::Texture();
        if (!kept.create(drawnSize.x, drawnSize.y))
            return;
        kept.update(canvas.getTexture());
    }
    dot.draw(point);
    kept.setSmooth(false);
    picture.swap(kept);
}

void Pictures::storeInWindowOrder(sf::Texture& picture) {
    if (picture.getNativeHandle() == 0 || !glXGetCurrentContext())
        return;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, picture.getNativeHandle());
    // The texture's own size, which may be larger than the picture's where the graphics card
    // wants powers of two.
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<std::uint8_t> pixels;
    try {
        if (width > 0 && height > 0)
            pixels.resize(std::size_t(width) * std::size_t(height) * 4);
    } catch (const std::bad_alloc&) {
        pixels.clear();
    }
    if (!pixels.empty()) {
        glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
        // Asked for without a size of its own, the format follows the pixels given.
        if (glGetError() == GL_NO_ERROR)
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                         pixels.data());
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
}

bool Pictures::isOpaque(const sf::Texture& picture) {
    const sf::Image image = picture.copyToImage();
    const sf::Vector2u size = image.getSize();
    const std::uint8_t* pixel = image.getPixelsPtr();
    if (!pixel)
        return false;
    const std::uint8_t* const end = pixel + std::uint64_t{size.x} * size.y * 4;
    for (pixel += 3; pixel < end; pixel += 4)
        if (*pixel != 255)
            return false;
    return true;
}

namespace {

// Rows read and put on the graphics card at a time: a few hundred kilobytes at 1920 pixels.
const unsigned BandRows = 32;

struct PngReading {
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngReading() {
        png_destroy_read_struct(&png, &info, nullptr);
        if (file)
            std::fclose(file);
    }
};

// The library says why a file cannot be read, when it is left to read it.
[[noreturn]] void quietError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void quietWarning(png_structp, png_const_charp) {}

// Reads the picture into the texture band by band; false, with nothing said, for a file that is
// not a plain PNG or turns out broken. Nothing with a destructor is made between the jump's
// setting and the library's calls that may jump back to it.
bool readInBands(PngReading& reading, sf::Texture& picture, std::vector<std::uint8_t>& band) {
    if (setjmp(png_jmpbuf(reading.png)))
        return false;
    png_set_sig_bytes(reading.png, 8);
    png_init_io(reading.png, reading.file);
    png_read_info(reading.png, reading.info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(reading.png, reading.info, &width, &height, &depth, &colour, &interlace, nullptr,
                 nullptr);
    const bool plain = depth == 8 && interlace == PNG_INTERLACE_NONE &&
                       (colour == PNG_COLOR_TYPE_RGBA ||
                        (colour == PNG_COLOR_TYPE_RGB &&
                         !png_get_valid(reading.png, reading.info, PNG_INFO_tRNS)));
    if (!plain || width == 0 || height == 0 || !picture.create(width, height))
        return false;
    if (colour == PNG_COLOR_TYPE_RGB)
        png_set_filler(reading.png, 0xff, PNG_FILLER_AFTER);
    png_read_update_info(reading.png, reading.info);
    if (png_get_rowbytes(reading.png, reading.info) != std::size_t{width} * 4)
        return false;
    band.resize(std::size_t{width} * 4 * BandRows);
    for (png_uint_32 top = 0; top < height; top += BandRows) {
        const png_uint_32 rows = std::min<png_uint_32>(BandRows, height - top);
        for (png_uint_32 row = 0; row < rows; ++row)
            png_read_row(reading.png, band.data() + std::size_t{width} * 4 * row, nullptr);
        picture.update(band.data(), width, rows, 0, top);
    }
    return true;
}

} // namespace

bool Pictures::loadFromFile(sf::Texture& picture, const std::string& file) {
    {
        PngReading reading;
        std::vector<std::uint8_t> band;
        reading.file = std::fopen(file.c_str(), "rb");
        std::uint8_t signature[8] = {};
        if (reading.file && std::fread(signature, 1, 8, reading.file) == 8 &&
            png_sig_cmp(signature, 0, 8) == 0) {
            reading.png =
                png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
            reading.info = reading.png ? png_create_info_struct(reading.png) : nullptr;
            if (reading.info && readInBands(reading, picture, band))
                return true;
        }
    }
    // Nothing of a file that broke half-way stays when the library cannot read it either.
    picture = sf::Texture();
    return picture.loadFromFile(file);
}
