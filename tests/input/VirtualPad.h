#pragma once

#include "support/TestWorld.h"

#include <QTest>

#include <SDL2/SDL.h>

#include <gtest/gtest.h>

// One of SDL's virtual joysticks, held open by the test to press its buttons and axes. As a
// game controller, SDL maps button N to its game-controller button N and axes 0 and 1 to the
// left stick.
class VirtualPad
{
public:
    explicit VirtualPad(const char *name, bool controller = false)
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = controller ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
        desc.nbuttons = controller ? 15 : 12, desc.naxes = controller ? 6 : 8, desc.nhats = controller ? 0 : 1;
        desc.name = name;
        m_joystick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
        m_id = SDL_JoystickInstanceID(m_joystick);
    }
    ~VirtualPad()
    {
        detach();
        SDL_JoystickClose(m_joystick);
    }
    // As a mapping names it: without the name's CRC (bytes 2 and 3).
    QString guid() const
    {
        char text[33] = {};
        SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(m_joystick), text, sizeof text);
        return QString::fromLatin1(text).replace(4, 4, QStringLiteral("0000"));
    }
    // Pressed or released; true once the pad service has read it.
    bool set(int button, bool pressed)
    {
        const Uint8 state = pressed ? SDL_PRESSED : SDL_RELEASED;
        // A release set just before must have been read first, or SDL sees no change at all.
        if (!QTest::qWaitFor([&] { return SDL_JoystickGetButton(m_joystick, button) != state; }, kTimeoutMs))
            return false;
        SDL_JoystickSetVirtualButton(m_joystick, button, state);
        return QTest::qWaitFor([&] { return SDL_JoystickGetButton(m_joystick, button) == state; }, kTimeoutMs);
    }
    // Pressed until the pad service has read it, then released.
    void tap(int button)
    {
        EXPECT_TRUE(set(button, true));
        SDL_JoystickSetVirtualButton(m_joystick, button, SDL_RELEASED);
    }
    void moveAxis(int axis, int value) { SDL_JoystickSetVirtualAxis(m_joystick, axis, Sint16(value)); }
    void detach()
    {
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == m_id)
                SDL_JoystickDetachVirtual(index);
        }
    }

private:
    SDL_Joystick *m_joystick = nullptr;
    SDL_JoystickID m_id = -1;
};
