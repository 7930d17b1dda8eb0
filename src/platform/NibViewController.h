#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

/// A controller of one view built from a Designer form, loaded lazily: the view is made
/// the first time view() is asked for, not when the controller is created.
///
/// Loading runs loadView(), whose base version makes the widget, lets the subclass apply
/// its form (setupUi) and then calls awakeFromNib().
class NibViewController : public QObject
{
    Q_OBJECT

public:
    explicit NibViewController(const QString &nibName, QObject *parent = nullptr);
    ~NibViewController() override;

    QString nibName() const { return m_nibName; }
    /// The controller's view, loaded at the first request.
    QWidget *view();
    bool isViewLoaded() const { return !m_view.isNull(); }

protected:
    /// Makes the view; overrides call the base first, then adjust the loaded view.
    virtual void loadView();
    /// Applies the subclass's form to \a view and connects its outlets.
    virtual void setupUi(QWidget *view) = 0;
    /// Runs once the form has been applied.
    virtual void awakeFromNib() {}

private:
    QString m_nibName;
    QPointer<QWidget> m_view;
};
