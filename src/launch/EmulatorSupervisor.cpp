#include "launch/EmulatorSupervisor.h"

#include "launch/InputAutoCfgWriter.h"
#include "launch/ShellQuoting.h"
#include "platform/Bundle.h"
#include "platform/ChildProcess.h"
#include "platform/SystemLog.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QFile>
#include <QStandardPaths>
#include <QStringList>

namespace {

// The text of a settings or options value that can be written as text; nothing for an
// absent value or one (a list, a dictionary) that has no text form.
std::optional<QString> textOf(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    if (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QVariantMap
        || !value.canConvert<QString>())
        return std::nullopt;
    return value.toString();
}

} // namespace

EmulatorSupervisor::EmulatorSupervisor(QObject *parent)
    : QObject(parent)
{
}

// A child still running is neither waited for nor killed: ChildProcess keeps it until it ends.
EmulatorSupervisor::~EmulatorSupervisor() = default;

void EmulatorSupervisor::setBundlePath(const QString &bundlePath)
{
    m_bundlePath = bundlePath;
}

std::optional<QString> EmulatorSupervisor::optionPath(const QString &key) const
{
    const std::optional<QString> value = textOf(m_emulatorOptions.value(key));
    if (!value)
        return std::nullopt;
    return m_bundlePath + *value;
}

void EmulatorSupervisor::readEmulatorConfig()
{
    const Bundle bundle(m_bundlePath);
    m_emulatorOptions = Bundle::dictionaryWithContentsOfFile(
                            bundle.pathForResource(QStringLiteral("EmulatorOptions"), QStringLiteral("plist")))
                            .value_or(QVariantMap());
    m_tolvanePath = optionPath(QStringLiteral("UIConsole")).value_or(QString());
    m_coreLibraryPath = optionPath(QStringLiteral("CoreLibrary"));
    m_pluginDirectoryPath = optionPath(QStringLiteral("PluginDirectory"));
    m_coreArg = m_coreLibraryPath ? QStringLiteral("--corelib ") + *m_coreLibraryPath : QString();
    m_pluginArg = m_pluginDirectoryPath ? QStringLiteral("--plugindir ") + *m_pluginDirectoryPath : QString();
}

QString EmulatorSupervisor::launchCommand(const ROM &rom) const
{
    const UserDefaults &defaults = UserDefaults::standardUserDefaults();

    const QVariant build = defaults.valueForKey(QStringLiteral("Build"));
    const bool custom = build.typeId() == QMetaType::QString && build.toString() == QStringLiteral("Custom");
    // A missing executable still takes its place, as '', so the start fails visibly
    // instead of running the next word as the program.
    const QString executable =
        custom ? textOf(defaults.valueForKey(QStringLiteral("CustomBuildPath"))).value_or(QString()) : m_tolvanePath;

    QStringList words;
    words << ShellQuoting::quoted(executable);
    // An option whose value is missing is left out rather than given a placeholder.
    const auto addOption = [&words](const QString &option, const std::optional<QString> &value) {
        if (value)
            words << option << ShellQuoting::bareOrQuoted(*value);
    };
    addOption(QStringLiteral("--corelib"), m_coreLibraryPath);
    addOption(QStringLiteral("--plugindir"), m_pluginDirectoryPath);

    std::optional<QString> gfx;
    if (const std::optional<QString> plugin = textOf(defaults.valueForKey(QStringLiteral("VideoPlugin")))) {
        const QVariantMap plugins = m_emulatorOptions.value(QStringLiteral("VideoPlugins")).toMap();
        if (plugins.contains(*plugin))
            gfx = textOf(plugins.value(*plugin));
    }
    addOption(QStringLiteral("--gfx"), gfx);
    addOption(QStringLiteral("--resolution"), textOf(defaults.valueForKey(QStringLiteral("Resolution"))));

    words << (defaults.boolForKey(QStringLiteral("Fullscreen")) ? QStringLiteral("--fullscreen")
                                                                : QStringLiteral("--windowed"));

    if (const std::optional<QUrl> url = rom.filePath())
        words << ShellQuoting::quoted(url->toLocalFile());

    return words.join(QLatin1Char(' '));
}

QString EmulatorSupervisor::emulatorConfigFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/tolvane/tolvane.cfg");
}

void EmulatorSupervisor::removeEmulatorConfigFile() const
{
    QFile::remove(emulatorConfigFilePath());
}

QString EmulatorSupervisor::inputAutoCfgPath() const
{
    return m_bundlePath + QStringLiteral("/tolvane.app/Contents/Resources/InputAutoCfg.ini");
}

void EmulatorSupervisor::writeInputAutoCfg() const
{
    const UserDefaults &defaults = UserDefaults::standardUserDefaults();
    const QString text = InputAutoCfgWriter::textFor(defaults.arrayForKey(QStringLiteral("Mapping")),
                                                     defaults.dictionaryForKey(QStringLiteral("Controllers")));
    // A missing folder (no default build installed) must not stop the start.
    InputAutoCfgWriter::writeText(inputAutoCfgPath(), text);
}

bool EmulatorSupervisor::isTaskProcessRunning() const
{
    return m_task && m_task->isRunning();
}

void EmulatorSupervisor::playPressed(const ROM *rom)
{
    if (!m_task) {
        // Nothing to play: Play is offered only with a ROM loaded.
        if (!rom)
            return;
        removeEmulatorConfigFile();
        writeInputAutoCfg();
        const QString command = launchCommand(*rom);
        m_task = ChildProcess::launchedTask(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
        connect(m_task.get(), &ChildProcess::didTerminate, this, &EmulatorSupervisor::checkATaskStatus);
    } else if (!m_taskRunning) {
        m_task->resume();
    }
    m_taskRunning = true;
    Q_EMIT stateChanged();
}

void EmulatorSupervisor::pausePressed()
{
    // A second Pause must not add a suspension that the one Play offered afterwards
    // could not undo.
    const bool wasRunning = m_taskRunning;
    m_taskRunning = false;
    if (m_task && wasRunning)
        m_task->suspend();
    Q_EMIT stateChanged();
}

void EmulatorSupervisor::stopPressed()
{
    if (m_task)
        m_task->terminate();
    Q_EMIT stateChanged();
}

void EmulatorSupervisor::clearPressed()
{
    m_taskRunning = false;
    if (m_task) {
        // Nobody can resume a dropped child, so a paused one is let go on to end.
        m_task->terminateAndContinue();
        m_task.reset();
    }
    Q_EMIT stateChanged();
}

void EmulatorSupervisor::applicationWillTerminate()
{
    // No wait; a paused child continues so that it receives the request after we are gone.
    if (m_task)
        m_task->terminateAndContinue();
}

void EmulatorSupervisor::checkATaskStatus(ChildProcess *endedTask)
{
    const int status = endedTask->terminationStatus();
    const QString logLine = status > 0 ? QStringLiteral("Task ended by app") : QStringLiteral("Task ended self");
    SystemLog::log(logLine);
    // A notice for a child that Eject dropped must leave a newer child and its state alone.
    if (endedTask == m_task.get()) {
        m_taskRunning = false;
        m_task.reset();
        Q_EMIT stateChanged();
    }
    Q_EMIT taskEnded(logLine, status);
}
