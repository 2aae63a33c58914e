#include "screens/HowToPlayPage.hpp"

#include "actors/Bindings.hpp"
#include "actors/PowerUp.hpp"
#include "actors/Tank.hpp"
#include "actors/Wolf.hpp"
#include "core/KeyNames.hpp"
#include "core/Translation.hpp"
#include "gui/Button.hpp"
#include "gui/Label.hpp"
#include "gui/Panel.hpp"
#include "gui/Picture.hpp"
#include "screens/MenuWidgets.hpp"
#include "world/Block.hpp"
#include "world/Camera.hpp"
#include "world/TilePictures.hpp"

#include <string>

namespace {

const sf::Color Card(16, 22, 38, 255);
const sf::Color Rim(255, 210, 63);
const sf::Color Words(226, 230, 240);
const unsigned WordsSize = 22;
const float LineGap = 15.f;

// Two columns of four tips: the picture centred at the column's x, the words beside it.
const float PictureX[] = {150.f, 745.f};
const float WordsX[] = {250.f, 840.f};
const float RowY[] = {150.f, 275.f, 400.f, 525.f};

struct Tip {
    int column;
    int row;
    // Two lines parted by a line break, or only the second: the first names the keys (showKeys).
    const char* lines;
};
const Tip Tips[] = {
    {0, 0, trLater("Or a pad's stick and jump button.")},
    {0, 1, trLater("Strike a block from below:\nthe wolf on it is stunned.")},
    {0, 2, trLater("Drive into a stunned wolf to scrap it.\nAn awake wolf wrecks the tank.")},
    {0, 3, trLater("Power-ups fill the four counters\nat the bottom of the screen.")},
    {1, 0, trLater("A spawner takes a red, then a yellow,\nthen a green unit: touch it to pay.")},
    {1, 1, trLater("Key places look like this:\nthe green key hides in one of them.")},
    {1, 2, trLater("Off one side of the level,\nthe tank comes back on the other.")},
    {1, 3, trLater("- and + set the volume, Escape leaves.")},
};

using TilePictures::Ground;
using TilePictures::KeyPlace;
using TilePictures::RedSpawner;
// Power-up kinds.
const int RedUnit = 0, YellowUnit = 1, GreenKey = 3;

} // namespace

HowToPlayPage::HowToPlayPage(MenuWidgets& widgets, std::function<void()> back,
                             std::function<void()> play)
    : content(widgets.page()), withBack(content), withPlay(content) {
    tank.loadFromFile("Images/Tank.png");
    wolf.loadFromFile("Images/Drone_Basic.png");
    tiles.loadFromFile("Images/Objects.png");
    powerUps.loadFromFile("Images/PowerUps.png");
    for (sf::Texture* picture : {&tank, &wolf, &tiles, &powerUps})
        picture->setSmooth(true);

    auto& card =
        widgets.keep(std::make_unique<GUI::Panel>(sf::Vector2f(1200.f, 688.f), Card, Rim, 3.f));
    card.setPosition(40.f, 16.f);
    content.pack(&card);
    content.pack(&widgets.label(tr("How to play"), {640.f, 58.f}, 48, Rim, GUI::Label::Centre,
                                Fonts::MenuTitle));
    addTips(widgets);
    addPictures(widgets);

    const auto withButton = [&](const std::string& label, std::function<void()> action) {
        GUI::Container page = content;
        GUI::Button& button = widgets.button(label, {640.f, 640.f});
        button.setColors(GUI::Button::Label, MenuWidgets::LabelColours);
        button.setCallback(std::move(action));
        page.pack(&button);
        page.selectFirst();
        return page;
    };
    withBack = withButton(tr("Back"), std::move(back));
    withPlay = withButton(tr("Play"), std::move(play));
}

void HowToPlayPage::addTips(MenuWidgets& widgets) {
    for (const Tip& tip : Tips) {
        const float x = WordsX[tip.column];
        const float y = RowY[tip.row];
        const std::string lines = tr(tip.lines);
        const std::size_t parting = lines.find('\n');
        const bool two = parting != std::string::npos;
        GUI::Label& first = widgets.label(two ? lines.substr(0, parting) : std::string(),
                                          {x, y - LineGap}, WordsSize, Words, GUI::Label::Left);
        content.pack(&first);
        content.pack(&widgets.label(two ? lines.substr(parting + 1) : lines, {x, y + LineGap},
                                    WordsSize, Words, GUI::Label::Left));
        if (&tip == &Tips[0])
            driveKeys = &first;
        else if (&tip == &Tips[7])
            ownKeys = &first;
    }
    showKeys(Bindings());
}

void HowToPlayPage::showKeys(const Bindings& keys) {
    const auto name = [&](Bindings::Action action) { return KeyNames::shown(keys.key(action)); };
    driveKeys->setText(tr("%s and %s drive, %s jumps.",
                          {name(Bindings::Left), name(Bindings::Right), name(Bindings::Jump)}));
    ownKeys->setText(tr("%s pauses, %s mutes.", {name(Bindings::Pause), name(Bindings::Mute)}));
}

