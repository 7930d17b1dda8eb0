#include "input/PadService.h"

#include "input/MappingValue.h"
#include "platform/XdgFolders.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>

#include <SDL2/SDL.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

constexpr auto kPumpPause = std::chrono::milliseconds(20);
constexpr auto kAxisQuiet = std::chrono::milliseconds(500);
constexpr int kAxisThreshold = 31001;

QPointer<PadService> &theService()
{
    static QPointer<PadService> service;
    return service;
}

int deviceIndexOf(SDL_JoystickID id)
{
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) == id)
            return index;
    }
    return -1;
}

QString controllerMappingOf(SDL_JoystickID id)
{
    const int index = deviceIndexOf(id);
    char *mapping = index >= 0 ? SDL_GameControllerMappingForDeviceIndex(index) : nullptr;
    const QString text = mapping ? QString::fromUtf8(mapping) : QString();
    SDL_free(mapping);
    return text;
}

PadInfo infoOf(SDL_Joystick *joystick)
{
    PadInfo info;
    info.id = SDL_JoystickInstanceID(joystick);
    const char *name = SDL_JoystickName(joystick);
    info.name = QString::fromUtf8(name ? name : "");
    char guid[33] = {};
    SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(joystick), guid, sizeof guid);
    info.guid = QString::fromLatin1(guid);
    info.buttons = SDL_JoystickNumButtons(joystick);
    info.axes = SDL_JoystickNumAxes(joystick);
    info.hats = SDL_JoystickNumHats(joystick);
    return info;
}

} // namespace

PadService &PadService::instance()
{
    QPointer<PadService> &service = theService();
    if (!service)
        service = new PadService;
    return *service;
}

PadService::PadService()
    : QObject(QCoreApplication::instance())
{
}

PadService::~PadService()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void PadService::start()
{
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
}

std::optional<PadInfo> PadService::pad(int id) const
{
    for (const PadInfo &pad : m_pads) {
        if (pad.id == id)
            return pad;
    }
    return std::nullopt;
}

int PadService::arm()
{
    m_lastGeneration = m_lastGeneration == INT_MAX ? 1 : m_lastGeneration + 1;
    m_armed = m_lastGeneration;
    return m_lastGeneration;
}

void PadService::disarm(int generation)
{
    int expected = generation;
    m_armed.compare_exchange_strong(expected, 0);
}

void PadService::addPad(const PadInfo &pad)
{
    m_pads.append(pad);
    Q_EMIT padAdded(pad);
}

void PadService::removePad(int id)
{
    for (qsizetype i = 0; i < m_pads.size(); ++i) {
        if (m_pads.at(i).id == id) {
            const PadInfo pad = m_pads.takeAt(i);
            Q_EMIT padRemoved(pad);
            return;
        }
    }
}

