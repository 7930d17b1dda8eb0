#include "support/ScratchMount.h"
#include "support/TestWorld.h"

#include "platform/Bundle.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include <unistd.h>

namespace {

const QVariantMap kFallbacks{{QStringLiteral("Resolution"), QStringLiteral("640x480")},
                             {QStringLiteral("Mapping"), QVariantList{QStringLiteral("A"), QStringLiteral("B")}},
                             {QStringLiteral("Controllers"), QVariantMap{{QStringLiteral("Keyboard"), QVariantMap()}}}};

template <typename T> QByteArray bigEndian(T value)
{
    value = qToBigEndian(value);
    return QByteArray(reinterpret_cast<const char *>(&value), sizeof value);
}

// {"Deep": [[...]]} with `depth` nested arrays: binary, with 4-byte offsets and references.
QByteArray binaryChain(int depth)
{
    QByteArray out = "bplist00\xD1" + bigEndian(1u) + bigEndian(2u) + "\x54" "Deep";
    QByteArray table = bigEndian(8u) + bigEndian(17u);
    for (int i = 0; i < depth; ++i) {
        table += bigEndian(quint32(out.size()));
        out += i + 1 < depth ? "\xA1" + bigEndian(quint32(3 + i)) : QByteArray("\xA0");
    }
    return out + table + QByteArray(6, '\0') + "\x04\x04" + bigEndian(quint64(depth + 2)) + bigEndian(quint64(0))
        + bigEndian(quint64(out.size()));
}

QByteArray xmlChain(int depth)
{
    return "<plist><dict><key>Deep</key>" + QByteArray("<array>").repeated(depth) + QByteArray("</array>").repeated(depth)
        + "</dict></plist>";
}

class UserDefaultsTest : public ::testing::Test
{
protected:
    TestWorld world;
    const QString settingsPath = world.path(QStringLiteral("home/.config/tolvane-launcher/settings.plist"));
};

TEST_F(UserDefaultsTest, FallbacksAnswerUntilTheUserStoresAValueAndUserValuesOfEveryTypeSurviveARestart)
{
    // XML property-list dates keep whole seconds.
    const QDateTime when(QDate(2026, 12, 6), QTime(10, 30, 15), QTimeZone::utc());
    const QVariantMap record{{QStringLiteral("USBName"), QStringLiteral("Pad \u00e9\"<&>")}, {QStringLiteral("plugin"), 2},
                             {QStringLiteral("plugged"), true}, {QStringLiteral("negative"), -7}, {QStringLiteral("ratio"), 0.5},
                             {QStringLiteral("when"), when}, {QStringLiteral("Mapping"), QVariantList{QStringLiteral("key(97)"), QString()}}};
    {
        UserDefaults defaults(settingsPath);
        defaults.registerDefaults(kFallbacks);
        EXPECT_EQ(defaults.valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("640x480"));
        EXPECT_FALSE(defaults.valueForKey(QStringLiteral("NoSuchKey")).isValid() || defaults.boolForKey(QStringLiteral("NoSuchKey")));
        // Type mismatches answer nothing rather than a converted value.
        EXPECT_FALSE(defaults.arrayForKey(QStringLiteral("Resolution")) || defaults.dictionaryForKey(QStringLiteral("Mapping")));
        EXPECT_FALSE(QFile::exists(settingsPath)) << "registering alone writes nothing";
        defaults.setValueForKey(QStringLiteral("Resolution"), QStringLiteral("1280x960"));
        defaults.setValueForKey(QStringLiteral("Pad"), record);
    }
    UserDefaults restarted(settingsPath);
    restarted.registerDefaults(kFallbacks);
    EXPECT_EQ(restarted.valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("1280x960"));
    EXPECT_EQ(restarted.dictionaryForKey(QStringLiteral("Pad")), record);
    // Keys the user never set still come from the fallbacks, which were never written.
    EXPECT_TRUE(restarted.dictionaryForKey(QStringLiteral("Controllers")).has_value());
    EXPECT_FALSE(readFile(settingsPath).contains("Controllers"));
}

TEST_F(UserDefaultsTest, TheFileIsReplacedWholeAndAnUnreadableOneIsKeptAside)
{
    // A write replaces the file by renaming a new one over it: a reader (or a crash) never
    // sees it half-written, and a link to the old file keeps the old bytes.
    UserDefaults(settingsPath).setValueForKey(QStringLiteral("Build"), QStringLiteral("Default"));
    const QByteArray before = readFile(settingsPath);
    const QString old = world.path(QStringLiteral("old.plist"));
    ASSERT_EQ(::link(QFile::encodeName(settingsPath).constData(), QFile::encodeName(old).constData()), 0);
    UserDefaults(settingsPath).setValueForKey(QStringLiteral("Build"), QStringLiteral("Custom"));
    EXPECT_EQ(readFile(old), before);
    EXPECT_TRUE(readFile(settingsPath).contains("Custom"));

    // Nested a few levels, binary or XML, a file loads; libplist recurses once per level and
    // crashed on files nested deeper, so they are set aside like broken XML, a top level that is
    // not a dictionary, or a file too large.
    for (const QByteArray &nested : {binaryChain(4), xmlChain(4)}) {
        world.writeFile(QStringLiteral("home/.config/tolvane-launcher/settings.plist"), nested);
        EXPECT_TRUE(UserDefaults(settingsPath).arrayForKey(QStringLiteral("Deep")).has_value()) << nested.left(40).toHex().constData();
    }
    for (const QByteArray &garbage : {QByteArray("<?xml version=\"1.0\"?><plist><dict><key>Resolution</key>"),
                                     QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string></array></plist>"),
                                     binaryChain(300000), xmlChain(300000), xmlChain(4) + QByteArray(17 << 20, ' ')}) {
        world.writeFile(QStringLiteral("home/.config/tolvane-launcher/settings.plist"), garbage);
        UserDefaults defaults(settingsPath);
        defaults.registerDefaults(kFallbacks);
        EXPECT_EQ(defaults.valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("640x480"));
        EXPECT_TRUE(defaults.movedAsidePath().startsWith(settingsPath + QStringLiteral(".unreadable-"))) << garbage.left(40).toHex().constData();
        defaults.setValueForKey(QStringLiteral("Build"), QStringLiteral("Custom"));
        EXPECT_EQ(readFile(defaults.movedAsidePath()), garbage);
        EXPECT_EQ(UserDefaults(settingsPath).valueForKey(QStringLiteral("Build")).toString(), QStringLiteral("Custom"));
        // Where nobody can be told (--play), the file is neither moved nor written.
        world.writeFile(QStringLiteral("home/.config/tolvane-launcher/settings.plist"), garbage);
        const QDir folder = QFileInfo(settingsPath).dir();
        const QStringList files = folder.entryList(QDir::Files | QDir::Hidden);
        UserDefaults kept(settingsPath, UserDefaults::UnreadableFile::KeepInPlace);
        kept.setValueForKey(QStringLiteral("Build"), QStringLiteral("Default"));
        EXPECT_TRUE(kept.isFileUnreadable() && kept.movedAsidePath().isEmpty() && readFile(settingsPath) == garbage);
        EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden), files);
    }
    EXPECT_EQ(UserDefaults::defaultFilePath(), settingsPath);
}

