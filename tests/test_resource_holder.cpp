#include "core/ResourceHolder.hpp"

#include "TestSupport.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <gtest/gtest.h>

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

TEST(ResourceHolder, NeverLoadedIdentifierGivesAnEmptyResource) {
    TextureHolder holder;
    EXPECT_FALSE(holder.contains(Textures::Tank));
    EXPECT_EQ(holder.get(Textures::Tank).getSize(), sf::Vector2u(0, 0));
}

} // namespace
