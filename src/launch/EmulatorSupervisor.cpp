#include "launch/EmulatorSupervisor.h"

#include "launch/EmulatorOutputLog.h"
#include "launch/InputAutoCfgWriter.h"
#include "launch/ShellQuoting.h"
#include "platform/Bundle.h"
#include "platform/LocalPath.h"
#include "platform/ChildProcess.h"
#include "platform/CallerOutput.h"
#include "platform/OutputRelay.h"
#include "platform/SystemLog.h"
#include "platform/UserDefaults.h"
#include "platform/XdgFolders.h"
#include "rom/ROM.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <unistd.h>

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

// The shell reports 127 also for a program that is there but whose interpreter or library
// is missing; its standard error then names what.
bool programIsThere(const QString &path)
{
    const QFileInfo program(path);
    return program.isFile() && program.isExecutable();
}

} // namespace

EmulatorSupervisor::EmulatorSupervisor(QObject *parent)
    : QObject(parent)
    , m_outputLog(new EmulatorOutputLog(this))
{
    m_forceStopTimer.setSingleShot(true);
    connect(&m_forceStopTimer, &QTimer::timeout, this, &EmulatorSupervisor::offerForceStop);
    m_checkpointTimer.setInterval(kCheckpointIntervalMs);
    connect(&m_checkpointTimer, &QTimer::timeout, this, &EmulatorSupervisor::checkpoint);
}

// A child still running is neither waited for nor killed: ChildProcess keeps it until it ends.
EmulatorSupervisor::~EmulatorSupervisor() = default;

void EmulatorSupervisor::setBundlePath(const QString &bundlePath)
{
    m_bundlePath = bundlePath;
}

std::optional<QString> EmulatorSupervisor::optionPath(const QString &location, const QString &key) const
{
    const std::optional<QString> value = textOf(m_emulatorOptions.value(key));
    if (!value)
        return std::nullopt;
    return location + *value;
}

void EmulatorSupervisor::readEmulatorConfig()
{
    const Bundle bundle(m_bundlePath);
    m_emulatorOptions = Bundle::dictionaryWithContentsOfFile(
                            bundle.pathForResource(QStringLiteral("EmulatorOptions"), QStringLiteral("plist")))
                            .value_or(QVariantMap());
}

QString EmulatorSupervisor::userDefaultBuildLocation()
{
    return XdgFolders::data();
}

QString EmulatorSupervisor::defaultBuildLocation() const
{
    // A build in the player's own folder can be written to (InputAutoCfg.ini) and wins
    // over one installed beside the Launcher, which usually cannot.
    const QString user = userDefaultBuildLocation();
    const std::optional<QString> console = optionPath(user, QStringLiteral("UIConsole"));
    return console && QFileInfo(*console).isFile() ? user : m_bundlePath;
}

QString EmulatorSupervisor::tolvanePath() const
{
    return optionPath(defaultBuildLocation(), QStringLiteral("UIConsole")).value_or(QString());
}

QString EmulatorSupervisor::coreArg() const
{
    const std::optional<QString> path = optionPath(defaultBuildLocation(), QStringLiteral("CoreLibrary"));
    return path ? QStringLiteral("--corelib ") + *path : QString();
}

QString EmulatorSupervisor::pluginArg() const
{
    const std::optional<QString> path = optionPath(defaultBuildLocation(), QStringLiteral("PluginDirectory"));
    return path ? QStringLiteral("--plugindir ") + *path : QString();
}

EffectiveSettings EmulatorSupervisor::settingsFor(const ROM *rom) const
{
    EffectiveSettings settings = EffectiveSettings::forROM(rom);
    settings.setVideoPlugins(m_emulatorOptions.value(QStringLiteral("VideoPlugins")).toMap().keys());
    return settings;
}

QString EmulatorSupervisor::executablePath(const ROM *rom) const
{
    return executablePath(settingsFor(rom), defaultBuildLocation());
}

QString EmulatorSupervisor::executablePath(const EffectiveSettings &settings, const QString &location) const
{
    return customBuildChosen(settings)
        ? textOf(settings.valueForKey(QStringLiteral("CustomBuildPath"))).value_or(QString())
        : optionPath(location, QStringLiteral("UIConsole")).value_or(QString());
}