// The file is the user's too: what they change there while we run is neither ignored nor lost.
TEST_F(UserDefaultsTest, HandEditsMergeKeyByKeyAndGameByGameAndAHalfSavedFileIsNeverTouched)
{
    const auto games = [](const char *a, const char *b) {
        QVariantMap map;
        for (const char *md5 : {a, b})
            if (md5)
                map.insert(QString::fromLatin1(md5), QVariantMap{{QStringLiteral("Resolution"), QString::fromLatin1(md5)}});
        return map;
    };
    const auto handEdit = [&](const std::function<void(QVariantMap &)> &edit) {
        QVariantMap onDisk = PropertyList::fromData(readFile(settingsPath)).value_or(QVariant()).toMap();
        edit(onDisk);
        world.writeFile(QStringLiteral("home/.config/tolvane-launcher/settings.plist"), PropertyList::toXml(onDisk));
    };
    UserDefaults defaults(settingsPath);
    defaults.setValueForKey(QStringLiteral("Build"), QStringLiteral("Default"));
    defaults.setValueForKey(QStringLiteral("GameSettings"), games("aa", nullptr));
    QSignalSpy changed(&defaults, &UserDefaults::valueChanged), unreadable(&defaults, &UserDefaults::fileBecameUnreadable),
        readableAgain(&defaults, &UserDefaults::fileReadableAgain);
    defaults.synchronize();
    EXPECT_TRUE(changed.isEmpty()) << "our own write, read back, is no news";
    // Every key that changed, ours and the file's alike, is told by name, once.
    const auto changedKeys = [&changed] {
        QStringList keys;
        for (const QList<QVariant> &signal : std::as_const(changed))
            keys.append(signal.at(0).toString());
        changed.clear();
        return keys;
    };

    // Not yet noticed when we write: our keys go on top, theirs stay, and the same key is ours (later).
    handEdit([&](QVariantMap &m) {
        m.insert(QStringLiteral("Fullscreen"), true), m.remove(QStringLiteral("Build"));
        m.insert(QStringLiteral("Resolution"), QStringLiteral("800x600"));
    });
    defaults.setValueForKey(QStringLiteral("Resolution"), QStringLiteral("1280x960"));
    handEdit([&](QVariantMap &m) { m.insert(QStringLiteral("GameSettings"), games("aa", "bb")); });
    defaults.setValueForKey(QStringLiteral("GameSettings"), games("cc", nullptr));
    const QVariantMap expected{{QStringLiteral("Fullscreen"), true}, {QStringLiteral("Resolution"), QStringLiteral("1280x960")},
                               {QStringLiteral("GameSettings"), games("bb", "cc")}};
    EXPECT_EQ(PropertyList::fromData(readFile(settingsPath)), QVariant(expected));
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("Fullscreen")) && !defaults.valueForKey(QStringLiteral("Build")).isValid());
    EXPECT_EQ(changedKeys(), (QStringList{QStringLiteral("Build"), QStringLiteral("Fullscreen"), QStringLiteral("Resolution"),
                                          QStringLiteral("GameSettings")}));
    defaults.setValueForKey(QStringLiteral("Resolution"), QStringLiteral("1280x960"));
    EXPECT_TRUE(changedKeys().isEmpty()) << "the same value again changes nothing";

    // Half saved: values stay, nothing is written or moved, and it is said once.
    const QByteArray half("<?xml version=\"1.0\"?><plist><dict><key>Resolution</key>");
    world.writeFile(QStringLiteral("home/.config/tolvane-launcher/settings.plist"), half);
    defaults.synchronize();
    defaults.setValueForKey(QStringLiteral("Build"), QStringLiteral("Custom"));
    defaults.setValueForKey(QStringLiteral("Resolution"), QStringLiteral("320x240"));
    EXPECT_TRUE(readFile(settingsPath) == half && unreadable.count() == 1 && defaults.isFileUnreadable() && readableAgain.isEmpty());
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("Fullscreen")));
    // Saved whole later: their Resolution is the later write; our Build goes in at once.
    handEdit([&](QVariantMap &m) { m = expected, m.insert(QStringLiteral("Resolution"), QStringLiteral("640x480")); });
    QFile saved(settingsPath);
    ASSERT_TRUE(saved.open(QIODevice::Append) && saved.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
    defaults.synchronize();
    EXPECT_EQ(defaults.valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("640x480"));
    EXPECT_EQ(UserDefaults(settingsPath).valueForKey(QStringLiteral("Build")).toString(), QStringLiteral("Custom"));
    EXPECT_FALSE(defaults.isFileUnreadable());
    EXPECT_EQ(readableAgain.count(), 1);
    EXPECT_EQ(changedKeys(), (QStringList{QStringLiteral("Build"), QStringLiteral("Resolution"), QStringLiteral("Resolution")}));

    // Inside one game too: their Resolution, not yet noticed, and our later Fullscreen both stay.
    const auto withGame = [](QVariantMap settings, const QVariantMap &game) {
        QVariantMap all = settings.value(QStringLiteral("GameSettings")).toMap();
        all.insert(QStringLiteral("cc"), game);
        settings.insert(QStringLiteral("GameSettings"), all);
        return settings.value(QStringLiteral("GameSettings"));
    };
    handEdit([&](QVariantMap &m) {
        m.insert(QStringLiteral("GameSettings"), withGame(m, {{QStringLiteral("Resolution"), QStringLiteral("1600x1200")}}));
    });
    defaults.setValueForKey(QStringLiteral("GameSettings"),
                            withGame(expected, {{QStringLiteral("Resolution"), QStringLiteral("cc")}, {QStringLiteral("Fullscreen"), true}}));
    const QVariantMap both{{QStringLiteral("Resolution"), QStringLiteral("1600x1200")}, {QStringLiteral("Fullscreen"), true}};
    EXPECT_EQ(defaults.dictionaryForKey(QStringLiteral("GameSettings"))->value(QStringLiteral("cc")).toMap(), both);
    EXPECT_EQ(UserDefaults(settingsPath).dictionaryForKey(QStringLiteral("GameSettings"))->value(QStringLiteral("cc")).toMap(), both);
}

