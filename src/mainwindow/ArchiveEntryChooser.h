#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

/// The short list that asks which image of an archive holding several to open.
class ArchiveEntryChooser
{
    Q_DECLARE_TR_FUNCTIONS(ArchiveEntryChooser)

public:
    /// The row of \a entries the player picked in a modal list; -1 when none.
    static int choose(QWidget *parent, const QString &archiveName, const QStringList &entries);
    /// For tests: the next choose() answers \a row at once, without a dialog.
    static void setNextAnswer(int row) { s_nextAnswer = row; }

private:
    static inline std::optional<int> s_nextAnswer;
};
