#pragma once

#include "platform/NibViewController.h"

#include <memory>

class QLabel;
class QProgressBar;

namespace Ui {
class EmptyView;
}

/// The view shown while no ROM is loaded: a prompt and a busy indicator.
class EmptyViewController : public NibViewController
{
    Q_OBJECT

public:
    explicit EmptyViewController(const QString &nibName = QStringLiteral("EmptyView"), QObject *parent = nullptr);
    ~EmptyViewController() override;

    QLabel *text() const { return m_text; }
    QProgressBar *spinner() const { return m_spinner; }

    void startSpinning();
    void stopSpinning();

protected:
    void setupUi(QWidget *view) override;

private:
    std::unique_ptr<Ui::EmptyView> m_ui;
    QLabel *m_text = nullptr;
    QProgressBar *m_spinner = nullptr;
};