// A player's disk fills up or turns read-only: the file keeps what it held, the changes stay in
// memory until they can be written, and each episode is told once.
TEST_F(UserDefaultsTest, AFullOrReadOnlyDiskNeverReplacesTheFileAndIsToldOnce)
{
    const QString folder = QFileInfo(settingsPath).path();
    ScratchMount disk(folder);
    if (!disk.isMounted())
        GTEST_SKIP() << disk.why();
    UserDefaults defaults(settingsPath);
    defaults.setValueForKey(QStringLiteral("Resolution"), QStringLiteral("1280x720"));
    QSignalSpy notWritten(&defaults, &UserDefaults::fileNotWritten);
    const struct {
        const char *what;
        std::function<bool()> spoil;
        std::function<void()> mend;
        int error;
    } cases[] = {{"full", [&] { return disk.fill(); }, [&] { disk.empty(); }, ENOSPC},
                 {"read-only", [&] { return disk.setReadOnly(true); }, [&] { disk.setReadOnly(false); }, EROFS}};
    for (const auto &each : cases) {
        const QByteArray before = readFile(settingsPath);
        ASSERT_TRUE(each.spoil()) << each.what;
        for (const QString &recent : {QStringLiteral("a.z64"), QStringLiteral("b.z64")})
            defaults.setValueForKey(QStringLiteral("RecentDocuments"), QStringList{recent});
        EXPECT_EQ(readFile(settingsPath), before) << each.what;
        EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*settings*")}, QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("settings.plist")})
            << "no temporary file is left behind";
        ASSERT_EQ(notWritten.count(), 1) << each.what;
        EXPECT_EQ(notWritten.takeFirst().at(1).toInt(), each.error);
        each.mend();
        defaults.setValueForKey(QStringLiteral("Fullscreen"), true);
        EXPECT_EQ(UserDefaults(settingsPath).valueForKey(QStringLiteral("RecentDocuments")).toStringList(), QStringList{QStringLiteral("b.z64")});
        defaults.setValueForKey(QStringLiteral("Fullscreen"), false);
    }
    EXPECT_TRUE(notWritten.isEmpty());
}

