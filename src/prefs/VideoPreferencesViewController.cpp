#include "prefs/VideoPreferencesViewController.h"

#include "platform/Bundle.h"
#include "prefs/SettingsBinding.h"

#include "ui_VideoPrefsView.h"

VideoPreferencesViewController::VideoPreferencesViewController(QObject *parent)
    : NibViewController(QStringLiteral("VideoPrefsView"), parent)
{
}

VideoPreferencesViewController::~VideoPreferencesViewController() = default;

void VideoPreferencesViewController::setupUi(QWidget *view)
{
    m_ui = std::make_unique<Ui::VideoPrefsView>();
    m_ui->setupUi(view);
}

void VideoPreferencesViewController::awakeFromNib()
{
    // The plug-in names are the keys the launch command looks up in the same resource.
    const QVariantMap options =
        Bundle::dictionaryWithContentsOfFile(Bundle::mainBundle().pathForResource(
                                                 QStringLiteral("EmulatorOptions"), QStringLiteral("plist")))
            .value_or(QVariantMap{});
    const QStringList plugins = options.value(QStringLiteral("VideoPlugins")).toMap().keys();
    m_ui->videoPluginBox->addItems(plugins);
    m_settings.setVideoPlugins(plugins);
    m_ui->resolutionBox->addItems({QStringLiteral("640x480"), QStringLiteral("800x600"),
                                   QStringLiteral("1024x768"), QStringLiteral("1280x720"),
                                   QStringLiteral("1280x960"), QStringLiteral("1600x1200"),
                                   QStringLiteral("1920x1080")});

    SettingsBinding::bindText(m_ui->videoPluginBox, QStringLiteral("VideoPlugin"), &m_settings);
    SettingsBinding::bindText(m_ui->resolutionBox, QStringLiteral("Resolution"), &m_settings);
    SettingsBinding::bindBool(m_ui->fullscreenBox, QStringLiteral("Fullscreen"), &m_settings);
    SettingsBinding::follow(this, EffectiveSettings::keysOfGroup(EffectiveSettings::Video), m_settings, [this] { reloadValues(); });
}

void VideoPreferencesViewController::reloadValues()
{
    if (!m_ui)
        return;
    SettingsBinding::showText(m_ui->videoPluginBox, QStringLiteral("VideoPlugin"), m_settings);
    SettingsBinding::showText(m_ui->resolutionBox, QStringLiteral("Resolution"), m_settings);
    SettingsBinding::showBool(m_ui->fullscreenBox, QStringLiteral("Fullscreen"), m_settings);
}