// Each picture is drawn as play shows it: the world's pictures stretched to the camera's
// proportions, at a scale that fits the tip's row.
void HowToPlayPage::addPictures(MenuWidgets& widgets) {
    const auto place = [&](const sf::Texture& texture, const sf::IntRect& part, float scale,
                           sf::Vector2f centre) -> GUI::Picture& {
        const sf::Vector2f size(static_cast<float>(part.width) * scale,
                                static_cast<float>(part.height) * scale * Camera::VerticalStretch);
        GUI::Picture& picture = widgets.picture(texture, part, size, centre);
        content.pack(&picture);
        return picture;
    };
    // Where a picture of that part and scale stands with its bottom on y.
    const auto standing = [](const sf::IntRect& part, float scale, float x, float bottom) {
        return sf::Vector2f(x, bottom - static_cast<float>(part.height) * scale *
                                            Camera::VerticalStretch / 2.f);
    };
    const sf::IntRect tile = Block::pictureOf(Ground);
    const float tileHeight = static_cast<float>(tile.height) * Camera::VerticalStretch;

    // Drive and jump: the tank, and where a jump takes it.
    place(tank, Tank::Picture, 0.8f, standing(Tank::Picture, 0.8f, 118.f, RowY[0] + 48.f));
    place(tank, Tank::Picture, 0.8f, standing(Tank::Picture, 0.8f, 182.f, RowY[0] + 18.f))
        .setColor(sf::Color(255, 255, 255, 110));

    // A wolf stunned on the block the tank strikes from below, a little raised by the blow.
    const float small = 0.55f;
    const float ledge = RowY[1] + 8.f;
    for (const float side : {-1.f, 0.f, 1.f})
        place(tiles, tile, small,
              {PictureX[0] + side * static_cast<float>(tile.width) * small,
               side == 0.f ? ledge - 4.f : ledge});
    const float ledgeTop = ledge - 4.f - tileHeight * small / 2.f;
    place(wolf, Wolf::StunnedPicture, small,
          standing(Wolf::StunnedPicture, small, PictureX[0], ledgeTop));
    const float ledgeBottom = ledge - 4.f + tileHeight * small / 2.f;
    place(tank, Tank::Picture, small,
          standing(Tank::Picture, small, PictureX[0],
                   ledgeBottom +
                       static_cast<float>(Tank::Picture.height) * small * Camera::VerticalStretch));

    // The tank drives into a stunned wolf on the same floor.
    const float floor = RowY[2] + 34.f;
    place(tank, Tank::Picture, 0.7f, standing(Tank::Picture, 0.7f, 122.f, floor));
    place(wolf, Wolf::StunnedPicture, 0.7f, standing(Wolf::StunnedPicture, 0.7f, 180.f, floor));
    for (const float x : {106.f, 151.f, 196.f})
        place(tiles, tile, 0.7f, {x, floor + tileHeight * 0.7f / 2.f});

    // The four power-ups, in the order of their counters.
    float x = 90.f;
    for (const int kind : {0, 1, 3, 2}) {
        place(powerUps, PowerUp::pictureOf(kind), 1.f, {x, RowY[3]});
        x += 40.f;
    }

    // A spawner in its three colours, each under the unit it takes.
    const int units[] = {RedUnit, YellowUnit, GreenKey};
    for (int stage = 0; stage < 3; ++stage) {
        const float at = PictureX[1] - 54.f + 54.f * static_cast<float>(stage);
        place(tiles, Block::pictureOf(RedSpawner + stage), 0.75f, {at, RowY[0] + 22.f});
        place(powerUps, PowerUp::pictureOf(units[stage]), 0.7f, {at, RowY[0] - 28.f});
    }

    // The key place, and the key it may hold.
    place(tiles, Block::pictureOf(KeyPlace), 1.2f, {PictureX[1], RowY[1] + 8.f});
    place(powerUps, PowerUp::pictureOf(GreenKey), 0.6f, {PictureX[1] + 40.f, RowY[1] - 34.f})
        .setColor(sf::Color(255, 255, 255, 150));

    // The level's width, framed, with the tank half out at the right and half in at the left.
    const sf::Vector2f frame(150.f, 88.f);
    auto& border = widgets.keep(
        std::make_unique<GUI::Panel>(frame, sf::Color(40, 52, 78), sf::Color(140, 160, 190), 2.f));
    border.setPosition(PictureX[1] - frame.x / 2.f, RowY[2] - frame.y / 2.f);
    content.pack(&border);
    const float half = 0.7f;
    const int cut = Tank::Picture.width / 2;
    const sf::IntRect back(Tank::Picture.left, Tank::Picture.top, cut, Tank::Picture.height);
    const sf::IntRect front(Tank::Picture.left + cut, Tank::Picture.top, Tank::Picture.width - cut,
                            Tank::Picture.height);
    const float bottom = RowY[2] + frame.y / 2.f - 2.f;
    const float left = PictureX[1] - frame.x / 2.f;
    place(tank, front, half,
          standing(front, half, left + static_cast<float>(front.width) * half / 2.f, bottom));
    place(
        tank, back, half,
        standing(back, half, left + frame.x - static_cast<float>(back.width) * half / 2.f, bottom));
}
