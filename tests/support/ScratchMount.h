#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

/// A tiny disk of a test's own: a tmpfs of \a size mounted on \a folder, to fill up or make
/// read-only as a player's disk can be; unmounted when it goes. Mounting needs root (or a
/// user namespace); when it is refused, skip the test with why().
class ScratchMount
{
public:
    ScratchMount(const QString &folder, const char *size = "size=64k")
        : m_folder(QFile::encodeName(folder))
        , m_options(size)
    {
        QDir().mkpath(folder);
        if (::mount("tmpfs", m_folder.constData(), "tmpfs", MS_NOSUID | MS_NODEV, m_options.constData()) == 0)
            m_mounted = true;
        else
            m_why = QStringLiteral("a small tmpfs could not be mounted here (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    ~ScratchMount()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    ScratchMount(const ScratchMount &) = delete;
    ScratchMount &operator=(const ScratchMount &) = delete;

    bool isMounted() const { return m_mounted; }
    std::string why() const { return m_why.toStdString(); }

    /// Writes a filler file until the disk is full; true when it is.
    bool fill() const
    {
        const int descriptor = ::open((m_folder + "/filler").constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const QByteArray block(4096, 'f');
        int error = 0;
        while (descriptor >= 0 && error == 0) {
            if (::write(descriptor, block.constData(), std::size_t(block.size())) < 0)
                error = errno;
        }
        if (descriptor >= 0)
            ::close(descriptor);
        return error == ENOSPC;
    }
    /// Gives the filler's room back.
    void empty() const { ::unlink((m_folder + "/filler").constData()); }
    /// The whole disk read-only (or writable again), as a read-only mount of the player's.
    bool setReadOnly(bool readOnly) const
    {
        return ::mount(nullptr, m_folder.constData(), nullptr, MS_REMOUNT | MS_NOSUID | MS_NODEV | (readOnly ? MS_RDONLY : 0),
                       m_options.constData())
            == 0;
    }

private:
    QByteArray m_folder;
    QByteArray m_options;
    bool m_mounted = false;
    QString m_why;
};
