#include "input/PadNavigator.h"

#include "input/PadService.h"
#include "platform/UserDefaults.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputDevice>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>

PadNavigator::PadNavigator(QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_clock.start();
    m_timer->setSingleShot(true);
    // The stop must come within a frame or two of its time, not within the coarse timer's 5%.
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &PadNavigator::timeout);
    PadService &service = PadService::instance();
    connect(&service, &PadService::controllerEvent, this, &PadNavigator::controllerEvent);
    service.watchControllers();
    service.start();
}

PadNavigator::~PadNavigator() = default;

void PadNavigator::readRule()
{
    const UserDefaults &defaults = UserDefaults::standardUserDefaults();
    const QVariant seconds = defaults.valueForKey(PadStopHold::kSecondsKey);
    m_stop.setRule(PadStopHold::combinationFromText(defaults.valueForKey(PadStopHold::kCombinationKey).toString()),
                   1000 * std::clamp(seconds.isValid() ? seconds.toInt() : 1, 1, 3));
}

void PadNavigator::controllerEvent(const PadEvent &event)
{
    const qint64 now = m_clock.elapsed();
    if (event.kind == PadEvent::ButtonDown)
        readRule();
    // Held buttons are followed all the time, so a combination begun just as the game starts
    // (Start pressed to play it, say) counts from when it is complete.
    m_stop.handle(event, now);
    QWidget *target = keyTarget();
    // A capture in a mapping editor takes the pads for itself, up to the release of the
    // press that answered it.
    if (event.forCapture || gameRunning() || !target || PadService::instance().isArmed()) {
        m_keys.clear();
    } else {
        for (const PadKeyMapper::Key &key : m_keys.handle(event, now))
            send(target, key);
    }
    schedule();
}

void PadNavigator::timeout()
{
    const qint64 now = m_clock.elapsed();
    // A hold ended in the Launcher's windows is spent: it does not stop the next game.
    if (m_stop.isDue(now) && gameRunning())
        Q_EMIT stopRequested();
    QWidget *target = keyTarget();
    if (gameRunning() || !target || PadService::instance().isArmed())
        m_keys.clear();
    for (const PadKeyMapper::Key &key : m_keys.repeatsDue(now))
        send(target, key);
    schedule();
}

void PadNavigator::schedule()
{
    std::optional<qint64> next = m_keys.nextRepeat();
    if (const std::optional<qint64> deadline = m_stop.deadline())
        next = next ? std::min(*next, *deadline) : *deadline;
    if (!next) {
        m_timer->stop();
        return;
    }
    m_timer->start(int(std::max<qint64>(0, *next - m_clock.elapsed())));
}

QWidget *PadNavigator::keyTarget()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    QWidget *window = QApplication::activeWindow();
    if (!window)
        return nullptr;
    if (QWidget *modal = QApplication::activeModalWidget(); modal && modal != window && !modal->isAncestorOf(window))
        window = modal;
    QWidget *focus = window->focusWidget();
    return focus ? focus : window;
}

void PadNavigator::send(QWidget *target, const PadKeyMapper::Key &key)
{
    int code = key.key;
    auto modifiers = Qt::KeyboardModifiers(key.modifiers);
    QString text;
    if (code == Qt::Key_Enter) {
        // A button or a closed list is pressed with Space, as Return does nothing to it outside dialogs.
        auto *box = qobject_cast<QComboBox *>(target);
        if (qobject_cast<QAbstractButton *>(target) || (box && !box->isEditable())) {
            code = Qt::Key_Space;
            modifiers = Qt::NoModifier;
            text = QStringLiteral(" ");
        } else {
            text = QStringLiteral("\r");
        }
    } else if (code == Qt::Key_Escape) {
        text = QStringLiteral("\x1b");
    } else if (code == Qt::Key_Tab) {
        text = QStringLiteral("\t");
    }
    // Shortcuts come before the widget, unless the widget claims the key.
    const QInputDevice *pad = keyDevice();
    QKeyEvent override(QEvent::ShortcutOverride, code, modifiers, 0, 0, 0, text, key.autoRepeat, 1, pad);
    override.ignore();
    QCoreApplication::sendEvent(target, &override);
    if (!override.isAccepted() && triggerShortcut(target, QKeySequence(code | modifiers)))
        return;
    // Posted: a press that opens a modal window must not run its loop inside ours.
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
        QCoreApplication::postEvent(target, new QKeyEvent(type, code, modifiers, 0, 0, 0, text, key.autoRepeat, 1, pad));
}

const QInputDevice *PadNavigator::keyDevice()
{
    // A keyboard to Qt (so widgets treat its keys as keys), but not the one the player types on.
    static QInputDevice *const device = new QInputDevice(QStringLiteral("Tolvane Launcher pads"), -1,
                                                         QInputDevice::DeviceType::Keyboard, QString(), qApp);
    return device;
}

bool PadNavigator::triggerShortcut(QWidget *target, const QKeySequence &sequence)
{
    QWidget *window = target->window();
    QList<QWidget *> widgets{window};
    widgets += window->findChildren<QWidget *>();
    for (QWidget *widget : std::as_const(widgets)) {
        for (QAction *action : widget->actions()) {
            const bool reaches = action->shortcutContext() == Qt::WindowShortcut
                || action->shortcutContext() == Qt::ApplicationShortcut || widget == target || widget->isAncestorOf(target);
            if (reaches && action->isEnabled() && action->shortcuts().contains(sequence)) {
                QPointer<QAction> later(action);
                QTimer::singleShot(0, action, [later] {
                    if (later)
                        later->trigger();
                });
                return true;
            }
        }
    }
    return false;
}
