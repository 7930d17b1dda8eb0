#pragma once

#include <QWidget>

class QComboBox;

/// "Stop the game by holding:" the combination and the hold time, or Never: the Controllers
/// pane's row for stopping the running game from a pad (global, never per game).
class PadStopGroup : public QWidget
{
    Q_OBJECT

public:
    explicit PadStopGroup(QWidget *parent = nullptr);

    QComboBox *combinationBox() const { return m_combination; }
    QComboBox *timeBox() const { return m_time; }
    /// Shows the stored choice again (after a hand edit of the settings file, say).
    void reload();

private:
    void store();

    QComboBox *m_combination;
    QComboBox *m_time;
};
