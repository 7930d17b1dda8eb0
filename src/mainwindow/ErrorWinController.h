#pragma once

#include "platform/NibWindowController.h"

#include <memory>

class QDialog;

namespace Ui {
class ErrorWindow;
}

/// A small application-modal window that tells the player why something failed; its
/// OK button ends it.
class ErrorWinController : public NibWindowController
{
    Q_OBJECT

public:
    explicit ErrorWinController(QObject *parent = nullptr);
    ~ErrorWinController() override;

    /// Shows \a message in the window, centred and application-modal, and returns at
    /// once; the window stays until OK. A window already up takes the new message.
    /// Titled "Cannot Open the File" unless \a title says otherwise.
    void showMessage(const QString &message, const QString &title = QString());
    QString message() const;

    /// Ends the modal window.
    void okPressed();

protected:
    QWidget *createWindow() override;
    void awakeFromNib() override;

private:
    /// Sizes the message to its text: wrapped to a readable width, as tall as the screen allows.
    void fitMessage();
    void center();

    std::unique_ptr<Ui::ErrorWindow> m_ui;
    QDialog *m_dialog = nullptr;
};
