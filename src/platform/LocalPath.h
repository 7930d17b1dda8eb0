#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

class QUrl;

/// A file's path as the file system spells it: bytes, which need not be UTF-8 (a name from
/// an old disk in Latin-1). Text made from such bytes cannot be turned back into them, so
/// a path travels as this value (or as a file URL, percent-encoded byte for byte) from where
/// it is found to where the file is opened, and becomes text only to be shown.
class LocalPath
{
public:
    LocalPath() = default;
    explicit LocalPath(const QByteArray &bytes) : m_bytes(bytes) {}

    /// A path given as text, encoded as QFile does (UTF-8).
    static LocalPath fromText(const QString &path);
    /// The path of a file URL, byte for byte (QUrl::toLocalFile() puts U+FFFD in place of
    /// bytes that are not UTF-8); empty for a URL of another scheme. The fragment is not part of it.
    static LocalPath fromUrl(const QUrl &url);
    /// What storedText() gave: a plain path or a file URL.
    static LocalPath fromStoredText(const QString &text);

    const QByteArray &bytes() const { return m_bytes; }
    bool isEmpty() const { return m_bytes.isEmpty(); }
    /// Whether the bytes are text: decoding and encoding them again gives them back.
    bool isText() const;
    /// The path for people: bytes that cannot be decoded show as U+FFFD.
    QString displayText() const;
    /// The last name of the path, for people.
    QString fileName() const;
    /// The folder holding the file.
    LocalPath folder() const;
    /// Made absolute against the current folder, with "." and ".." and doubled slashes
    /// taken out, as QFileInfo::absoluteFilePath() does for text.
    LocalPath absolute() const;
    /// A file URL that gives these bytes back through fromUrl(); the same URL as
    /// QUrl::fromLocalFile() for a path that is text.
    QUrl toUrl() const;
    /// Text that names the path without loss, for a settings file (whose strings must be
    /// UTF-8): the path itself when it is text, else its percent-encoded file URL.
    QString storedText() const;

    bool operator==(const LocalPath &) const = default;

private:
    QByteArray m_bytes;
};

using LocalPaths = QList<LocalPath>;

Q_DECLARE_METATYPE(LocalPath)
