#pragma once

#include "support/TestWorld.h"

#include "mainwindow/WindowController.h"

#include <QTest>
#include <QUrl>

#include <memory>
#include <optional>

/// Opens \a url as every road of the window does (read off the GUI thread) and waits for the
/// answer: whether it was shown.
inline bool openAndWait(WindowController &controller, const QUrl &url)
{
    auto shown = std::make_shared<std::optional<bool>>();
    if (!controller.handleURL(url, [shown](bool answer) { *shown = answer; }))
        return false;
    return QTest::qWaitFor([&] { return shown->has_value(); }, kTimeoutMs) && shown->value_or(false);
}