void PadService::run()
{
    // SDL would turn SIGINT and SIGTERM into quit events nobody reads; the Launcher must
    // still end (and end its game) on them. HIDAPI drivers number the buttons of the pads
    // they know in their own order, unlike the kernel's event devices that the emulator reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_JOYSTICK_HIDAPI, "0");
    if (m_virtualOnly)
        SDL_SetHint("SDL_JOYSTICK_DISABLE_UDEV", "1");
    const bool up = SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0;
    if (up) {
        // The player's own list of pads, beside the built-in one and SDL_GAMECONTROLLERCONFIG.
        const QString database = XdgFolders::config() + QStringLiteral("/gamecontrollerdb.txt");
        if (QFile::exists(database))
            SDL_GameControllerAddMappingsFromFile(QFile::encodeName(database).constData());
    }
    const auto post = [this](auto function) { QMetaObject::invokeMethod(this, std::move(function), Qt::QueuedConnection); };
    post([this] { m_ready = true; });
    if (!up)
        return;

    std::map<SDL_JoystickID, SDL_Joystick *> open;
    // Pads SDL knows as game controllers, opened beside their joysticks for the navigator.
    std::map<SDL_JoystickID, SDL_GameController *> controllers;
    // The last stick position of this pump, per pad and axis.
    std::map<std::pair<SDL_JoystickID, int>, int> stick;
    const auto postEvent = [&](PadEvent event) {
        event.forCapture = m_armed != 0;
        if (m_watchControllers)
            post([this, event] { Q_EMIT controllerEvent(event); });
    };
    int seenGeneration = 0;
    int answeredGeneration = 0;
    bool firstPass = true;
    auto axisQuietUntil = std::chrono::steady_clock::now();
    // The control that answered an arming, while it is held: the arming lasts until it is let
    // go, so the same press does not also reach the windows (B would close the one mapped in).
    struct Held { SDL_JoystickID id; bool axis; int index; };
    std::optional<Held> held;
    const auto letGo = [&] {
        int expected = answeredGeneration;
        m_armed.compare_exchange_strong(expected, 0);
        held.reset();
    };
    const auto answer = [&](int generation, SDL_JoystickID id, const QString &value, Held control) {
        answeredGeneration = generation;
        held = control;
        const char *name = SDL_JoystickName(open[id]);
        const PadPush push{generation, int(id), QString::fromUtf8(name ? name : ""), value, controllerMappingOf(id)};
        post([this, push] { Q_EMIT pushed(push); });
    };

    // Looked at before every event, so a press that comes right after an arming answers it.
    const auto currentArming = [&] {
        const int generation = m_armed;
        if (generation != seenGeneration) {
            seenGeneration = generation;
            firstPass = true;
            if (generation) {
                const char *name = SDL_NumJoysticks() > 0 ? SDL_JoystickNameForIndex(0) : nullptr;
                std::printf("Joystick name: %s\n", name ? name : "(none)");
                std::fflush(stdout);
            }
        }
        return generation;
    };

    while (!m_stop) {
        currentArming();
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            const int generation = currentArming();
            switch (event.type) {
            case SDL_JOYDEVICEADDED: {
                const int index = event.jdevice.which;
                if (m_virtualOnly && !SDL_JoystickIsVirtual(index))
                    break;
                // SDL 2 reports buttons and axes of open joysticks only.
                SDL_Joystick *joystick = SDL_JoystickOpen(index);
                if (!joystick)
                    break;
                const PadInfo info = infoOf(joystick);
                if (!open.emplace(SDL_JoystickID(info.id), joystick).second) {
                    SDL_JoystickClose(joystick);
                    break;
                }
                post([this, info] { addPad(info); });
                break;
            }
            case SDL_CONTROLLERDEVICEADDED: {
                // Also when a mapping added later makes a connected joystick a game controller.
                const int index = event.cdevice.which;
                const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
                if (controllers.count(id) || (m_virtualOnly && !SDL_JoystickIsVirtual(index)))
                    break;
                if (SDL_GameController *controller = SDL_GameControllerOpen(index))
                    controllers.emplace(id, controller);
                break;
            }
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP:
                if (controllers.count(event.cbutton.which))
                    postEvent({int(event.cbutton.which),
                               event.type == SDL_CONTROLLERBUTTONDOWN ? PadEvent::ButtonDown : PadEvent::ButtonUp,
                               int(event.cbutton.button), 0});
                break;
            case SDL_CONTROLLERAXISMOTION:
                if (controllers.count(event.caxis.which)
                    && (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX || event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY))
                    stick[{event.caxis.which, int(event.caxis.axis)}] = event.caxis.value;
                break;
            case SDL_JOYDEVICEREMOVED: {
                const SDL_JoystickID id = event.jdevice.which;
                if (const auto it = controllers.find(id); it != controllers.end()) {
                    SDL_GameControllerClose(it->second);
                    controllers.erase(it);
                    postEvent({int(id), PadEvent::Removed, 0, 0});
                }
                if (held && held->id == id)
                    letGo();
                if (const auto it = open.find(id); it != open.end()) {
                    SDL_JoystickClose(it->second);
                    open.erase(it);
                    post([this, id] { removePad(id); });
                }
                break;
            }
            case SDL_JOYBUTTONDOWN:
                if (generation && generation != answeredGeneration && open.count(event.jbutton.which)) {
                    std::printf("Button %i\n", int(event.jbutton.button));
                    std::fflush(stdout);
                    answer(generation, event.jbutton.which, MappingValue::button(event.jbutton.button),
                           {event.jbutton.which, false, event.jbutton.button});
                }
                break;
            case SDL_JOYBUTTONUP:
                if (held && !held->axis && held->id == event.jbutton.which && held->index == event.jbutton.button)
                    letGo();
                break;
            case SDL_JOYAXISMOTION: {
                if (held && held->axis && held->id == event.jaxis.which && held->index == event.jaxis.axis
                    && std::abs(int(event.jaxis.value)) < kAxisThreshold / 2)
                    letGo();
                if (!generation || generation == answeredGeneration || firstPass || !open.count(event.jaxis.which)
                    || std::chrono::steady_clock::now() < axisQuietUntil)
                    break;
                const int position = event.jaxis.value;
                const char sign = position >= kAxisThreshold ? '+' : position <= -kAxisThreshold ? '-' : 0;
                if (!sign)
                    break;
                std::printf("Axis %i\n", int(event.jaxis.axis));
                std::fflush(stdout);
                answer(generation, event.jaxis.which, MappingValue::axis(event.jaxis.axis, sign),
                       {event.jaxis.which, true, event.jaxis.axis});
                axisQuietUntil = std::chrono::steady_clock::now() + kAxisQuiet;
                break;
            }
            default:
                break;
            }
        }
        for (const auto &[where, value] : stick)
            postEvent({int(where.first), PadEvent::Axis, where.second, value});
        stick.clear();
        firstPass = false;
        std::this_thread::sleep_for(kPumpPause);
    }
    for (const auto &[id, controller] : controllers)
        SDL_GameControllerClose(controller);
    for (const auto &[id, joystick] : open)
        SDL_JoystickClose(joystick);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
    SDL_Quit();
}