TEST(BundleTest, ResourcesAreFoundByNameAndTypeAndAnythingButADictionaryYieldsNothing)
{
    QTemporaryDir dir;
    const auto write = [&](const char *name, const QByteArray &bytes) {
        EXPECT_TRUE(writeBytes(dir.filePath(QString::fromLatin1(name)), bytes));
        return dir.filePath(QString::fromLatin1(name));
    };
    const QVariantMap original{{QStringLiteral("Name"), QStringLiteral("Pad")}, {QStringLiteral("List"), QVariantList{true, 1.5, QStringLiteral("x")}}};
    write("Options.plist", PropertyList::toXml(original));
    const Bundle bundle(dir.path() + QStringLiteral("/"));
    EXPECT_EQ(bundle.resourcePath(), dir.path());
    EXPECT_EQ(Bundle::dictionaryWithContentsOfFile(bundle.pathForResource(QStringLiteral("Options"), QStringLiteral("plist"))), original);
    EXPECT_TRUE(bundle.pathForResource(QStringLiteral("Missing"), QStringLiteral("plist")).isEmpty());
    for (const QString &path : {QString(), dir.filePath(QStringLiteral("Missing.plist")), write("Broken.plist", "not a property list"),
                                write("List.plist", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>"), dir.path()})
        EXPECT_FALSE(Bundle::dictionaryWithContentsOfFile(path).has_value()) << path.toStdString();
}

TEST(BundleTest, ShippedFallbacksGiveEveryControllerAValuePerInputAndTheKeyboardStickTheArrows)
{
    const Bundle &bundle = Bundle::mainBundle();
    EXPECT_TRUE(bundle.resourcePath().endsWith(QStringLiteral("/share/tolvane-launcher")));
    const auto read = [&](const char *name) {
        return Bundle::dictionaryWithContentsOfFile(bundle.pathForResource(QString::fromLatin1(name), QStringLiteral("plist"))).value_or(QVariantMap());
    };
    const QVariantMap defaults = read("Defaults"), options = read("EmulatorOptions");
    const QStringList names = defaults.value(QStringLiteral("Mapping")).toStringList();
    const QVariantMap controllers = defaults.value(QStringLiteral("Controllers")).toMap();
    ASSERT_TRUE(controllers.contains(QStringLiteral("Keyboard")));
    static const QRegularExpression valueForm(QStringLiteral("^(key\\(\\d+\\)|button\\(\\d+\\)|axis\\(\\d+[+-]\\))$"));
    for (auto it = controllers.cbegin(); it != controllers.cend(); ++it) {
        const QStringList mapping = it.value().toMap().value(QStringLiteral("Mapping")).toStringList();
        ASSERT_EQ(mapping.size(), names.size()) << it.key().toStdString();
        for (const QString &value : mapping)
            EXPECT_TRUE(valueForm.match(value).hasMatch() && value.startsWith(QLatin1String("key(")) == (it.key() == QLatin1String("Keyboard")))
                << it.key().toStdString() << " " << value.toStdString();
    }
    const QStringList keyboard = controllers.value(QStringLiteral("Keyboard")).toMap().value(QStringLiteral("Mapping")).toStringList();
    const std::pair<const char *, const char *> stick[] = {{"Stick Up", "key(273)"}, {"Stick Down", "key(274)"},
                                                           {"Stick Left", "key(276)"}, {"Stick Right", "key(275)"}};
    for (const auto &[name, key] : stick)
        EXPECT_EQ(keyboard.value(names.indexOf(QLatin1String(name))), QLatin1String(key)) << name;
    // The fallback plug-in is one the options know, and option paths hang off the resource folder.
    EXPECT_TRUE(options.value(QStringLiteral("VideoPlugins")).toMap().contains(defaults.value(QStringLiteral("VideoPlugin")).toString()));
    for (const char *key : {"UIConsole", "CoreLibrary", "PluginDirectory"})
        EXPECT_TRUE(options.value(QLatin1String(key)).toString().startsWith(QLatin1String("/tolvane.app/Contents/"))) << key;
}

} // namespace
