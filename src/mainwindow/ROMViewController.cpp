#include "mainwindow/ROMViewController.h"

#include "library/GameLibrary.h"
#include "platform/LocalPath.h"
#include "rom/RomArchive.h"
#include "settings/EffectiveSettings.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include "ui_ROMView.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QFormLayout>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QLocale>
#include <QPushButton>

namespace {

// A cover is shown whole: as large as it was made where the column has the room, smaller
// where it has not (a short window), never cut.
class CoverLabel : public QLabel
{
public:
    using QLabel::QLabel;

    QSize minimumSizeHint() const override { return QSize(0, fontMetrics().height() * 3); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const QPixmap cover = pixmap();
        if (cover.isNull())
            return;
        const QRect room = contentsRect();
        const QSize natural = cover.deviceIndependentSize().toSize();
        const QSize shown = natural.scaled(natural.boundedTo(room.size()), Qt::KeepAspectRatio);
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(QRect(room.x() + (room.width() - shown.width()) / 2, room.y(), shown.width(), shown.height()), cover);
    }
};

} // namespace

ROMViewController::ROMViewController(const QString &nibName, QObject *parent)
    : NibViewController(nibName, parent)
{
}

ROMViewController::~ROMViewController() = default;

void ROMViewController::setupUi(QWidget *view)
{
    m_ui = std::make_unique<Ui::ROMView>();
    m_ui->setupUi(view);
    m_nameField = m_ui->nameField;
    m_codeField = m_ui->codeField;
    m_crcField = m_ui->crcField;
    m_md5Field = m_ui->md5Field;
    // The digest is compared by eye: its 32 digits in sight, which also sets the column's width.
    m_md5Field->setMinimumWidth(m_md5Field->fontMetrics().horizontalAdvance(QString(32, QLatin1Char('0'))) + 16);
    m_coverLabel = new CoverLabel(view);
    m_coverLabel->setObjectName(QStringLiteral("romCover"));
    m_coverLabel->setAlignment(Qt::AlignHCenter);
    m_coverLabel->setAccessibleName(tr("Cover"));
    m_coverLabel->hide();
    m_ui->layout->insertRow(0, m_coverLabel);
    // History rows below the header's, read-only like them.
    const struct {
        QLineEdit **field;
        QString label;
        QString name;
        const char *objectName;
    } rows[] = {{&m_lastPlayedField, tr("Last played:"), tr("Last played"), "lastPlayedField"},
                {&m_playTimeField, tr("Play time:"), tr("Play time"), "playTimeField"},
                // From the DAT's name of a verified file; hidden for any other.
                {&m_datFields[0], tr("Title:"), tr("Title"), "datTitleField"},
                {&m_datFields[1], tr("Region:"), tr("Region"), "datRegionField"},
                {&m_datFields[2], tr("Languages:"), tr("Languages"), "datLanguagesField"},
                {&m_datFields[3], tr("Revision:"), tr("Revision"), "datRevisionField"}};
    for (const auto &row : rows) {
        *row.field = new QLineEdit(view);
        (*row.field)->setObjectName(QLatin1String(row.objectName));
        (*row.field)->setReadOnly(true);
        (*row.field)->setAccessibleName(row.name);
        m_ui->layout->addRow(row.label, *row.field);
    }

    // What the game overrides is always in sight, beside the way to change it.
    m_ownSettingsLabel = new QLabel(view);
    m_ownSettingsLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_ownSettingsLabel->setWordWrap(true);
    m_gameSettingsButton = new QPushButton(tr("Game Settings…"), view);
    connect(m_gameSettingsButton, &QPushButton::clicked, this, &ROMViewController::gameSettingsRequested);
    auto *row = new QHBoxLayout;
    row->addWidget(m_ownSettingsLabel, 1);
    row->addWidget(m_gameSettingsButton);
    m_ui->layout->addRow(row);
    m_dumpLabel = new QLabel(view);
    m_dumpLabel->setObjectName(QStringLiteral("dumpLabel"));
    m_dumpLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_dumpLabel->setWordWrap(true);
    m_ui->layout->addRow(m_dumpLabel);
    m_coverProblemLabel = new QLabel(view);
    m_coverProblemLabel->setObjectName(QStringLiteral("coverProblemLabel"));
    m_coverProblemLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_coverProblemLabel->setWordWrap(true);
    m_coverProblemLabel->hide();
    m_ui->layout->addRow(m_coverProblemLabel);
    // Given or taken in the Game Settings window or by a hand edit of the settings file.
    connect(&UserDefaults::standardUserDefaults(), &UserDefaults::valueChanged, this, [this](const QString &key) {
        if (key == EffectiveSettings::kGameSettingsKey)
            showOwnSettings();
    });
}

void ROMViewController::showOwnSettings()
{
    if (!m_ownSettingsLabel)
        return;
    // Only what a start would use: values it cannot use fall back to the global ones.
    const QString groups = EffectiveSettings::groupsInWords(EffectiveSettings::forROM(m_rom.get()).usedGroups());
    m_ownSettingsLabel->setText(groups.isEmpty() ? QString() : tr("Uses its own settings: %1").arg(groups));
    m_ownSettingsLabel->setVisible(!groups.isEmpty());
    m_gameSettingsButton->setEnabled(m_rom && m_rom->MD5());
}