QString EmulatorSupervisor::startProblem(const ROM *rom) const
{
    // The one path the launch command would run; the default build may not be installed,
    // and a custom program may have gone since it was chosen.
    const QString path = executablePath(rom);
    const QFileInfo program(path);
    if (path.isEmpty())
        return tr("The emulator cannot be started: no emulator program is chosen.");
    if (!program.exists())
        return tr("The emulator cannot be started: %1 was not found.").arg(QDir::toNativeSeparators(path));
    if (!program.isFile() || !program.isExecutable())
        return tr("The emulator cannot be started: %1 is not a program that can be run.")
            .arg(QDir::toNativeSeparators(path));
    return QString();
}

QString EmulatorSupervisor::launchCommand(const ROM &rom) const
{
    return planFor(rom).commandText;
}

QByteArray EmulatorSupervisor::launchCommandBytes(const ROM &rom) const
{
    return planFor(rom).commandBytes;
}

LaunchPlan EmulatorSupervisor::planFor(const ROM &rom) const
{
    const EffectiveSettings settings = settingsFor(&rom);
    LaunchPlan plan;
    // One lookup for every path of the default build, so they never come from two places.
    plan.buildLocation = defaultBuildLocation();
    plan.customBuild = customBuildChosen(settings);
    plan.executable = executablePath(settings, plan.buildLocation);
    const QStringList words = launchWords(settings, plan.buildLocation);
    plan.commandText = words.join(QLatin1Char(' '));
    plan.commandBytes = QFile::encodeName(plan.commandText);
    if (const std::optional<QUrl> url = rom.filePath()) {
        plan.commandText += QLatin1Char(' ') + ShellQuoting::quoted(url->toLocalFile());
        plan.commandBytes += ' ' + ShellQuoting::quoted(LocalPath::fromUrl(*url).bytes());
    }
    plan.inputAutoCfgPath = plan.buildLocation + QStringLiteral("/tolvane.app/Contents/Resources/InputAutoCfg.ini");
    plan.inputAutoCfgText =
        InputAutoCfgWriter::textFor(UserDefaults::standardUserDefaults().arrayForKey(QStringLiteral("Mapping")),
                                    settings.dictionaryForKey(QStringLiteral("Controllers")));
    plan.ownGroupsUsed = settings.usedGroups();
    plan.md5 = rom.MD5().value_or(QString());
    return plan;
}

QStringList EmulatorSupervisor::launchWords(const EffectiveSettings &settings, const QString &location) const
{
    QStringList words;
    // A missing executable still takes its place, as '', so the start fails visibly
    // instead of running the next word as the program.
    words << ShellQuoting::quoted(executablePath(settings, location));
    // An option whose value is missing is left out rather than given a placeholder.
    const auto addOption = [&words](const QString &option, const std::optional<QString> &value) {
        if (value)
            words << option << ShellQuoting::bareOrQuoted(*value);
    };
    addOption(QStringLiteral("--corelib"), optionPath(location, QStringLiteral("CoreLibrary")));
    addOption(QStringLiteral("--plugindir"), optionPath(location, QStringLiteral("PluginDirectory")));

    std::optional<QString> gfx;
    if (const std::optional<QString> plugin = textOf(settings.valueForKey(QStringLiteral("VideoPlugin")))) {
        const QVariantMap plugins = m_emulatorOptions.value(QStringLiteral("VideoPlugins")).toMap();
        if (plugins.contains(*plugin))
            gfx = textOf(plugins.value(*plugin));
    }
    addOption(QStringLiteral("--gfx"), gfx);
    addOption(QStringLiteral("--resolution"), textOf(settings.valueForKey(QStringLiteral("Resolution"))));

    words << (settings.boolForKey(QStringLiteral("Fullscreen")) ? QStringLiteral("--fullscreen")
                                                                : QStringLiteral("--windowed"));

    return words;
}

QString EmulatorSupervisor::emulatorConfigFilePath()
{
    return XdgFolders::configHome() + QStringLiteral("/tolvane/tolvane.cfg");
}

void EmulatorSupervisor::removeEmulatorConfigFile() const
{
    QFile::remove(emulatorConfigFilePath());
}

