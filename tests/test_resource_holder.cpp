#include "core/ResourceHolder.hpp"

#include "TestSupport.hpp"
#include "core/Pictures.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Window/Context.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using testsupport::TempDir;

namespace {

void writePicture(const std::string& file, unsigned width, unsigned height) {
    sf::Image image;
    image.create(width, height, sf::Color::Red);
    ASSERT_TRUE(image.saveToFile(file));
}

TEST(ResourceHolder, UnreadableFileGivesAnEmptyResource) {
    TempDir dir;
    testsupport::writeFile(dir / "garbage.png", "this is not a picture");
    TextureHolder holder;
    holder.load(Textures::Tank, (dir / "garbage.png").string());
    holder.load(Textures::Vanish, (dir / "missing.png").string());
    EXPECT_EQ(holder.get(Textures::Tank).getSize(), sf::Vector2u(0, 0));
    EXPECT_EQ(holder.get(Textures::Vanish).getSize(), sf::Vector2u(0, 0));
}

TEST(ResourceHolder, SecondLoadKeepsTheFirstResource) {
    TempDir dir;
    writePicture((dir / "small.png").string(), 4, 2);
    writePicture((dir / "large.png").string(), 16, 8);
    TextureHolder holder;
    holder.load(Textures::Platform, (dir / "small.png").string());
    const sf::Texture* first = &holder.get(Textures::Platform);
    holder.load(Textures::Platform, (dir / "large.png").string());
    EXPECT_EQ(&holder.get(Textures::Platform), first);
    EXPECT_EQ(holder.get(Textures::Platform).getSize(), sf::Vector2u(4, 2));
}

TEST(ResourceHolder, ReferencesStayValidWhileOthersAreAdded) {
    TempDir dir;
    writePicture((dir / "a.png").string(), 3, 5);
    TextureHolder holder;
    holder.load(Textures::TitleScreen, (dir / "a.png").string());
    const sf::Texture& title = holder.get(Textures::TitleScreen);
    for (int id : {0, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13})
        holder.load(static_cast<Textures::Textures>(id), (dir / "a.png").string());
    EXPECT_EQ(&title, &holder.get(Textures::TitleScreen));
    EXPECT_EQ(title.getSize(), sf::Vector2u(3, 5));
}

// Plain PNGs are read a band of rows at a time, anything else by the graphics library: the texture
// holds what the library reads from the file either way, also once stored in the window's order
// of colours, and a file broken half-way holds nothing.
TEST(ResourceHolder, PicturesHoldThePixelsTheGraphicsLibraryReads) {
    const sf::Context context; // the pictures are stored again with the current one
    TempDir dir;
    sf::Image written;
    written.create(37, 70, sf::Color(10, 200, 30, 128));
    for (unsigned y = 0; y < 70; ++y)
        written.setPixel(y % 37, y, sf::Color(y * 3, 255 - y, 7, y < 35 ? 255 : y));
    ASSERT_TRUE(written.saveToFile((dir / "written.png").string()));
    ASSERT_TRUE(written.saveToFile((dir / "written.bmp").string()));
    const std::string data = QUELLIX_DATA_DIR;
    for (const std::string& file :
         {data + "/Images/Platform.png", data + "/Images/Tank.png", (dir / "written.png").string(),
          (dir / "written.bmp").string()}) {
        SCOPED_TRACE(file);
        TextureHolder holder;
        holder.load(Textures::Platform, file);
        sf::Image expected;
        ASSERT_TRUE(expected.loadFromFile(file));
        sf::Texture& picture = holder.get(Textures::Platform);
        const sf::Image loaded = picture.copyToImage();
        ASSERT_EQ(loaded.getSize(), expected.getSize());
        const std::size_t bytes = std::size_t{expected.getSize().x} * expected.getSize().y * 4;
        EXPECT_TRUE(std::equal(loaded.getPixelsPtr(), loaded.getPixelsPtr() + bytes,
                               expected.getPixelsPtr()));
        Pictures::storeInWindowOrder(picture);
        const sf::Image stored = picture.copyToImage();
        ASSERT_EQ(stored.getSize(), expected.getSize());
        EXPECT_TRUE(std::equal(stored.getPixelsPtr(), stored.getPixelsPtr() + bytes,
                               expected.getPixelsPtr()));
    }
    const std::string whole = testsupport::readFile(data + "/Images/Platform.png");
    testsupport::writeFile(dir / "broken.png", whole.substr(0, whole.size() / 2));
    TextureHolder holder;
    holder.load(Textures::Platform, (dir / "broken.png").string());
    EXPECT_EQ(holder.get(Textures::Platform).getSize(), sf::Vector2u(0, 0));
}

TEST(ResourceHolder, NeverLoadedIdentifierGivesAnEmptyResource) {
    TextureHolder holder;
    EXPECT_FALSE(holder.contains(Textures::Tank));
    EXPECT_EQ(holder.get(Textures::Tank).getSize(), sf::Vector2u(0, 0));
}

} // namespace