void ROMViewController::setCover(const QImage &cover, const QString &problem)
{
    if (!m_coverLabel)
        view();
    m_coverLabel->setPixmap(QPixmap::fromImage(cover));
    m_coverLabel->setVisible(!cover.isNull());
    m_coverProblemLabel->setText(problem);
    m_coverProblemLabel->setVisible(!problem.isEmpty());
}

void ROMViewController::setHistoryText(const QString &lastPlayed, const QString &playTime)
{
    if (!m_lastPlayedField)
        view();
    m_lastPlayedField->setText(lastPlayed.isEmpty() ? tr("Never") : lastPlayed);
    // An empty field would look like something missing; a run under five seconds counts none.
    m_playTimeField->setText(playTime.isEmpty() ? tr("None") : playTime);
}

void ROMViewController::awakeFromNib()
{
    // The view loads after the first record was given, so the fields catch up here.
    fillFields();
}

void ROMViewController::setROM(std::shared_ptr<ROM> rom)
{
    m_rom = std::move(rom);
    fillFields();
}

QLineEdit *ROMViewController::pathField() const
{
    return m_ui ? m_ui->pathField : nullptr;
}

QLineEdit *ROMViewController::sizeField() const
{
    return m_ui ? m_ui->sizeField : nullptr;
}

QLineEdit *ROMViewController::byteOrderField() const
{
    return m_ui ? m_ui->byteOrderField : nullptr;
}

QLineEdit *ROMViewController::cicField() const
{
    return m_ui ? m_ui->cicField : nullptr;
}

QString ROMViewController::byteOrderText(const QString &byteOrder)
{
    if (byteOrder == QLatin1String("z64"))
        return tr("z64 (big-endian)");
    if (byteOrder == QLatin1String("v64"))
        return tr("v64 (byte-swapped)");
    if (byteOrder == QLatin1String("n64"))
        return tr("n64 (little-endian)");
    return byteOrder;
}

QString ROMViewController::checksumText(quint32 crc1, quint32 crc2)
{
    return QStringLiteral("%1 %2").arg(crc1, 0, 16).arg(crc2, 0, 16).toUpper();
}

void ROMViewController::fillFields()
{
    if (!m_rom || !m_nameField)
        return;
    // Absent fields of an incomplete record show as empty text, absent checksums as 0.
    m_nameField->setText(m_rom->name().value_or(QString()));
    m_codeField->setText(m_rom->gameCode().value_or(QString()));
    m_crcField->setText(checksumText(m_rom->CRC1().value_or(0), m_rom->CRC2().value_or(0)));
    m_md5Field->setText(m_rom->MD5().value_or(QString()));
    // What the reader found about the file itself, for people who compare or report it.
    const std::optional<QUrl> url = m_rom->filePath();
    QString path = url ? QDir::toNativeSeparators(url->toLocalFile()) : QString();
    if (const std::optional<QString> entry = m_rom->archiveEntry())
        path = RomArchive::entryDisplayName(path, *entry);
    m_ui->pathField->setText(path);
    const std::optional<qint64> size = m_rom->fileSize();
    // A ROM that was read is under 2 GiB, so its size is an int.
    m_ui->sizeField->setText(size ? tr("%1 (%Ln byte(s))", nullptr, int(*size)).arg(ROM::sizeText(*size)) : QString());
    m_ui->byteOrderField->setText(byteOrderText(m_rom->byteOrder().value_or(QString())));
    const std::optional<qint32> cic = m_rom->cic();
    m_ui->cicField->setText(cic ? QStringLiteral("CIC-NUS-%1").arg(*cic) : QString());
    // Long names start at their beginning, not where the cursor was left.
    showOwnSettings();
    showDump();
    for (QLineEdit *field : {m_nameField, m_codeField, m_crcField, m_md5Field, m_ui->pathField, m_ui->sizeField,
                             m_ui->byteOrderField, m_ui->cicField})
        field->setCursorPosition(0);
}

void ROMViewController::setGameLibrary(GameLibrary *library)
{
    m_library = library;
    connect(library, &GameLibrary::datsChanged, this, &ROMViewController::showDump);
    showDump();
}

void ROMViewController::showDump()
{
    if (!m_dumpLabel)
        return;
    const DatStatus status = m_library && m_rom ? m_library->dumpStatus(*m_rom) : DatStatus();
    m_dumpLabel->setText(status.sentence());
    m_dumpLabel->setVisible(status.kind != DatStatus::Kind::None);
    const DatStatus::NameTags tags = DatStatus::tagsOf(status.gameName);
    const QString texts[] = {status.gameName, tags.region, tags.languages, tags.revision};
    for (int row = 0; row < 4; ++row) {
        m_datFields[row]->setText(texts[row]);
        m_datFields[row]->setCursorPosition(0);
        m_ui->layout->setRowVisible(m_datFields[row], status.isVerified() && !texts[row].isEmpty());
    }
}
