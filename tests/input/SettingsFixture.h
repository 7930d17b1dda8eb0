#pragma once

#include "platform/Bundle.h"
#include "platform/UserDefaults.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

/// A fresh settings store in a temporary directory, with the shipped defaults registered
/// as fallbacks (as the application does at start).
class SettingsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QString path =
            Bundle::mainBundle().pathForResource(QStringLiteral("Defaults"), QStringLiteral("plist"));
        ASSERT_FALSE(path.isEmpty());
        m_shipped = Bundle::dictionaryWithContentsOfFile(path).value_or(QVariantMap{});
        ASSERT_TRUE(m_shipped.contains(QStringLiteral("Controllers")));
        auto defaults = std::make_unique<UserDefaults>(m_dir.filePath(QStringLiteral("settings.plist")));
        defaults->registerDefaults(m_shipped);
        UserDefaults::setStandardUserDefaults(std::move(defaults));
    }

    static UserDefaults &store() { return UserDefaults::standardUserDefaults(); }

    QTemporaryDir m_dir;
    QVariantMap m_shipped;
};
