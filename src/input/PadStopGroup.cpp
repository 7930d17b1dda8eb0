#include "input/PadStopGroup.h"

#include "input/PadStopHold.h"
#include "platform/UserDefaults.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

PadStopGroup::PadStopGroup(QWidget *parent)
    : QWidget(parent)
    , m_combination(new QComboBox(this))
    , m_time(new QComboBox(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(tr("Stop the game by &holding:"), this);
    label->setBuddy(m_combination);
    using Combination = PadStopHold::Combination;
    m_combination->addItem(tr("Back + Start"), PadStopHold::textOf(Combination::BackStart));
    m_combination->addItem(tr("L + R + Start"), PadStopHold::textOf(Combination::ShouldersStart));
    m_combination->addItem(tr("Never"), PadStopHold::textOf(Combination::Never));
    m_combination->setAccessibleName(tr("Stop the game by holding"));
    m_combination->setAccessibleDescription(tr("The pad buttons that, held together while a game runs, stop it as Stop does."));
    for (int seconds = 1; seconds <= 3; ++seconds)
        m_time->addItem(tr("%n s", "hold time in seconds", seconds), seconds);
    m_time->setAccessibleName(tr("Hold time"));
    layout->addWidget(label);
    layout->addWidget(m_combination);
    layout->addWidget(m_time);
    layout->addStretch(1);
    reload();
    connect(m_combination, &QComboBox::activated, this, &PadStopGroup::store);
    connect(m_time, &QComboBox::activated, this, &PadStopGroup::store);
    connect(&UserDefaults::standardUserDefaults(), &UserDefaults::valueChanged, this, [this](const QString &key) {
        if (key == PadStopHold::kCombinationKey || key == PadStopHold::kSecondsKey)
            reload();
    });
}

void PadStopGroup::reload()
{
    const UserDefaults &defaults = UserDefaults::standardUserDefaults();
    const PadStopHold::Combination combination
        = PadStopHold::combinationFromText(defaults.valueForKey(PadStopHold::kCombinationKey).toString());
    m_combination->setCurrentIndex(m_combination->findData(PadStopHold::textOf(combination)));
    const int seconds = defaults.valueForKey(PadStopHold::kSecondsKey).toInt();
    m_time->setCurrentIndex(std::max(0, m_time->findData(seconds)));
    m_time->setEnabled(combination != PadStopHold::Combination::Never);
}

void PadStopGroup::store()
{
    // Both read first: the first write shows the stored values again.
    const QVariant combination = m_combination->currentData();
    const QVariant seconds = m_time->currentData();
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    defaults.setValueForKey(PadStopHold::kCombinationKey, combination);
    defaults.setValueForKey(PadStopHold::kSecondsKey, seconds);
}
