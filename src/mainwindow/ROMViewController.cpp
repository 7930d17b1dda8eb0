#include "mainwindow/ROMViewController.h"

#include "rom/ROM.h"

#include "ui_ROMView.h"

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
    // Long names start at their beginning, not where the cursor was left.
    for (QLineEdit *field : {m_nameField, m_codeField, m_crcField, m_md5Field})
        field->setCursorPosition(0);
}
