#include "settings/EffectiveSettings.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const QString kGame = QStringLiteral("0123456789abcdef0123456789abcdef");

struct Store
{
    Store()
    {
        UserDefaults::setStandardUserDefaults(std::make_unique<UserDefaults>(dir.filePath(QStringLiteral("s.plist"))));
        defaults().registerDefaults({{QStringLiteral("VideoPlugin"), QStringLiteral("Crisp")},
                                     {QStringLiteral("Resolution"), QStringLiteral("640x480")},
                                     {QStringLiteral("Fullscreen"), false},
                                     {QStringLiteral("Controllers"), QVariantMap{{QStringLiteral("Keyboard"), QVariantMap()}}}});
    }
    ~Store() { UserDefaults::setStandardUserDefaults(nullptr); }
    static UserDefaults &defaults() { return UserDefaults::standardUserDefaults(); }
    static void setEntry(const QVariant &entry)
    {
        defaults().setValueForKey(EffectiveSettings::kGameSettingsKey, QVariantMap{{kGame, entry}});
    }
    QTemporaryDir dir;
};

} // namespace

TEST(EffectiveSettingsTest, OwnValuesOverrideAndBadOnesFallBackWithALineButStay)
{
    Store store;
    EffectiveSettings game(kGame.toUpper(), QStringLiteral("GAME"));
    game.setVideoPlugins({QStringLiteral("Crisp"), QStringLiteral("Soft")});
    Store::setEntry(QVariantMap{{QStringLiteral("Resolution"), QStringLiteral("1280x720")},
                                {QStringLiteral("Fullscreen"), true},
                                {QStringLiteral("VideoPlugin"), QStringLiteral("Soft")}});
    EXPECT_EQ(game.valueForKey(QStringLiteral("Resolution")), QStringLiteral("1280x720"));
    EXPECT_TRUE(game.boolForKey(QStringLiteral("Fullscreen")));
    EXPECT_EQ(game.valueForKey(QStringLiteral("VideoPlugin")), QStringLiteral("Soft"));
    EXPECT_EQ(EffectiveSettings(QStringLiteral("ffff"), {}).valueForKey(QStringLiteral("Resolution")), QStringLiteral("640x480"));
    EXPECT_EQ(game.overriddenGroups(), EffectiveSettings::Video);

    // A vanished plug-in, values of the wrong form, an entry that is no dictionary.
    Store::setEntry(QVariantMap{{QStringLiteral("VideoPlugin"), QStringLiteral("Gone")},
                                {QStringLiteral("Resolution"), 1280},
                                {QStringLiteral("Fullscreen"), QStringLiteral("maybe")},
                                {QStringLiteral("Controllers"), QStringLiteral("none")}});
    testing::internal::CaptureStderr();
    EXPECT_EQ(game.valueForKey(QStringLiteral("VideoPlugin")), QStringLiteral("Crisp"));
    EXPECT_EQ(game.valueForKey(QStringLiteral("Resolution")), QStringLiteral("640x480"));
    EXPECT_FALSE(game.boolForKey(QStringLiteral("Fullscreen")));
    EXPECT_TRUE(game.dictionaryForKey(QStringLiteral("Controllers"))->contains(QStringLiteral("Keyboard")));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("video plug-in \"Gone\" no longer exists; the global setting is used"), std::string::npos) << said;
    EXPECT_NE(said.find("\"Resolution\" is not valid"), std::string::npos) << said;
    EXPECT_NE(said.find("\"Controllers\" is not valid"), std::string::npos) << said;
    // Another change of the game keeps what it could not use, for the player to mend.
    game.setValueForKey(QStringLiteral("Build"), QStringLiteral("Default"));
    const QVariantMap kept = Store::defaults().dictionaryForKey(EffectiveSettings::kGameSettingsKey)->value(kGame).toMap();
    EXPECT_EQ(kept.value(QStringLiteral("Resolution")), 1280);
    EXPECT_EQ(kept.value(QStringLiteral("Name")), QStringLiteral("GAME"));

    Store::setEntry(QStringLiteral("not a dictionary"));
    EXPECT_EQ(game.valueForKey(QStringLiteral("Resolution")), QStringLiteral("640x480"));
    EXPECT_EQ(game.overriddenGroups(), EffectiveSettings::NoGroup);
}

TEST(EffectiveSettingsTest, AGroupStoresAllItsKeysAndTheEntryGoesWithTheLastOverride)
{
    Store store;
    const EffectiveSettings game(kGame, QStringLiteral("GAME"));
    game.setGroupOverridden(EffectiveSettings::Video, true);
    game.setGroupOverridden(EffectiveSettings::Controllers, true);
    QVariantMap entry = Store::defaults().dictionaryForKey(EffectiveSettings::kGameSettingsKey)->value(kGame).toMap();
    EXPECT_EQ(entry.keys(), (QStringList{QStringLiteral("Controllers"), QStringLiteral("ControllersLastModifedDate"),
                                         QStringLiteral("Fullscreen"), QStringLiteral("Name"),
                                         QStringLiteral("Resolution"), QStringLiteral("VideoPlugin")}));
    EXPECT_EQ(entry.value(QStringLiteral("Resolution")), QStringLiteral("640x480"));
    EXPECT_EQ(EffectiveSettings::overriddenGroupsOfAllGames().value(kGame), EffectiveSettings::Video | EffectiveSettings::Controllers);
    EXPECT_EQ(EffectiveSettings::groupsInWords(game.overriddenGroups()), QStringLiteral("video, controllers"));

    // The game's own copy changes; the global one does not.
    game.setValueForKey(QStringLiteral("Resolution"), QStringLiteral("1920x1080"));
    EXPECT_EQ(Store::defaults().valueForKey(QStringLiteral("Resolution")), QStringLiteral("640x480"));
    EXPECT_FALSE(Store::defaults().valueForKey(QStringLiteral("ControllersLastModifedDate")).isValid());

    game.setGroupOverridden(EffectiveSettings::Video, false);
    game.setGroupOverridden(EffectiveSettings::Controllers, false);
    EXPECT_FALSE(Store::defaults().valueForKey(EffectiveSettings::kGameSettingsKey).isValid());
}

TEST(EffectiveSettingsTest, AGameWhoseHeaderNameIsBlankIsNamedByItsFileAsInTheLibrary)
{
    const struct {
        QString header, entry, name;
    } cases[] = {{QStringLiteral(" GAME "), QString(), QStringLiteral("GAME")},
                 {QStringLiteral("    "), QString(), QStringLiteral("Blank Game.z64")},
                 {QString(), QStringLiteral("Blank.n64"), QStringLiteral("Blank Game.z64 \u25b8 Blank.n64")}};
    for (const auto &each : cases) {
        ROM rom;
        rom.setMD5(kGame);
        rom.setName(each.header);
        rom.setFilePath(QUrl::fromLocalFile(QStringLiteral("/games/Blank Game.z64")));
        if (!each.entry.isEmpty())
            rom.setArchiveEntry(each.entry);
        EXPECT_EQ(EffectiveSettings::forROM(&rom).name(), each.name);
    }
}