QString EmulatorSupervisor::inputAutoCfgPath() const
{
    return defaultBuildLocation() + QStringLiteral("/tolvane.app/Contents/Resources/InputAutoCfg.ini");
}

bool EmulatorSupervisor::writeInputAutoCfg(const LaunchPlan &plan) const
{
    // A build copied in without its Resources folder still gets the mapping; no folder is
    // made for a build that is not there.
    if (QFileInfo(optionPath(plan.buildLocation, QStringLiteral("UIConsole")).value_or(QString())).isFile())
        QDir().mkpath(QFileInfo(plan.inputAutoCfgPath).path());
    // A missing folder (no default build installed) must not stop the start.
    return InputAutoCfgWriter::writeText(plan.inputAutoCfgPath, plan.inputAutoCfgText);
}

bool EmulatorSupervisor::customBuildChosen(const EffectiveSettings &settings)
{
    const QVariant build = settings.valueForKey(QStringLiteral("Build"));
    return build.typeId() == QMetaType::QString && build.toString() == QStringLiteral("Custom");
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
        const LaunchPlan plan = planFor(*rom);
        const bool written = writeInputAutoCfg(plan);
        // Only a default build that is really there reads the file; a custom build or a
        // missing one (which fails with its own status) gives no cause to warn.
        if (!written && !m_toldNotWritable && !plan.customBuild
            && QFileInfo(optionPath(plan.buildLocation, QStringLiteral("UIConsole")).value_or(QString())).isFile()) {
            m_toldNotWritable = true;
            Q_EMIT inputAutoCfgNotWritable(QFileInfo(plan.inputAutoCfgPath).path());
        }
        m_outputLog->beginRun(plan.commandText);
        // The emulator's output comes to us, so people can read it after the fact.
        // "exec": the shell becomes the emulator, so Pause, Stop and the end notice concern
        // the emulator itself rather than a shell that would end before it.
        m_task = ChildProcess::launchedTask(QByteArrayLiteral("/bin/sh"),
                                            {QByteArrayLiteral("-c"), QByteArrayLiteral("exec ") + plan.commandBytes},
                                            ChildProcess::OutputChannels::Piped, std::exchange(m_nextEnvironment, std::nullopt));
        m_runningPlan = plan;
        m_latestRun = m_task;
        m_executables.insert(m_task.get(), plan.executable);
        m_runMD5s.insert(m_task.get(), plan.md5);
        connect(m_task.get(), &ChildProcess::outputRead, this, &EmulatorSupervisor::passOnOutput);
        connect(m_task.get(), &ChildProcess::didTerminate, this, &EmulatorSupervisor::checkATaskStatus);
        if (m_nextOutput) {
            m_callerOutputs.insert(m_task.get(), std::exchange(m_nextOutput, nullptr));
            connect(m_task.get(), &QObject::destroyed, this, [this, task = m_task.get()] { m_callerOutputs.remove(task); });
        }
        m_toldMs.insert(m_task.get(), 0);
        m_checkpointTimer.start();
        Q_EMIT played(plan.md5, 0);
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
    if (!m_task || isStopping())
        return;
    // A paused game receives the request only once it continues; it is not paused any more.
    m_task->terminateAndContinue();
    m_taskRunning = true;
    // Some games take their time to save; one that ignores the request can still be ended.
    m_forceStopOffered = false;
    m_forceStopTimer.start(m_forceStopDelayMs);
    Q_EMIT stateChanged();
}

bool EmulatorSupervisor::isStopping() const
{
    return m_task && m_task->isRunning() && m_task->terminationRequested();
}

void EmulatorSupervisor::forceStopPressed()
{
    if (isStopping())
        m_task->forceStop();
    Q_EMIT stateChanged();
}

void EmulatorSupervisor::offerForceStop()
{
    if (!isStopping())
        return;
    m_forceStopOffered = true;
    Q_EMIT stateChanged();
}

