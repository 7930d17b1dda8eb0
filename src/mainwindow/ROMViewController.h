#pragma once

#include "platform/NibViewController.h"

#include <QPointer>

#include "dat/DatStatus.h"

#include <memory>

class GameLibrary;
class QImage;
class QLabel;
class QLineEdit;
class QPushButton;
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
    /// "Uses its own settings: video, controllers", hidden for a game without.
    QLabel *ownSettingsLabel() const { return m_ownSettingsLabel; }
    QPushButton *gameSettingsButton() const { return m_gameSettingsButton; }
    /// Says again which settings the game has of its own, after they changed.
    void showOwnSettings();
    QLineEdit *lastPlayedField() const { return m_lastPlayedField; }
    QLineEdit *playTimeField() const { return m_playTimeField; }
    /// The game's cover above the fields, shown whole in the room the column leaves it (a null
    /// image hides it); \a problem says why a picture that was found cannot be shown.
    void setCover(const QImage &cover, const QString &problem = QString());
    QLabel *coverLabel() const { return m_coverLabel; }
    /// The game's history as the library shows it ("Today", "2 h 15 min"); empty when never played.
    void setHistoryText(const QString &lastPlayed, const QString &playTime);
    /// The library whose DAT files say what the open file is; the view follows their changes.
    void setGameLibrary(GameLibrary *library);
    /// The sentence that says what the DAT files make of the file, hidden without DAT files.
    QLabel *dumpLabel() const { return m_dumpLabel; }
    /// Title, region, languages and revision from the DAT's name of a verified file.
    QLineEdit *datField(int row) const { return m_datFields[row]; }
    /// Why the game's picture is not shown, hidden while there is nothing to say.
    QLabel *coverProblemLabel() const { return m_coverProblemLabel; }

    /// The two checksum words as "%X %X": upper-case hexadecimal, no leading zeros.
    static QString checksumText(quint32 crc1, quint32 crc2);
    /// "z64 (big-endian)", "v64 (byte-swapped)" or "n64 (little-endian)".
    static QString byteOrderText(const QString &byteOrder);

Q_SIGNALS:
    /// The player asked for the shown game's settings.
    void gameSettingsRequested();

protected:
    void setupUi(QWidget *view) override;
    void awakeFromNib() override;

private:
    void fillFields();
    void showDump();

    std::shared_ptr<ROM> m_rom;
    std::unique_ptr<Ui::ROMView> m_ui;
    QLineEdit *m_nameField = nullptr;
    QLineEdit *m_codeField = nullptr;
    QLineEdit *m_crcField = nullptr;
    QLineEdit *m_md5Field = nullptr;
    QLabel *m_ownSettingsLabel = nullptr;
    QPushButton *m_gameSettingsButton = nullptr;
    QLineEdit *m_lastPlayedField = nullptr;
    QLineEdit *m_playTimeField = nullptr;
    QLabel *m_coverProblemLabel = nullptr;
    QPointer<GameLibrary> m_library;
    QLabel *m_dumpLabel = nullptr;
    QLineEdit *m_datFields[4] = {};
    QLabel *m_coverLabel = nullptr;
};
