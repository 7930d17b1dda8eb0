#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/// The one N64 layout on a pad that SDL knows as a game controller: A on the south face
/// button, B on the west one, Z on the left trigger, L and R on the shoulders, Start on
/// start, the C buttons on the right stick, the d-pad on the d-pad and the stick on the left
/// stick, each written with that pad's own joystick button or axis number.
class PadLayout
{
public:
    enum class Row { Filled, Hat, Missing, NotInLayout };

    struct Result
    {
        QStringList mapping;
        /// Why each row has its value: filled from the pad, or kept (and why).
        QList<Row> rows;
    };

    /// The mapping for the rows \a inputNames, from SDL's game-controller mapping text
    /// \a controllerMapping ("GUID,name,a:b0,leftx:a0,dpup:h0.1,…"). A row whose binding is a
    /// hat, or that the pad lacks, keeps its value from \a current.
    static Result apply(const QString &controllerMapping, const QStringList &inputNames, const QStringList &current);
};