void EmulatorSupervisor::checkpoint()
{
    // Dropped children are told too: they play until they end.
    for (auto told = m_toldMs.begin(); told != m_toldMs.end(); ++told) {
        const ChildProcess *task = told.key();
        // A part too short to count (a game paused most of the minute) waits for the next.
        const qint64 added = task->activeMilliseconds() - m_heldBackMs - told.value();
        if (added < m_heldBackMs)
            continue;
        told.value() += added;
        Q_EMIT played(m_runMD5s.value(task), added);
    }
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
    // A paused child continues so that it receives the request.
    if (m_task)
        m_task->terminateAndContinue();
    // Our end closes the emulator's pipes; give it the time to save and end first.
    ChildProcess::waitForRunningChildren(QDeadlineTimer(kTerminationWaitMs));
    if (m_task && m_task->isRunning())
        SystemLog::log(QStringLiteral("The emulator (process group %1) did not end within %2 seconds of Quit and was left running")
                           .arg(m_task->processIdentifier())
                           .arg(kTerminationWaitMs / 1000));
}

void EmulatorSupervisor::passOnOutput(ChildProcess *task, int channel, const QByteArray &bytes)
{
    // Whoever started the Launcher from a terminal still sees the emulator's messages; a
    // stream of ours that is blocked or gone costs them there, never the window's copy.
    const std::shared_ptr<CallerOutput> caller = m_callerOutputs.value(task);
    OutputRelay &stream = caller ? caller->relay(channel)
                                 : channel == STDERR_FILENO ? OutputRelay::standardError() : OutputRelay::standardOutput();
    const OutputRelay::Outcome passed = stream.write(bytes);
    if (task == m_latestRun.lock().get())
        m_outputLog->append(channel, bytes, passed == OutputRelay::Outcome::Queued || passed == OutputRelay::Outcome::StreamGone);
}

QString EmulatorSupervisor::endingText(bool stopRequested, bool bySignal, int status, const QString &executable)
{
    if (stopRequested)
        return tr("The emulator stopped.");
    const int signalNumber = bySignal ? status : (status > 128 && status < 128 + 65 ? status - 128 : 0);
    if (signalNumber > 0) {
        const char *name = ::strsignal(signalNumber);
        return tr("The emulator crashed (%1).")
            .arg(name ? QString::fromLocal8Bit(name) : tr("signal %1").arg(signalNumber));
    }
    if (status == 0)
        return tr("The emulator quit.");
    if (status == 127) {
        if (programIsThere(executable))
            return tr("The emulator could not be started because something %1 needs (its interpreter or a "
                      "library) is missing.")
                .arg(executable);
        return tr("The emulator could not be started: %1 was not found.").arg(executable);
    }
    return tr("The emulator exited with status %1.").arg(status);
}

int EmulatorSupervisor::exitCodeFor(bool stopRequested, bool bySignal, int status)
{
    if (stopRequested)
        return 0;
    return bySignal ? 128 + status : status;
}

void EmulatorSupervisor::checkATaskStatus(ChildProcess *endedTask)
{
    const int status = endedTask->terminationStatus();
    const QString logLine = status > 0 ? QStringLiteral("Task ended by app") : QStringLiteral("Task ended self");
    SystemLog::log(logLine);
    if (endedTask == m_latestRun.lock().get())
        m_outputLog->endRun();
    const QString executable = m_executables.take(endedTask);
    Q_EMIT played(m_runMD5s.take(endedTask), endedTask->activeMilliseconds() - m_toldMs.take(endedTask));
    if (m_toldMs.isEmpty())
        m_checkpointTimer.stop();
    // A dropped child's end is news only while no newer child runs.
    if (!m_task || endedTask == m_task.get()) {
        const bool stopped = endedTask->terminationRequested();
        const bool bySignal = endedTask->terminatedBySignal();
        Q_EMIT taskEndedInWords(endingText(stopped, bySignal, status, executable),
                                exitCodeFor(stopped, bySignal, status));
        if (status == 127 && !endedTask->terminatedBySignal() && !endedTask->terminationRequested()
            && programIsThere(executable))
            Q_EMIT outputExplainsEnd();
    }
    // A notice for a child that Eject dropped must leave a newer child and its state alone.
    if (endedTask == m_task.get()) {
        m_taskRunning = false;
        m_task.reset();
        m_forceStopTimer.stop();
        m_forceStopOffered = false;
        Q_EMIT stateChanged();
    }
    Q_EMIT taskEnded(logLine, status);
}
