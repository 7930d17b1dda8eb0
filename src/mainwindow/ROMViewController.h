#pragma once

#include "platform/NibViewController.h"

#include <memory>

class QLineEdit;
class ROM;

namespace Ui {
class ROMView;
}

/// The view that shows the header of the loaded ROM: name, game code, the two header
/// checksum words and the MD5 digest, each in a read-only field whose text can be copied.
class ROMViewController : public NibViewController
{
    Q_OBJECT

public:
    explicit ROMViewController(const QString &nibName = QStringLiteral("ROMView"), QObject *parent = nullptr);
    ~ROMViewController() override;

    std::shared_ptr<ROM> rom() const { return m_rom; }
    /// Keeps \a rom and shows its fields; with null the fields keep what they show.
    void setROM(std::shared_ptr<ROM> rom);

    QLineEdit *nameField() const { return m_nameField; }
    QLineEdit *codeField() const { return m_codeField; }
    QLineEdit *crcField() const { return m_crcField; }
    QLineEdit *md5Field() const { return m_md5Field; }
    QLineEdit *pathField() const;
    QLineEdit *sizeField() const;
    QLineEdit *byteOrderField() const;
    QLineEdit *cicField() const;
    QLineEdit *lastPlayedField() const { return m_lastPlayedField; }
    QLineEdit *playTimeField() const { return m_playTimeField; }
    /// The game's history as the library shows it ("Today", "2 h 15 min"); empty when never played.
    void setHistoryText(const QString &lastPlayed, const QString &playTime);

    /// The two checksum words as "%X %X": upper-case hexadecimal, no leading zeros.
    static QString checksumText(quint32 crc1, quint32 crc2);
    /// "z64 (big-endian)", "v64 (byte-swapped)" or "n64 (little-endian)".
    static QString byteOrderText(const QString &byteOrder);

protected:
    void setupUi(QWidget *view) override;
    void awakeFromNib() override;

private:
    void fillFields();

    std::shared_ptr<ROM> m_rom;
    std::unique_ptr<Ui::ROMView> m_ui;
    QLineEdit *m_nameField = nullptr;
    QLineEdit *m_codeField = nullptr;
    QLineEdit *m_crcField = nullptr;
    QLineEdit *m_md5Field = nullptr;
    QLineEdit *m_lastPlayedField = nullptr;
    QLineEdit *m_playTimeField = nullptr;
};
