#pragma once

class QUrl;

/// What the drop window asks of its controller: whether a dragged URL is wanted, and
/// what to do with it once dropped.
class URLDropDelegate
{
public:
    virtual ~URLDropDelegate() = default;

    /// Asked once when a drag enters the window; true offers the copy operation.
    virtual bool acceptsURL(const QUrl &url) = 0;
    /// Called with the first URL of a drop.
    virtual void dropURL(const QUrl &url) = 0;
};
